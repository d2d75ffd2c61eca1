#include "catalogue/ListRecovery.h"

#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/CMyMaster.h"
#include "platform/Clock.h"
#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"

namespace listrecovery {
namespace {

// Renames a damaged file out of the way, never over an earlier copy.
// The new name (file system spelling), or empty when it could not be moved.
std::string KeepAside(const std::string& path, const Clock& clock) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, ".damaged-%08d", clock.Today().Ymd());
  std::string kept = path + stamp;
  for (int n = 2; fileops::Exists(kept) && n < 1000; ++n) kept = path + stamp + "-" + std::to_string(n);
  if (fileops::Exists(kept) || !fileops::Move(path, kept)) return {};
  return kept;
}

// Reads `path` into `table`; when it is damaged, keeps it aside, rebuilds the
// table from `names` (CP932) and saves it. `what` names the list in the message.
template <typename Names>
int Load(const std::string& path, CMyMaster& table, Prompter& prompter, const Clock& clock, const char* what,
         const char* saveFailed, Names names) {
  const std::string tableName = table.TableName();
  if (table.Read(path) == 0) return kRead;
  table.Init(tableName);
  if (!fileops::Exists(path)) return kMissing;
  const std::string kept = KeepAside(path, clock);
  for (const std::string& name : names()) {
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, name);
    if (table.Append(rec) != 0) continue;  // the table has told why
  }
  const std::string file = cp932::FromUtf8(fileops::BaseName(path));
  if (kept.empty()) {
    prompter.Warn(cp932::FromUtf8(what) + "「"_sj + file +
                  "」が壊れています。壊れたファイルを残せなかったため、一覧は保存しません。"_sj);
    return kNotKept;
  }
  prompter.Warn(cp932::FromUtf8(what) + "「"_sj + file +
                "」が壊れていたため、フォルダから作り直しました。\n壊れたファイルは「"_sj +
                cp932::FromUtf8(fileops::BaseName(kept)) + "」として残してあります。"_sj);
  if (table.Write(path) < 0) prompter.Warn(cp932::FromUtf8(saveFailed));
  return kRebuilt;
}

// A name on disk (UTF-8) as the program keeps it, or empty when it cannot be.
std::string FromDisk(const std::string& utf8, size_t maxBytes) {
  std::string sj;
  if (cp932::FromUtf8(utf8, sj) != 0 || sj.empty() || sj.size() > maxBytes) return {};
  return sj;
}

}  // namespace

int LoadDivisionList(const CMyGlobal& global, CMyMaster& table, Prompter& prompter, const Clock& clock) {
  const std::string userDir = global.UserPath("");
  // jbx and a second window write the list too: every write is checked
  table.Share(global.UserPath(fileops::WriteLock::kFileName));
  return Load(global.UserPath("jbxuser.jpr"), table, prompter, clock, "分類の一覧",
              "分類情報の保存に失敗しました。", [&] {
                std::vector<std::string> out;
                for (const std::string& folder : fileops::List(userDir, "*", true)) {
                  std::string name = FromDisk(folder, CMyGlobal::kMaxDivision);
                  if (name.empty() || collate::EqualNoCase(name, "TMP") || collate::EqualNoCase(name, "PHOT"))
                    continue;
                  if (fileops::IsFile(userDir + "/" + folder + "/scrin.jsc")) out.push_back(name);
                }
                return out;
              });
}

int LoadScreenList(const CMyGlobal& global, CMyMaster& table, Prompter& prompter, const Clock& clock) {
  const std::string divDir = global.DivisionPath("");
  table.Share(global.UserPath(fileops::WriteLock::kFileName));
  return Load(global.DivisionPath("divin.jpr"), table, prompter, clock, "表示画面の一覧",
              "表示画面情報の保存に失敗しました。", [&] {
                std::vector<std::string> out;
                for (const std::string& file : fileops::List(divDir, "*.jos")) {
                  std::string name = FromDisk(file.substr(0, file.size() - 4), CMyMaster::kRNameSize - 1);
                  if (!name.empty()) out.push_back(name);
                }
                return out;
              });
}

}  // namespace listrecovery
