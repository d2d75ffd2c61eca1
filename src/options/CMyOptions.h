// The options dialog's model: whether the printout carries its title, page
// number and date, whether the bottom panel of the main window is shown,
// and how often and where the automatic backup goes. Values come from the
// settings held in memory; OK writes them to the user's settings at once.
#pragma once
#include <string>

class CMyGlobal;

class CMyOptions {
 public:
  // What the dialog shows and edits.
  struct Values {
    bool printTitle = true, printPage = true, printNow = true;  // PRINT ON_TITLE, ON_PAGE, ON_NOW
    bool panelHidden = false;                                   // the bottom panel (screen tabs) hidden
    int backItem = 0;                                           // 0 manual only, 1 daily, 2 weekly, 3 monthly
    std::string backPath;                                       // CP932
    bool operator==(const Values&) const = default;
  };
  // The longest backup folder the settings hold (bytes).
  static constexpr int kMaxBackPath = 259;

  // `panelShown`: whether the bottom panel is shown as the dialog opens.
  CMyOptions(CMyGlobal& global, bool panelShown);

  const Values& Initial() const { return initial_; }
  // BACK KIND 1, 7, 31 as the items 1, 2, 3; any other value is item 0.
  static int ItemOfKind(int kind);
  static int KindOfItem(int item);
  // OK: the values go into the settings and are written at once, so a
  // change of user or a crash keeps them (Written() says whether that
  // worked). True when the bottom panel must change (its new state is
  // !v.panelHidden).
  bool Store(const Values& v);
  bool Written() const { return written_; }
  // How the last backup ended, for the dialog; "" before the first.
  std::string LastBackup() const;
  // A folder chosen for the backups (UTF-8) as the setting keeps it; false
  // with `why` set when it cannot be kept (CP932).
  static bool BackPathOf(const std::string& utf8, std::string& sj, std::string& why);

 private:
  CMyGlobal& global_;
  Values initial_;
  bool written_ = false;
};
