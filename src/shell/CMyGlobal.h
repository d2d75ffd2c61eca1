// The process-wide settings object: decides the data root, builds every file
// path from the data root, the current user and the current division, holds
// the current user and division, and reads and writes "jotbox.ini" and
// "jbxuser.ini". Paths use "/" and the data root ends with "/".
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "platform/Clock.h"
#include "shell/UserNameRules.h"

class IniFile;
class Prompter;
class Opener;

class CMyGlobal {
 public:
  static constexpr int kMaxPath = 260;
  static constexpr int kMaxUserName = username::kMaxBytes;
  static constexpr int kMaxDivision = 26;  // bytes of a division folder name

  // programFolder: folder of the executable; dataHome: the per-user data
  // folder (empty = the platform's). Chooses the data root once: the
  // program folder when "jotbox.ini" lies there, else dataHome/oakden/jotbox,
  // else the program folder.
  CMyGlobal(Prompter& prompter, const Clock& clock, std::string programFolder, std::string dataHome = {});
  // Takes back what choosing the data root created in this run (the
  // folders and the "make.chk" probe) when they are still empty: the first
  // run's new-user dialog was cancelled, and a program that was never used
  // leaves nothing behind. Call before the window closes.
  void UndoFirstRun();
  // A data root given outright (tools that work on a copy of a user's data).
  void UseDataRoot(const std::string& root);

  const std::string& DataRoot() const { return root_; }
  // Finishes or takes back what a crash left half done in the data root (a
  // restore between its renames) and says so once. False after its message
  // when it could not be put right.
  bool RecoverDataRoot() const;
  const std::string& ProgramFolder() const { return program_; }
  CivilDate Today() const { return today_; }
  Prompter& prompter() const { return prompter_; }

  // ---- path builders ----
  // Names (user, division, file) are CP932 like every text of the program;
  // the paths built from them are what the file system takes: UTF-8, so a
  // user's folders read as Japanese in any file manager. Each returns the
  // path as a new string; the length checks of the shared 260-byte buffer
  // still apply to RootPath, ProgramPath and TempPath.
  std::string RootPath(const std::string& name) const;
  std::string ProgramPath(const std::string& name) const;
  std::string TempPath(const std::string& name) const;
  // root + user + "/" + name; an empty name gives root + user (no "/").
  std::string UserPath(const std::string& name) const;
  // root + user + "/" + division + "/" + name; `ext` (with its dot), when
  // given, replaces the extension of the last component or is appended.
  std::string DivisionPath(const std::string& name, const std::string& ext = {}) const;

  void SetUserName(const std::string& name);
  const std::string& UserName() const { return user_; }
  // Cut to the folder limit on a character boundary (FolderOf).
  void SetDivisionFolder(const std::string& folder);
  const std::string& DivisionFolder() const { return division_; }
  // The folder name a division name is kept in: at most kMaxDivision bytes,
  // never ending inside a double-byte character.
  static std::string FolderOf(const std::string& divisionName);

  // ---- settings files ----
  void ReadSettings(bool withUser);
  // Always "jotbox.ini"; "jbxuser.ini" too when withUser. False when a
  // write failed (not reported to the user). Only the keys changed here
  // since the file was read go on top of what is on disk then: a key
  // another program (jbx backup, a second window) changed meanwhile stays.
  bool WriteSettings(bool withUser) const;

  // "Path.dat" of the current division: 0 last export path, 1 last import
  // path, 2 import delete-existing choice ("1"/"2"). Missing = "".
  std::string GetPathLine(int i) const;
  bool SetPathLine(int i, const std::string& text) const;

  // Opens help at its default page (empty keyword) or at a keyword, through
  // `opener` or, without one, the opener set here. Returns the page found
  // (a file-system path, maybe with "#anchor"), or empty after
  // "そのようなキーワードはありません", or after "ヘルプを開けませんでした: <page>"
  // when the page is not there or nothing could show it.
  std::string ShowHelp(const std::string& keyword, Opener* opener = nullptr) const;
  // The opener every ShowHelp without its own uses; the window sets it once
  // (dialogs that offer help then need none of their own). Not owned.
  void SetOpener(Opener* opener) { opener_ = opener; }
  // A file-system path (UTF-8, maybe with "#anchor") as a file URL: every
  // byte outside the unreserved set and "/" is percent-encoded.
  static std::string FileUrl(const std::string& path);

  // ---- settings (public: plain values the dialogs edit) ----
  enum { kMainWindow = 0, kInputForm = 1, kReferenceWindow = 2 };
  int left[3] = {0, 0, 0};
  int top[3] = {0, 0, 0};
  int width[3] = {462, 0, 462};
  int height[3] = {600, 0, 600};
  bool ren = false;        // continuous entry in the input form
  bool task = false;       // closed while in the task tray
  bool autoWidth = false;  // width-fit button down
  bool scrVisible = true;  // screen-tab panel shown
  int backKind = 0;        // 0 none, 7 weekly, 31 monthly, other daily
  std::string backPath;
  int backYmd = 0;    // last backup reminder yyyymmdd, 0 never
  int backCu = 0;     // current backup generation, 0-based
  int backCuMax = 3;  // generations kept
  // ---- the last backup: when and how it ended (BACK LAST_TIME, LAST_RESULT) ----
  std::string backLastTime;  // "yyyy/mm/dd hh:mm", empty before the first backup
  int backLastResult = 0;    // 0 success, else the failure's code
  // Writes what a backup and its start-up offer change (YMD, CU and the
  // last backup) into "jbxuser.ini" at once, leaving every other key as it
  // is; false when it failed.
  bool WriteBackupSettings() const;
  // Writes what the options dialog edits (the print flags, the bottom
  // panel, BACK KIND and PATH) into "jbxuser.ini" at once, leaving every
  // other key as it is; false when it failed.
  bool WriteOptionSettings() const;
  // Writes the sheet's zoom and column fit into "jbxuser.ini" at once,
  // leaving every other key as it is; false when it failed.
  bool WriteViewSettings() const;
  int zoom = 100;           // the sheet's size in percent (80 to 200)
  bool fitColumns = false;  // the widest text column takes the window's free width
  bool printTitle = true, printPage = true, printNow = true;
  bool alarmMsg = true, alarmTask = true, alarmTaskAnime = true, alarmSound = false;
  std::string alarmSoundPath;
  std::string timeF = "[";  // one character (one or two bytes)
  std::string timeT = "]";
  int dataKind = 0;  // 0 by date, 100 by page

  // A CP932 name as the file system spells it (UTF-8).
  static std::string OnDisk(const std::string& sj);

 private:
  std::string LengthChecked(const std::string& base, const std::string& name, int extra,
                            bool bareOnFail) const;
  void ReadBackupSection(const IniFile& ini);
  void ReadBackupRecord(const IniFile& ini);
  void WriteBackupRecord(IniFile& ini) const;

  Prompter& prompter_;
  std::string program_;  // ends with "/"
  std::string root_;     // ends with "/"
  std::string user_;
  std::string division_;
  CivilDate today_;
  Opener* opener_ = nullptr;
  std::vector<std::string> made_;  // created while choosing the root, in order
  // "SECTION\tKEY" and value of each user setting as last read or written
  mutable std::vector<std::pair<std::string, std::string>> settingsSeen_;
};
