// Reads arbitrary bytes as a ".jdt" file, both as a new table and appended
// to a small table, then touches every value so a bad offset would show.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "store/CMyDB.h"

namespace {
void Touch(const CMyDB& db) {
  volatile size_t sum = 0;
  for (int r = 0; r < db.RecordCount(); ++r)
    for (int f = 0; f < db.FieldCount(); ++f) sum = sum + std::strlen(db.Value(f, r));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CMyDB fresh;
  if (fresh.ReadBytes(bytes, true) == 0 || fresh.RecordCount() > 0) {
    Touch(fresh);
    if (fresh.RecordCount() > 0 && fresh.Load(0) == 0) (void)fresh.Store();  // may be refused
  }
  CMyDB fixed;
  CMyField f;
  for (const char* name : {"A", "B", "C"}) {
    FieldDef d;
    d.name = name;
    d.maxLength = 20;
    if (f.Add(d) != 0) std::abort();
  }
  if (fixed.Define(f) != 0) std::abort();
  (void)fixed.ReadBytes(bytes, false);  // what reads is touched, whatever the result
  Touch(fixed);
  return 0;
}
