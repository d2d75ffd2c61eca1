// The main window: owns every shared object of the run, creates them in a
// fixed order and frees them in the reverse order at close.
#pragma once
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>

#include "platform/Clock.h"

class CMyGlobal;
class CMyPublic;
class CMyLine;
class Prompter;
class Beeper;
class QTabBar;
class QWidget;
class QLabel;
class QToolButton;
class TfrmNewUser;

// What the main window needs from its surroundings; tests give their own.
struct MainEnvironment {
  Prompter* prompter = nullptr;
  Beeper* beeper = nullptr;
  const Clock* clock = nullptr;
  std::string programFolder;  // folder of the executable
  std::string dataHome;       // per-user data folder; empty = the platform's
  QStringList arguments;      // command-line arguments after the program name
  // Shows the new-user dialog modally (tests script it); returns its result.
  std::function<bool(TfrmNewUser&)> runNewUser;
};

class TfrmMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfrmMain(MainEnvironment env, QWidget* parent = nullptr);
  ~TfrmMain() override;

  void FormCreate();
  void FormShow();
  void FormCloseQuery();
  void FormClose();

  bool Started() const { return started_; }
  CMyGlobal* Global() const { return global_.get(); }
  // "ひとこと(yyyy年mm月dd日 dddd)"
  static QString CaptionFor(CivilDate today);

  QTabBar* tab_Div = nullptr;
  QTabBar* tab_Scr = nullptr;
  QWidget* paiMain = nullptr;
  QLabel* lbl_YYYYMM = nullptr;
  QToolButton* btn_WinW = nullptr;
  QWidget* panel_Scr = nullptr;

 public slots:
  void mnu_FileUserClick();

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildWidgets();
  void BuildMenus();
  void RestoreBounds();

  MainEnvironment env_;
  // Shared objects, in creation order; released in reverse.
  std::unique_ptr<CMyGlobal> global_;
  std::unique_ptr<CMyPublic> public_;
  std::unique_ptr<CMyLine> lines_;

  bool created_ = false;   // FormCreate got as far as creating the objects
  bool started_ = false;   // a user and a division are open
  bool firstShow_ = false;
  bool closed_ = false;
};
