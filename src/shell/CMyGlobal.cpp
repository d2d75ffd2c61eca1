#include "shell/CMyGlobal.h"

#include <unistd.h>

#include <algorithm>

#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"
#include "platform/Opener.h"
#include "platform/Prompter.h"
#include "platform/Recovery.h"
#include "platform/SharedFile.h"
#include "shell/CMyPath.h"
#include "shell/UserNameRules.h"
#include "store/CMyLine.h"

namespace {

std::string WithSlash(std::string s) {
  if (s.empty() || s.back() != '/') s += '/';
  return s;
}

// Number of CP932 characters in a text.
int CharCount(const std::string& s) {
  int n = 0;
  for (size_t i = 0; i < s.size(); ++n) i += (cp932::IsLead(s[i]) && i + 1 < s.size()) ? 2 : 1;
  return n;
}

// Changes some keys of a settings file and leaves the others as they are,
// under the lock of its folder: what another program wrote is read first.
template <class Change>
bool UpdateIni(const std::string& path, Change change) {
  fileops::WriteLock lock;
  if (!sharedfile::Lock(lock, sharedfile::LockBeside(path), nullptr)) return false;
  IniFile ini;
  // a file that is there but cannot be read is not rewritten from nothing
  if (!ini.Load(path) && fileops::Exists(path)) return false;
  change(ini);
  return ini.Save(path);
}

using Setting = std::pair<std::string, std::string>;  // "SECTION\tKEY", value

// Every key of "jbxuser.ini" with the value this program holds for it.
std::vector<Setting> UserSettings(const CMyGlobal& g) {
  std::vector<Setting> out;
  auto put = [&](const char* section, const char* key, std::string value) {
    out.emplace_back(std::string(section) + "\t" + key, std::move(value));
  };
  auto putInt = [&](const char* section, const char* key, int v) { put(section, key, std::to_string(v)); };
  auto putBool = [&](const char* section, const char* key, bool v) { put(section, key, v ? "1" : "0"); };
  static const char* kForms[3] = {"FORM0", "FORM1", "FORM2"};
  for (int f = 0; f < 3; ++f) {
    putInt(kForms[f], "LEFT", g.left[f]);
    putInt(kForms[f], "TOP", g.top[f]);
    if (f != CMyGlobal::kInputForm) {
      putInt(kForms[f], "WIDTH", g.width[f]);
      putInt(kForms[f], "HEIGHT", g.height[f]);
    }
  }
  putBool("FORM1", "REN", g.ren);
  putBool("FORM1", "TASK", g.task);
  putBool("FORM0", "AUTOWIDTH", g.autoWidth);
  putBool("FORM0", "SCR_VISIBLE", g.scrVisible);
  putInt("FORM0", "ZOOM", g.zoom);
  putBool("FORM0", "FIT_COLUMNS", g.fitColumns);
  putInt("BACK", "KIND", g.backKind);
  put("BACK", "PATH", g.backPath);
  putInt("BACK", "YMD", g.backYmd);
  putInt("BACK", "CU", g.backCu);
  putInt("BACK", "CUMAX", g.backCuMax);
  put("BACK", "LAST_TIME", g.backLastTime);
  putInt("BACK", "LAST_RESULT", g.backLastResult);
  putBool("PRINT", "ON_TITLE", g.printTitle);
  putBool("PRINT", "ON_PAGE", g.printPage);
  putBool("PRINT", "ON_NOW", g.printNow);
  putBool("ALARM", "ONMSG", g.alarmMsg);
  putBool("ALARM", "ONTASK", g.alarmTask);
  putBool("ALARM", "ONTASK_ANIME", g.alarmTaskAnime);
  putBool("ALARM", "ONSOUND", g.alarmSound);
  put("ALARM", "ONSOUND_PATH", g.alarmSoundPath);
  put("ALARM", "TIME_F", g.timeF);
  put("ALARM", "TIME_T", g.timeT);
  return out;
}

}  // namespace

CMyGlobal::CMyGlobal(Prompter& prompter, const Clock& clock, std::string programFolder, std::string dataHome)
    : prompter_(prompter), program_(WithSlash(std::move(programFolder))), today_(clock.Today()) {
  if (fileops::IsFile(program_ + "jotbox.ini")) {
    root_ = program_;
  } else {
    std::string app = CMyPath(std::move(dataHome)).AppDataFolder("oakden", "jotbox", &made_);
    root_ = app.empty() ? program_ : app + "/";
  }
}

