// The sheet's size on screen and whether its widest text column takes the
// window's free width: the user's choices, kept in the user's settings as
// soon as they change (another window's keys stay as they are on disk).
#pragma once

class CMyGlobal;

class SheetZoom {
 public:
  // Percent steps: small ones near the normal size, larger ones up to
  // double, where an old eye needs them.
  static constexpr int kSteps[] = {80, 90, 100, 110, 125, 150, 175, 200};
  static constexpr int kNormal = 100;

  explicit SheetZoom(CMyGlobal& global) : global_(global) {}

  // A kept value as it is shown: a step as it is, a value between two steps
  // (a hand-edited file) the step below it, anything outside the steps the
  // normal size.
  static int Valid(int percent);
  // The step after `percent`: +1 larger, -1 smaller, 0 the normal size; at
  // either end it stays.
  static int Next(int percent, int direction);

  int Percent() const;
  bool FitColumns() const;
  // Moves the size a step (as Next) and keeps it. False: nothing changed
  // (at an end), or the settings file could not be written (`written`).
  bool Step(int direction, bool& written);
  bool SetFitColumns(bool on);  // false: the settings file could not be written

 private:
  CMyGlobal& global_;
};
