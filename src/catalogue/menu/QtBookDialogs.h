// The dialogs the file commands ask of the main window: a new or
// re-installed book, its input definition, a new or repaired screen, a name,
// the colour kinds and the user. Each runs through the DialogRunner, so
// tests answer it by name, and then gives the keys back to the window.
#pragma once
#include <functional>
#include <string>

class CMyColorKinds;
class DialogRunner;
class QDialog;
class QWidget;
struct MainContext;

class BookDialogs {
 public:
  // `afterDialog` runs after every dialog (the keys back to the sheet).
  BookDialogs(DialogRunner& dialogs, MainContext& context, QWidget* parent, std::function<void()> afterDialog)
      : dialogs_(dialogs), c_(context), parent_(parent), after_(std::move(afterDialog)) {}

  bool NewDivision(bool reinstall);
  bool NewDivisionInput();
  bool NewScreen(bool repair, int index);
  std::string AskName(int mode, const std::string& current);
  void EditColorKinds(CMyColorKinds& kinds);
  bool AskUser(const std::string& current);

 private:
  int Run(QDialog& dialog);
  DialogRunner& dialogs_;
  MainContext& c_;
  QWidget* parent_;
  std::function<void()> after_;
};