void CMyGlobal::UndoFirstRun() {
  for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
    // only what is still as it was made goes: an empty probe, empty folders
    if (fileops::IsFile(*it)) {
      if (fileops::Size(*it) == 0) (void)fileops::Remove(*it);  // else it stays, empty and unread
    } else {
      ::rmdir(it->c_str());
    }
  }
  made_.clear();
}

void CMyGlobal::UseDataRoot(const std::string& root) { root_ = WithSlash(root); }

std::string CMyGlobal::LengthChecked(const std::string& base, const std::string& name, int extra,
                                     bool bareOnFail) const {
  if (static_cast<int>(base.size() + name.size()) + extra < kMaxPath) return base + name;
  prompter_.Warn("ファイル名が長すぎます。"_sj);
  if (bareOnFail && static_cast<int>(name.size()) < kMaxPath) return name;
  return {};
}

std::string CMyGlobal::RootPath(const std::string& name) const {
  std::string p = LengthChecked(root_, name, 0, true);
  // the base is already the file system's; only the name is converted
  return p.size() > name.size() ? root_ + OnDisk(name) : OnDisk(p);
}

std::string CMyGlobal::ProgramPath(const std::string& name) const {
  std::string p = LengthChecked(program_, name, 0, true);
  return p.size() > name.size() ? program_ + OnDisk(name) : OnDisk(p);
}

std::string CMyGlobal::TempPath(const std::string& name) const {
  // "tmp/" is counted by the extra 4
  std::string p = LengthChecked(root_, name, 4, false);
  if (p.empty()) return p;
  return root_ + "tmp/" + OnDisk(name);
}

std::string CMyGlobal::OnDisk(const std::string& sj) { return cp932::ToUtf8(sj); }

std::string CMyGlobal::UserPath(const std::string& name) const {
  if (name.empty()) return root_ + OnDisk(user_);
  return root_ + OnDisk(user_ + "/" + name);
}

std::string CMyGlobal::DivisionPath(const std::string& name, const std::string& ext) const {
  std::string p = user_ + "/" + division_;
  if (!name.empty()) p += "/" + name;
  if (ext.empty()) return root_ + OnDisk(p);
  // The last component begins after the last "/"; its first single-byte "."
  // starts the extension. A "." in a folder name is never taken.
  size_t start = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    if (cp932::IsLead(p[i]) && i + 1 < p.size()) {
      ++i;
      continue;
    }
    if (p[i] == '/') start = i + 1;
  }
  size_t dot = std::string::npos;
  for (size_t i = start; i < p.size(); ++i) {
    if (cp932::IsLead(p[i]) && i + 1 < p.size()) {
      ++i;
      continue;
    }
    if (p[i] == '.') {
      dot = i;
      break;
    }
  }
  if (dot != std::string::npos) p.erase(dot);
  return root_ + OnDisk(p + ext);
}

void CMyGlobal::SetUserName(const std::string& name) {
  user_ = name;  // the new-user dialog keeps it to 14 characters
}

std::string CMyGlobal::FolderOf(const std::string& divisionName) {
  if (divisionName.size() <= static_cast<size_t>(kMaxDivision)) return divisionName;
  return divisionName.substr(0, cp932::CharStart(divisionName, kMaxDivision));
}

void CMyGlobal::SetDivisionFolder(const std::string& folder) { division_ = FolderOf(folder); }

