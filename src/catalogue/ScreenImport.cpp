#include "catalogue/ScreenImport.h"

#include "catalogue/CMyMaster.h"
#include "catalogue/CMyPackage.h"
#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"

namespace screenimport {

int CheckFile(const std::string& path, Prompter& p) {
  if (path.empty()) {
    p.Warn("ファイル名を入力して下さい。"_sj);
    return 1;
  }
  if (!fileops::IsFile(path)) {
    p.Warn("対象のファイルは見付かりません。"_sj);
    return 1;
  }
  return 0;
}

bool IsPackage(const std::string& path) {
  return path.size() >= 4 && collate::EqualNoCase(path.substr(path.size() - 4), ".jpk");
}

int ImportInputDefinition(CMyGlobal& g, Prompter& p, const std::string& file) {
  if (CheckFile(file, p) != 0) return 1;
  if (!IsPackage(file)) {
    if (!fileops::Copy(file, g.DivisionPath("scrin.jsc"))) {
      p.Warn("コピーに失敗しました。"_sj);
      return 1;
    }
    return 0;
  }
  const std::string only = "scrin.jsc";
  CMyPackage unpacker(p);
  return unpacker.Unpack(g, file, &only, false) == 0 ? 0 : 1;
}

namespace {

// The work folder holds a package's files only while they are used.
// Unpacking clears it first, so what stays behind is never read.
void ClearTemp(const CMyGlobal& g) { (void)fileops::RemoveTree(g.DataRoot() + "tmp"); }

}  // namespace

int PackageScreens(CMyGlobal& g, Prompter& p, const std::string& package, std::vector<std::string>& names) {
  names.clear();
  const std::string only = "divin.jpr";
  CMyPackage unpacker(p);
  if (unpacker.Unpack(g, package, &only, true) != 0) {
    ClearTemp(g);
    return 1;
  }
  CMyMaster list;
  const int read = list.Read(g.TempPath("divin.jpr"));
  ClearTemp(g);
  if (read != 0) return 1;
  for (int i = 0; i < list.RecordCount(); ++i) names.push_back(list.Name(i));
  return 0;
}

int TakeScreen(CMyGlobal& g, Prompter& p, const std::string& package, const std::string& screen,
               const std::string& target) {
  const std::string entry = screen + ".jos";
  CMyPackage unpacker(p);
  if (unpacker.Unpack(g, package, &entry, true) != 0) {
    ClearTemp(g);
    return 1;
  }
  const bool copied = fileops::Copy(g.TempPath(entry), g.DivisionPath(target, ".jos"));
  ClearTemp(g);
  if (!copied) {
    p.Warn("コピーに失敗しました。"_sj);
    return 1;
  }
  return 0;
}

int CopyTemplate(CMyGlobal& g, Prompter& p, const std::string& file, const std::string& target) {
  if (!fileops::Copy(file, g.DivisionPath(target, ".jos"))) {
    p.Warn("コピーに失敗しました。"_sj);
    return 1;
  }
  return 0;
}

}  // namespace screenimport
