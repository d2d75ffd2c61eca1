#include "catalogue/InputDefWriter.h"

#include "platform/FileOps.h"
#include "store/CMyLine.h"

void BuildInputDefList(const jsc::Header& header, const std::vector<jsc::Control>& controls, CMyLine& list) {
  list.Clear();
  jsc::Header h = header;
  h.firstControl = 1;
  h.controlCount = static_cast<int32_t>(controls.size());
  uint8_t hb[jsc::kHeaderSize];
  jsc::PutHeader(hb, h);
  list.Append(hb, jsc::kHeaderSize);
  for (const jsc::Control& c : controls) {
    uint8_t cb[jsc::kControlSize];
    jsc::PutControl(cb, c);
    list.Append(cb, jsc::kControlSize);
  }
}

std::string InputDefFileBytes(const jsc::Header& header, const std::vector<jsc::Control>& controls) {
  CMyLine list(2048);
  BuildInputDefList(header, controls, list);
  return list.ListBytes();
}

int WriteInputDefFile(const std::string& path, const jsc::Header& header,
                      const std::vector<jsc::Control>& controls) {
  return fileops::WriteAtomic(path, InputDefFileBytes(header, controls)) ? 0 : -1;
}
