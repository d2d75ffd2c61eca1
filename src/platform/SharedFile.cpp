#include "platform/SharedFile.h"

#include "platform/Cp932.h"
#include "platform/Prompter.h"

namespace sharedfile {

std::string LockBeside(const std::string& path) {
  return fileops::DirName(path) + fileops::WriteLock::kFileName;
}

std::string LockOfDivision(const std::string& divisionDir) {
  std::string dir = divisionDir;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return fileops::DirName(dir) + fileops::WriteLock::kFileName;
}

std::string BusyText() {
  return "他のプログラムがこのデータを書き込み中です。しばらくしてからやり直してください。"_sj;
}

bool Lock(fileops::WriteLock& lock, const std::string& lockPath, Prompter* prompter) {
  if (lock.Acquire(lockPath)) return true;
  if (!fileops::IsDir(fileops::DirName(lockPath))) return true;
  if (prompter) prompter->Warn(BusyText());
  return false;
}

int Compare(const std::string& path, const fileops::FileId& seen, fileops::FileId& now) {
  const int looked = fileops::Identify(path, now);
  if (looked != 0 && looked != ENOENT) return -1;
  return now == seen ? 0 : 1;
}

namespace {
std::string Label(const std::string& path) { return cp932::FromUtf8(fileops::BaseName(path)); }
}  // namespace

std::string ChangedText(const std::string& path) {
  return "「"_sj + Label(path) +
         "」は開いている間に他のプログラムが書き換えたため、保存しませんでした。"
         "開き直してからやり直してください。"_sj;
}

std::string UnreadableText(const std::string& path) {
  return "「"_sj + Label(path) +
         "」を他のプログラムが書き換えましたが、読み込めないため保存しませんでした。"_sj;
}

std::vector<std::string> ConflictCopies(const std::string& path) {
  const std::string name = fileops::BaseName(path);
  const size_t dot = name.rfind('.');
  const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
  const std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
  std::vector<std::string> out;
  for (const std::string& n : fileops::List(fileops::DirName(path), stem + "*" + ext)) {
    if (n.size() <= name.size() || n.compare(0, stem.size(), stem) != 0 ||
        n.compare(n.size() - ext.size(), ext.size(), ext) != 0)
      continue;
    const std::string mid = n.substr(stem.size(), n.size() - stem.size() - ext.size());
    if (mid.rfind(".sync-conflict-", 0) == 0 ||
        (mid.rfind(" (", 0) == 0 && mid.find("conflicted copy") != std::string::npos))
      out.push_back(n);
  }
  return out;
}

}  // namespace sharedfile
