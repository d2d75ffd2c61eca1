// Runs LLVMFuzzerTestOneInput over every file of the given folders (or files),
// so the seed corpus is replayed by ctest without libFuzzer. The target
// gets a TMPDIR of its own, which must be empty again after every input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

// What the last input left in the scratch folder (then removed): a target
// must clean up after itself, also when a reader keeps a file aside.
static int Leftovers(const fs::path& scratch, const fs::path& input) {
  std::error_code ec;
  int n = 0;
  for (const auto& e : fs::directory_iterator(scratch, ec)) {
    std::fprintf(stderr, "%s left %s\n", input.c_str(), e.path().c_str());
    fs::remove_all(e.path(), ec);
    ++n;
  }
  return n;
}

static int RunFile(const fs::path& p, const fs::path& scratch) {
  std::ifstream in(p, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot open %s\n", p.c_str());
    return 1;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return Leftovers(scratch, p) > 0 ? 1 : 0;
}

int main(int argc, char** argv) {
  const char* t = std::getenv("TMPDIR");
  std::string tmpl = std::string(t && *t == '/' ? t : "/tmp") + "/jbxreplay.XXXXXX";
  if (!mkdtemp(tmpl.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  const fs::path scratch = tmpl;
  setenv("TMPDIR", tmpl.c_str(), 1);
  int files = 0, failures = 0;
  for (int i = 1; i < argc; ++i) {
    fs::path p(argv[i]);
    if (fs::is_directory(p)) {
      for (const auto& e : fs::recursive_directory_iterator(p)) {
        if (e.is_regular_file()) {
          failures += RunFile(e.path(), scratch);
          ++files;
        }
      }
    } else {
      failures += RunFile(p, scratch);
      ++files;
    }
  }
  std::error_code ec;
  fs::remove_all(scratch, ec);
  std::printf("replayed %d inputs, %d failed\n", files, failures);
  return failures == 0 && files > 0 ? 0 : 1;
}
