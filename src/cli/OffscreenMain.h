// The main window opened without a display, for the jbx commands that work
// through the window's own code (render, sheet, print). Every dialog the
// window would show is refused, so a command fails instead of waiting for an
// answer nobody can give.
#pragma once
#include <QApplication>
#include <QImage>
#include <memory>
#include <string>

#include "mainview/window/TfrmMain.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "qtkit/DialogRunner.h"

namespace cli {
// Writes a picture as PNG through the atomic writer (the old file stays when
// anything fails).
bool SavePng(const QImage& image, const std::string& path);
}  // namespace cli

class OffscreenMain {
 public:
  // `root` and `user` are UTF-8; `sheetHeight` the paint box in pixels (0: the window's own).
  OffscreenMain(Prompter& prompter, CivilDate today, const std::string& root, const std::string& user,
                int sheetHeight = 0);
  ~OffscreenMain();
  OffscreenMain(const OffscreenMain&) = delete;
  OffscreenMain& operator=(const OffscreenMain&) = delete;

  enum Result { kOpen = 0, kNoBook = 1, kNoScreen = 2 };
  // Starts the window on the user's books, then picks division and screen
  // (from 0) through their tabs as a click would.
  Result Open(int division, int screen);
  TfrmMain& Window() { return *w_; }
  // Opens the book for `command`: 0, or the exit code after saying why not.
  int OpenFor(const char* command, int division, int screen, const std::string& user);
  // Shows a list page (>= 0), a page (> 0) or a month (year > 0) of the book.
  void ShowPart(int listPage, int page, int year, int month);

  CountingBeeper beeper;
  FixedClock clock;

 private:
  bool Asked() const { return !refuseAll_.run.empty(); }
  int sheetHeight_;
  int argc_ = 1;
  char name_[4] = "jbx";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;  // before any widget
  ScriptedDialogs refuseAll_;
  std::unique_ptr<TfrmMain> w_;
};
