// Input definitions from arbitrary bytes, read as the "LI" list the input
// form loads.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "screens/InputDef.h"
#include "store/CMyLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* fp = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!fp) return 0;
  CMyLine list;
  (void)list.ReadList(fp, static_cast<int64_t>(size));  // whatever part of it reads is defined from
  std::fclose(fp);
  jsc::InputDef def;
  jsc::ReadInputDef(list, def, nullptr, [](const std::string&, const std::string&) { return 0; });
  return 0;
}
