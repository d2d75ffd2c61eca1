#include "catalogue/ScreenWriter.h"

#include <algorithm>

#include "platform/FileOps.h"
#include "platform/LittleEndian.h"

std::string ScreenFileBytes(const ScreenDoc& doc) {
  std::string out;
  jos::AppendLayout(out, doc.layout);
  le::AppendI32(out, static_cast<int32_t>(doc.items.size()));
  for (const ScreenItemDoc& it : doc.items) {
    jos::AppendItemHeader(out, it.head);
    jos::FontRecord rec = it.font;
    const int32_t len = static_cast<int32_t>(it.text.size());
    rec.textLength = len;
    rec.capacity = std::max(rec.capacity, len);
    le::AppendI32(out, jos::kFontImageSize);
    le::AppendI32(out, len);
    jos::AppendFontRecord(out, rec);
    out += it.text;
  }
  for (const std::string& t : doc.texts) {
    le::AppendI32(out, static_cast<int32_t>(t.size() + 1));
    out += t;
    out.push_back('\0');
  }
  return out;
}

int WriteScreenFile(const std::string& path, const ScreenDoc& doc) {
  return fileops::WriteAtomic(path, ScreenFileBytes(doc)) ? 0 : -1;
}
