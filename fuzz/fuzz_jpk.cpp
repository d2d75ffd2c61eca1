// Package files from arbitrary bytes: the entry list, then unpacking into a
// throw-away division folder twice (the second pass meets the files of the
// first, so "only when missing" entries and the data-kind check of an
// unpacked input definition are reached), then one named entry into "tmp".
// Nothing may land outside the target folder.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzFile.h"
#include "catalogue/CMyPackage.h"
#include "platform/Prompter.h"

namespace {

// Only the division folder may appear beside the package's own folder.
void CheckContained(const std::string& root) {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(root, ec)) {
    const std::string n = e.path().filename().string();
    if (n != "div" && n != "tmp") std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzDir root;
  if (!root.ok()) return 0;
  FuzzFile file(data, size);
  if (!file.ok()) return 0;

  int version = 0, kind = 0;
  std::vector<CMyPackage::Entry> entries;
  (void)CMyPackage::List(file.path(), version, kind, entries);
  for (const auto& e : entries) (void)CMyPackage::SafeRelativePath(e.name);

  ScriptedPrompter prompter;
  CMyPackage pkg(prompter);
  const std::string div = root / "div";
  if (!fileops::MakeDirs(div)) return 0;
  (void)pkg.UnpackTo(file.path(), div, nullptr, false);
  (void)pkg.UnpackTo(file.path(), div, nullptr, false);
  const std::string only = entries.empty() ? std::string("scrin.jsc") : entries.back().name;
  (void)pkg.UnpackTo(file.path(), root / "tmp", &only, true);
  CheckContained(root.path());
  return 0;
}
