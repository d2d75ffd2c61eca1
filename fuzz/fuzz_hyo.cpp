// Feeds arbitrary bytes to the "HY" table-list reader (selms / cbsms files).
#include <cstdint>

#include "FuzzFile.h"
#include "input/CMyHyo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzFile f(data, size);
  if (!f.ok()) return 0;
  CMyHyo t;
  t.Load(f.path());
  for (int r = 0; r < t.RowCount() && r < 64; ++r) (void)t.Cell(2, r);
  t.AddCondition(1, "NoP", "", false);
  t.Find(0);
  (void)t.Bytes();
  return 0;
}
