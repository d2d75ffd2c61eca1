#include "catalogue/DivisionMaker.h"

#include "catalogue/CMyMaster.h"
#include "catalogue/CMyPackage.h"
#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/FolderName.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"

namespace divisionmaker {

std::string NameProblem(const std::string& name) {
  if (name.empty()) return "分類名を入力して下さい。"_sj;
  // the dialog's box takes no such character; a list edited by hand or a
  // command line can still bring one, and the folder would be elsewhere
  if (!foldername::IsOneFolder(name))
    return "分類名に「/」「\\」などフォルダ名に使えない文字は使えません。"_sj;
  // folders the program keeps for itself beside the divisions
  if (collate::EqualNoCase(name, "TMP") || collate::EqualNoCase(name, "PHOT"))
    return "その分類名はシステムで使用するため設定できません。"_sj;
  // a longer name would be cut to its folder and could share it with another
  if (name.size() > static_cast<size_t>(CMyGlobal::kMaxDivision))
    return "分類名が長すぎます。全角13文字（半角26文字）以内にして下さい。"_sj;
  return {};
}

int CheckName(const std::string& name, Prompter& prompter) {
  const std::string problem = NameProblem(name);
  if (problem.empty()) return 0;
  prompter.Warn(problem);
  return 1;
}

int CheckNewName(const CMyGlobal& global, const CMyMaster& users, const std::string& name, int self,
                 Prompter& prompter) {
  if (CheckName(name, prompter) != 0) return 1;
  const std::string folder = CMyGlobal::FolderOf(name);
  for (int i = 0; i < users.RecordCount(); ++i) {
    if (i == self) continue;
    if (collate::EqualNoCase(CMyGlobal::FolderOf(users.Name(i)), folder)) {
      prompter.Warn("データが重複します。"_sj);
      return 1;
    }
  }
  const bool own = users.Record(self) && collate::EqualNoCase(CMyGlobal::FolderOf(users.Name(self)), folder);
  if (!own && fileops::Exists(global.UserPath(folder))) {
    prompter.Warn("同じ名前のフォルダが既にあります。異なる分類名にして下さい。"_sj);
    return 1;
  }
  return 0;
}

int MakeDivision(CMyGlobal& global, CMyMaster& users, Prompter& prompter, int mode, const std::string& name,
                 const std::string& package) {
  if (mode == 0) {
    if (CheckNewName(global, users, name, -1, prompter) != 0) return 1;
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, name);
    if (users.Append(rec) != 0) return 1;  // the table has told why
  }
  const std::string previous = global.DivisionFolder();
  if (mode == 0) global.SetDivisionFolder(name);
  const std::string folder = global.DivisionPath("");
  const bool made = !fileops::Exists(folder);
  const bool haveFolder = fileops::MakeDirs(folder);
  if (!haveFolder) prompter.Warn("分類フォルダを作成できませんでした。"_sj);
  CMyPackage unpacker(prompter);
  if (!haveFolder || unpacker.Unpack(global, package, nullptr, false) != 0) {
    // a book that could not be made leaves no folder behind; one that
    // cannot be removed stays, and the name check keeps a new book off it
    if (made) (void)fileops::RemoveTree(folder);
    if (mode == 0) {
      (void)users.Delete(users.RecordCount() - 1);  // the record appended above
      global.SetDivisionFolder(previous);
    }
    return 1;
  }
  return 0;
}

}  // namespace divisionmaker