void CMyGlobal::ReadSettings(bool withUser) {
  if (withUser) {
    IniFile apl;
    (void)apl.Load(root_ + "jotbox.ini");  // missing: the defaults
    std::string name = apl.GetString("APL", "NAME", "");
    // A name edited by hand could place the user folder outside the data
    // root ("..", "/"); such a name is not used, and the user is asked again.
    if (!name.empty() && username::Check(name) != username::kOk) {
      prompter_.Warn("jotbox.ini のユーザー名（NAME）が正しくないため使用しません。"_sj);
      name.clear();
    }
    SetUserName(name);
  }
  IniFile ini;
  (void)ini.Load(UserPath("jbxuser.ini"));  // missing: the defaults
  static const char* kForms[3] = {"FORM0", "FORM1", "FORM2"};
  for (int f = 0; f < 3; ++f) {
    left[f] = ini.GetInt(kForms[f], "LEFT", 0);
    top[f] = ini.GetInt(kForms[f], "TOP", 0);
    if (f != kInputForm) {
      width[f] = ini.GetInt(kForms[f], "WIDTH", 462);
      height[f] = ini.GetInt(kForms[f], "HEIGHT", 600);
    }
  }
  ren = ini.GetBool("FORM1", "REN", false);
  task = ini.GetBool("FORM1", "TASK", false);
  autoWidth = ini.GetBool("FORM0", "AUTOWIDTH", false);
  scrVisible = ini.GetBool("FORM0", "SCR_VISIBLE", true);
  zoom = ini.GetInt("FORM0", "ZOOM", 100);
  fitColumns = ini.GetBool("FORM0", "FIT_COLUMNS", false);
  ReadBackupSection(ini);
  printTitle = ini.GetBool("PRINT", "ON_TITLE", true);
  printPage = ini.GetBool("PRINT", "ON_PAGE", true);
  printNow = ini.GetBool("PRINT", "ON_NOW", true);
  alarmMsg = ini.GetBool("ALARM", "ONMSG", true);
  alarmTask = ini.GetBool("ALARM", "ONTASK", true);
  alarmTaskAnime = ini.GetBool("ALARM", "ONTASK_ANIME", true);
  alarmSound = ini.GetBool("ALARM", "ONSOUND", false);
  alarmSoundPath = ini.GetString("ALARM", "ONSOUND_PATH", "");
  if (alarmSoundPath.size() >= static_cast<size_t>(kMaxPath)) alarmSoundPath.clear();
  std::string f = ini.GetString("ALARM", "TIME_F", "[");
  timeF = CharCount(f) == 1 ? f : "[";
  std::string t = ini.GetString("ALARM", "TIME_T", "]");
  timeT = CharCount(t) == 1 ? t : "]";
  settingsSeen_ = UserSettings(*this);
}

bool CMyGlobal::WriteSettings(bool withUser) const {
  bool ok = true;
  {
    // a settings file that is there but cannot be read is never replaced
    ok = UpdateIni(root_ + "jotbox.ini", [this](IniFile& apl) { apl.SetString("APL", "NAME", user_); });
  }
  if (!withUser) return ok;
  std::string path = UserPath("jbxuser.ini");
  fileops::WriteLock lock;
  if (!sharedfile::Lock(lock, sharedfile::LockBeside(path), nullptr)) return false;
  IniFile ini;
  if (!ini.Load(path) && fileops::Exists(path)) return false;
  // what this program changed since it read the file goes on top of what is
  // there now; a key it left alone keeps whatever another program wrote
  std::vector<Setting> mine = UserSettings(*this);
  for (const Setting& setting : mine) {
    const std::string& name = setting.first;
    const std::string& value = setting.second;
    const size_t tab = name.find('\t');
    const std::string section = name.substr(0, tab), key = name.substr(tab + 1);
    auto seen = std::find_if(settingsSeen_.begin(), settingsSeen_.end(),
                             [&](const Setting& s) { return s.first == name; });
    const bool onDisk = ini.GetString(section, key, "\x01") != "\x01";
    if (seen == settingsSeen_.end() || seen->second != value || !onDisk) ini.SetString(section, key, value);
  }
  if (!ini.Save(path)) return false;
  // the next save compares with what this program holds now: a key another
  // program set stays theirs until this one changes it
  settingsSeen_ = std::move(mine);
  return ok;
}

std::string CMyGlobal::GetPathLine(int i) const {
  CMyLine lines(2048);
  (void)lines.ReadText(DivisionPath("Path.dat"));  // a list that cannot be read gives empty lines
  return lines.Str(i);
}

bool CMyGlobal::SetPathLine(int i, const std::string& text) const {
  if (i < 0) return false;
  std::string path = DivisionPath("Path.dat");
  // read and written as one step: a line another program set meanwhile stays
  fileops::WriteLock lock;
  if (!sharedfile::Lock(lock, sharedfile::LockOfDivision(DivisionPath("")), nullptr)) return false;
  CMyLine lines(2048);
  // the other lines are written back: a list that exists but cannot be read
  // is left as it is
  const int read = lines.ReadText(path);
  if (read < 0 && (read != -1 || fileops::Exists(path))) return false;
  // lines before i that do not exist yet are written empty
  lines.Set(i, text);
  return lines.WriteText(path) >= 0;
}

