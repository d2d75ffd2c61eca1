// The reference window's commands: showing a book kept by date one or two
// years back beside the main window (the main view computes the other
// month's rows and returns to its own), stepping it by months, copying a
// record from it into the main window's copy source, refusing every edit,
// and closing it whenever its rows go out of date.
#pragma once
#include <string>

#include "mainview/host/MainObjects.h"
#include "mainview/sheet/ReferenceView.h"

// The reference window (TfrmSub) as the commands see it; tests give their own.
class ReferenceWindow {
 public:
  virtual ~ReferenceWindow() = default;
  virtual ReferenceView& View() = 0;
  // False once the user closed it (the object stays until the next show).
  virtual bool IsOpen() const = 0;
  // Scroll bars from the view, shown without blocking the main window, repainted.
  virtual void Present() = 0;
};

// The main window's side: it owns the one reference window.
class ReferenceHost {
 public:
  virtual ~ReferenceHost() = default;
  virtual ReferenceWindow* Reference() = 0;        // null when there is none
  virtual ReferenceWindow& CreateReference() = 0;  // placed and sized from the settings
  virtual void DestroyReference() = 0;             // closes it (its place goes to the settings) and frees it
  virtual void ViewChanged() = 0;                  // the main sheet repaints
};

class ReferenceCommands {
 public:
  ReferenceCommands(MainContext& ctx, ReferenceHost& host) : ctx_(ctx), host_(host) {}

  // Only a book kept by date, in sheet mode, has a reference window.
  bool Applies() const;
  // "１年前を別画面表示" (-12), "２年前を別画面表示" (-24): the month `months`
  // away from the main window's into the reference window (made, or made
  // anew after the user closed it). The main window ends where it was, its
  // cursor and top row too.
  void ShowReference(int months);
  void CloseReference();
  // Closes the window when it shows the month of `month` ("yyyymm",
  // "yyyy/mm" or a "yyyy/mm/dd" key); a book kept by page has none.
  void CloseReferenceIfSameMonth(const std::string& month);
  // The main window's current date as "yyyy/mm".
  std::string CurrentMonthText() const;

  // ---- in the reference window ----
  // tbt_Left / tbt_Right, keys Left / Right: the month before or after the one shown.
  void StepMonth(int direction);
  // Ctrl+C: the cursor row's record becomes the copy source (copy mode);
  // a beep when the row has none.
  void Copy();
  void RefusePaste();  // Ctrl+V
  void RefuseCut();    // Ctrl+X
  void RefuseEdit();   // double click

 private:
  MainContext& ctx_;
  ReferenceHost& host_;
};
