// Feeds arbitrary bytes to the name-table reader, then reads every field.
#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzFile.h"
#include "catalogue/CMyMaster.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzFile file(data, size);
  if (!file.ok()) return 0;
  const std::string& path = file.path();
  CMyMaster table;
  if (table.Read(path) == 0) {
    for (int i = 0; i < table.RecordCount(); ++i) {
      volatile size_t n = table.Name(i).size() + table.Text(i).size();
      (void)n;
      (void)table.GetInt(i, CMyMaster::kRKey22);
    }
    (void)table.HeaderText();
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, "x");
    (void)table.Append(rec);
    (void)table.Swap(0, table.RecordCount() - 1);
    table.Delete(0);
  }
  return 0;
}
