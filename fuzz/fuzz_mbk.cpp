// Backup archives from arbitrary bytes: the walk the dump and the read-back
// make (every entry's data read where its header says), then a restore into
// a throw-away data root twice, over an existing user the second time. The
// restore may only make the user's folder (a file or a division folder with
// files, nothing deeper) and the calendar files beside it; a restore that
// failed leaves the user exactly as it was.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzFile.h"
#include "exchange/ArchiveFormat.h"
#include "exchange/CMyRestore.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"

namespace {

namespace fs = std::filesystem;

// What the restore may leave in the data root, and how deep.
void CheckContained(const std::string& root) {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(root, ec)) {
    const std::string n = e.path().filename().string();
    if (n == "holiday.dat" || n == "kinen.dat") continue;
    if (n != "u" || !e.is_directory()) std::abort();
  }
  const std::string user = root + "/u";
  for (auto it = fs::recursive_directory_iterator(user, ec); it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (it->is_symlink() || it.depth() > 1 || (it.depth() == 1 && it->is_directory())) std::abort();
  }
}

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> v;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(dir, ec); it != fs::recursive_directory_iterator();
       it.increment(ec))
    v.push_back(it->path().string());
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzFile file(data, size);
  if (!file.ok()) return 0;
  {
    int fd = ::open(file.path().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    if (mbk::CheckFileHeader(fd) == mbk::kReadOk) {
      std::vector<char> buf(4096);
      (void)mbk::Walk(fd, [&](const mbk::WalkedEntry& w) {
        (void)mbk::SafeName(w.header.name, w.header.type == mbk::kFolder, nullptr, nullptr);
        int64_t left = w.header.type == mbk::kFile ? w.header.size : 0, at = w.dataOffset;
        while (left > 0) {
          size_t n = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(buf.size())));
          if (mbk::ReadAt(fd, at, buf.data(), n) != static_cast<int64_t>(n))
            std::abort();  // the walk checked it
          left -= static_cast<int64_t>(n);
          at += static_cast<int64_t>(n);
        }
        return 0;
      });
    }
    ::close(fd);
  }

  FuzzDir root;
  if (!root.ok()) return 0;
  ScriptedPrompter prompter;  // answers Yes to the overwrite question
  FixedClock clock;
  CMyGlobal g(prompter, clock, root.path(), "/dev/null");
  g.UseDataRoot(root.path());
  CMyRestore restore(g, clock);
  const int first = restore.Run("u", file.path(), false);
  CheckContained(root.path());
  if (first != 0) {
    if (fs::exists(root / "u")) std::abort();  // a failed restore made nothing
    return 0;
  }
  // again over the user just made: the same, or (on failure) the user as it was
  const std::vector<std::string> before = Names(root / "u");
  const int second = restore.Run("u", file.path(), false);
  CheckContained(root.path());
  if (second != 0 && Names(root / "u") != before) std::abort();
  return 0;
}
