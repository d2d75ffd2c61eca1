#include "platform/Recovery.h"

#include <vector>

#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"

namespace recovery {

bool RecoverAndTell(const std::string& dir, Prompter& prompter, const std::string& folder) {
  std::vector<std::string> done;
  if (!fileops::RecoverFolder(dir, done)) {
    prompter.Warn("前回中断された書き込みを完了できませんでした。"_sj + folder + "の「"_sj +
                  cp932::FromUtf8(fileops::kJournalName) + "」を確認してください。"_sj);
    return false;
  }
  if (done.empty()) return true;
  std::string names;
  for (const std::string& d : done) names += "\n" + cp932::FromUtf8(d);
  prompter.Warn("前回中断された書き込みを完了しました。"_sj + names);
  return true;
}

}  // namespace recovery
