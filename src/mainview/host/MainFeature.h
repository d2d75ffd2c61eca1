// A feature of the main window: a menu's worth of commands with whatever it
// keeps between them (the extraction shown, the reference window, the tray).
// The window builds every feature once (window/FeatureList.cpp) and tells
// each of what happens to it through these hooks; a feature overrides the
// ones it cares about. The window names no feature, and no feature names
// another: what they share goes through FeatureHost.
#pragma once

#include "mainview/sheet/FieldUnderMouse.h"

class MainFeature {
 public:
  virtual ~MainFeature() = default;

  // The book or the screen shown is about to change, or the window closes:
  // windows over the current rows go.
  virtual void LeavingView() {}
  // A book was opened and read; `startUp` at the window's first opening.
  virtual void BookOpened(bool /*startUp*/) {}
  // A screen's definition is about to replace the current one.
  virtual void ScreenClosing() {}
  // A screen the user chose is shown (not the first screen of a book).
  virtual void ScreenOpened() {}
  // The window's one-second tick.
  virtual void Tick() {}
  // The window is shown for the first time, on the screen behind it.
  virtual void WindowShown() {}
  // The start-up showing: true when the feature showed (or hid) the window.
  virtual bool ShowAtStart(bool /*minusC*/) { return false; }
  // The user closes the window: false keeps it (the feature put it away).
  virtual bool CloseRequested() { return true; }
  // Before the settings are written at the close.
  virtual void Closing() {}
  // The window settings are being kept (the close, a change of user).
  virtual void KeepSettings() {}
  // The window has closed for good.
  virtual void Closed() {}
  // Mouse and keys on the sheet.
  virtual void SheetClicked() {}
  virtual void SheetDoubleClicked(const FieldHit& /*field*/) {}
  virtual bool SheetKey(int /*key*/) { return false; }
  // The sheet's popup menu is about to open over `field`.
  virtual void PopupOpening(const FieldHit& /*field*/) {}
  virtual void WindowActivated(bool /*active*/) {}
  // The book's colour kinds changed (or another book opened): the palette.
  virtual void PaletteChanged() {}
  // Another program changed the book's files; the view has been read again.
  virtual void FilesChangedOutside() {}
};
