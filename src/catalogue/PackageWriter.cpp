#include "catalogue/PackageWriter.h"

#include "catalogue/CMyPackage.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/LittleEndian.h"

bool PackageWriter::Add(const std::string& name, const std::string& bytes, int type) {
  if (name.empty() || name.size() + 1 > static_cast<size_t>(jpk::kMaxName)) return false;
  std::string stored;
  for (size_t i = 0; i < name.size(); ++i) {
    if (cp932::IsLead(name[i]) && i + 1 < name.size()) {
      stored += name[i];
      stored += name[++i];
      continue;
    }
    stored += name[i] == '/' ? '\\' : name[i];
  }
  items_.push_back({type, stored, bytes});
  return true;
}

std::string PackageWriter::Bytes() const {
  std::string out(jpk::kMagic, 4);
  le::AppendI32(out, version_);
  le::AppendI32(out, 0);
  le::AppendI32(out, dataKind_);
  le::AppendI32(out, 0);
  for (const auto& it : items_) {
    le::AppendI32(out, it.type);
    le::AppendI32(out, static_cast<int32_t>(it.name.size() + 1));
    out += it.name;
    out += '\0';
    le::AppendI32(out, static_cast<int32_t>(it.bytes.size()));
    out += it.bytes;
  }
  le::AppendI32(out, jpk::kEnd);
  return out;
}

bool PackageWriter::Write(const std::string& path) const { return fileops::WriteAtomic(path, Bytes()); }
