#include "cli/CliWindow.h"

#include <cstdlib>

#include "catalogue/CMyMaster.h"
#include "cli/Cli.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"

namespace cliwindow {
namespace {
std::string WithSlash(const std::string& dir) { return dir.empty() || dir.back() == '/' ? dir : dir + "/"; }
}  // namespace

std::string MissingPart(const std::string& root, const std::string& user, int division, int screen) {
  if (!fileops::IsDir(root)) return "データフォルダが見つかりません: " + root;
  std::string sj;
  if (cp932::FromUtf8(user, sj) != 0) return "ユーザー名に CP932 で書けない文字があります: " + user;
  const std::string userDir = WithSlash(root) + user + "/";
  if (!fileops::IsFile(userDir + "jbxuser.jpr"))
    return "ユーザーが見つかりません: " + user + "（" + userDir + "jbxuser.jpr がありません）";
  CMyMaster divisions("USER");
  if (divisions.Read(userDir + "jbxuser.jpr") != 0)
    return "分類の一覧を読めません: " + userDir + "jbxuser.jpr";
  if (divisions.RecordCount() == 0) return "このユーザーには分類がありません: " + user;
  if (division < 0 || division >= divisions.RecordCount())
    return "分類がありません: " + std::to_string(division) + "（0 から " +
           std::to_string(divisions.RecordCount() - 1) + " まで）";
  const std::string divDir = userDir + cp932::ToUtf8(divisions.Name(division)) + "/";
  if (!fileops::IsFile(divDir + "scrin.jsc"))
    return "分類に入力画面の定義がありません: " + divDir + "scrin.jsc";
  CMyMaster screens("DIVIN");
  if (!fileops::IsFile(divDir + "divin.jpr") || screens.Read(divDir + "divin.jpr") != 0)
    return "分類の表示画面の一覧を読めません: " + divDir + "divin.jpr";
  if (screen < 0 || screen >= screens.RecordCount())
    return "表示画面がありません: " + std::to_string(screen) + "（0 から " +
           std::to_string(screens.RecordCount() - 1) + " まで）";
  return {};
}

int DivisionIndex(const std::string& root, const std::string& user, const std::string& division) {
  CMyMaster divisions("USER");
  if (divisions.Read(WithSlash(root) + user + "/jbxuser.jpr") != 0) return -1;
  const bool number = !division.empty() && division.find_first_not_of("0123456789") == std::string::npos;
  if (number) {
    const int n = std::atoi(division.c_str());
    return n < divisions.RecordCount() ? n : -1;
  }
  const std::string sj = cp932::FromUtf8(division);
  for (int i = 0; i < divisions.RecordCount(); ++i)
    if (divisions.Name(i) == sj) return i;
  return -1;
}

int CheckOutFolder(const char* command, const std::string& out) {
  const size_t slash = out.rfind('/');
  if (slash != std::string::npos && slash > 0 && !fileops::IsDir(out.substr(0, slash)))
    return cli::Fail(command, "出力先のフォルダが見つかりません: " + out.substr(0, slash));
  return 0;
}

}  // namespace cliwindow
