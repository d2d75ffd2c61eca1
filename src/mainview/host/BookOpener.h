// Opening a book (division) and its display screens: the book's folder and
// input definition, its screen list and the first screen, its period list
// and records; a screen's definition and the view over it. What needs the
// window (dialogs, tabs, the features, measuring a font) goes through
// OpeningWindow.
#pragma once
#include <functional>
#include <string>

#include "mainview/host/MainObjects.h"

class OpeningWindow {
 public:
  virtual ~OpeningWindow() = default;
  // The new-book dialog, the input definition import, the screen dialog
  // (`repair` the screen at `index`); true when the user went through.
  virtual bool AskNewDivision() = 0;
  virtual bool AskDivisionInput() = 0;
  virtual bool AskScreen(bool repair, int index) = 0;
  virtual void DivisionTabsChanged(int select) = 0;
  virtual void ScreenTabsChanged(int select) = 0;
  // Puts the screen tab back on `index` without opening it.
  virtual void ShowScreenTab(int index) = 0;
  // The height the memo control's font really takes on screen, <= 0 unknown.
  virtual int MeasureMemoLineHeight(int control) = 0;
  // A screen's definition is about to replace the current one / was loaded.
  virtual void ScreenClosing() = 0;
  virtual void ScreenLoaded(int displayMode) = 0;
  // A screen the user chose is shown.
  virtual void ScreenOpened() = 0;
  // The book or screen shown is about to change.
  virtual void LeaveView() = 0;
  // The book is open and read.
  virtual void BookOpened() = 0;
  virtual void ViewChanged() = 0;
};

class BookOpener {
 public:
  BookOpener(MainContext& context, OpeningWindow& window) : c_(context), w_(window) {}
  // The settings' user (`user` instead when given), or a new one through
  // `askUser` on a first run; its folder and book list. False: a first run
  // was cancelled and left nothing behind.
  bool OpenUser(const std::string& user, const std::function<bool(const std::string& current)>& askUser);
  // Makes a division current. 0; 1 cancelled new division; -1 failed.
  int OpenDivision(OpenDivisionMode mode, int index);
  // Makes a screen of the current division current. 0, or -1.
  int OpenScreen(bool quiet, OpenScreenMode mode, int index);
  bool LoadScreenDefinition(int index);
  int Division() const { return division_; }
  int Screen() const { return screen_; }
  void SetDivision(int index) { division_ = index; }
  void SetScreen(int index) { screen_ = index; }

 private:
  // The data kind from the input definition's header: 0 read, 1 no
  // readable file, -1 header of another size.
  int ReadInputHeader(int& kind) const;
  MainContext& c_;
  OpeningWindow& w_;
  int division_ = 0;
  int screen_ = 0;
};
