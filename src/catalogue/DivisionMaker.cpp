#include "catalogue/DivisionMaker.h"

#include "catalogue/CMyMaster.h"
#include "catalogue/CMyPackage.h"
#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"

namespace divisionmaker {

int CheckName(const std::string& name, Prompter& prompter) {
  if (name.empty()) {
    prompter.Warn("分類名を入力して下さい。"_sj);
    return 1;
  }
  // folders the program keeps for itself beside the divisions
  if (collate::EqualNoCase(name, "TMP") || collate::EqualNoCase(name, "PHOT")) {
    prompter.Warn("その分類名はシステムで使用するため設定できません。"_sj);
    return 1;
  }
  return 0;
}

int MakeDivision(CMyGlobal& global, CMyMaster& users, Prompter& prompter, int mode, const std::string& name,
                 const std::string& package) {
  if (mode == 0) {
    if (CheckName(name, prompter) != 0) return 1;
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, name);
    if (users.Append(rec) != 0) return 1;  // the table has told why
  }
  const std::string previous = global.DivisionFolder();
  if (mode == 0) global.SetDivisionFolder(name);
  fileops::MakeDirs(global.DivisionPath(""));
  CMyPackage unpacker(prompter);
  if (unpacker.Unpack(global, package, nullptr, false) != 0) {
    if (mode == 0) {
      users.Delete(users.RecordCount() - 1);
      global.SetDivisionFolder(previous);
    }
    return 1;
  }
  return 0;
}

}  // namespace divisionmaker