std::string CMyGlobal::ShowHelp(const std::string& keyword, Opener* opener) const {
  // Help is a folder of HTML pages beside the program; "help/keywords.txt"
  // maps a keyword (UTF-8) to a page, one "keyword<TAB>page" per line.
  std::string page;
  if (keyword.empty()) {
    page = program_ + "help/index.html";
  } else {
    std::string key = keyword.substr(0, 127);  // the look-up buffer holds 128 bytes
    std::string keyUtf8 = cp932::ToUtf8(key);
    std::string index;
    // without an index every keyword opens the contents page
    (void)fileops::ReadAll(program_ + "help/keywords.txt", index);
    size_t pos = 0;
    while (pos < index.size()) {
      size_t end = index.find('\n', pos);
      if (end == std::string::npos) end = index.size();
      std::string line = index.substr(pos, end - pos);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      size_t tab = line.find('\t');
      if (tab != std::string::npos && line.compare(0, tab, keyUtf8) == 0) {
        page = program_ + "help/" + line.substr(tab + 1);
        break;
      }
      pos = end + 1;
    }
    if (page.empty()) {
      prompter_.Show("そのようなキーワードはありません"_sj, "エラー"_sj, PromptIcon::Error,
                     PromptButtons::Ok);
      return {};
    }
  }
  // a page with an anchor is opened as a URL; a bare path would keep the "#".
  // The path is the file system's already (UTF-8): it is encoded, never
  // converted again.
  if (!opener) opener = opener_;
  const std::string file = page.substr(0, page.find('#'));
  if (opener && (!fileops::IsFile(file) || !opener->Open(FileUrl(page)))) {
    prompter_.Warn("ヘルプを開けませんでした: "_sj + cp932::FromUtf8(file));
    return {};
  }
  return page;
}

std::string CMyGlobal::FileUrl(const std::string& path) {
  const size_t hash = path.find('#');
  const std::string file = path.substr(0, hash);
  std::string url = "file://";
  static const char kHex[] = "0123456789ABCDEF";
  for (unsigned char c : file) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 15];
    }
  }
  if (hash != std::string::npos) url += path.substr(hash);
  return url;
}

void CMyGlobal::ReadBackupSection(const IniFile& ini) {
  backKind = ini.GetInt("BACK", "KIND", 0);
  backPath = ini.GetString("BACK", "PATH", "");
  if (backPath.size() >= static_cast<size_t>(kMaxPath)) backPath.clear();
  backYmd = ini.GetInt("BACK", "YMD", 0);
  backCu = ini.GetInt("BACK", "CU", 0);
  backCuMax = ini.GetInt("BACK", "CUMAX", 3);
  ReadBackupRecord(ini);
}

// ---- the last backup ----
void CMyGlobal::ReadBackupRecord(const IniFile& ini) {
  backLastTime = ini.GetString("BACK", "LAST_TIME", "");
  backLastResult = ini.GetInt("BACK", "LAST_RESULT", 0);
}

void CMyGlobal::WriteBackupRecord(IniFile& ini) const {
  ini.SetString("BACK", "LAST_TIME", backLastTime);
  ini.SetInt("BACK", "LAST_RESULT", backLastResult);
}

bool CMyGlobal::WriteBackupSettings() const {
  return UpdateIni(UserPath("jbxuser.ini"), [this](IniFile& ini) {
    ini.SetInt("BACK", "YMD", backYmd);
    ini.SetInt("BACK", "CU", backCu);
    WriteBackupRecord(ini);
  });
}

bool CMyGlobal::WriteOptionSettings() const {
  return UpdateIni(UserPath("jbxuser.ini"), [this](IniFile& ini) {
    ini.SetBool("PRINT", "ON_TITLE", printTitle);
    ini.SetBool("PRINT", "ON_PAGE", printPage);
    ini.SetBool("PRINT", "ON_NOW", printNow);
    ini.SetBool("FORM0", "SCR_VISIBLE", scrVisible);
    ini.SetInt("BACK", "KIND", backKind);
    ini.SetString("BACK", "PATH", backPath);
  });
}

bool CMyGlobal::WriteViewSettings() const {
  return UpdateIni(UserPath("jbxuser.ini"), [this](IniFile& ini) {
    ini.SetInt("FORM0", "ZOOM", zoom);
    ini.SetBool("FORM0", "FIT_COLUMNS", fitColumns);
  });
}

bool CMyGlobal::RecoverDataRoot() const {
  return root_.empty() || recovery::RecoverAndTell(root_, prompter_, "データフォルダ"_sj);
}
