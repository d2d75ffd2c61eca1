// Feeds arbitrary bytes to the look-up table readers: the first byte picks
// a split, the rest becomes "hyo01.id1" and "hyo01.dat" of a scratch folder.
#include <cstdint>
#include <string>

#include "FuzzFile.h"
#include "input/HyoLookup.h"
#include "platform/FileOps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  FuzzDir scratch;
  if (!scratch.ok()) return 0;
  const std::string& dir = scratch.path();
  std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  size_t split = rest.empty() ? 0 : (static_cast<size_t>(data[0]) * 4) % (rest.size() + 1);
  if (!fileops::WriteAtomic(dir + "/hyo01.id1", rest.substr(0, split)) ||
      !fileops::WriteAtomic(dir + "/hyo01.id2", rest.substr(0, split)) ||
      !fileops::WriteAtomic(dir + "/hyo01.dat", rest.substr(split)))
    return 0;
  for (const char* key : {"1", "25", "A", ""}) {
    (void)hyo::Lookup(dir, 1, 1, key, "");
    (void)hyo::Lookup(dir, 2, 1, key, key);
  }
  return 0;
}
