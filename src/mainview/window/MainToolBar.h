// The main window's row above the sheet: the month (or page) and its
// arrows, the colour palette, the display modes and the width button; the
// features' tool buttons go in after the right arrow.
#pragma once

class QHBoxLayout;
class QPushButton;
class QToolButton;
class QWidget;

struct MainToolBar {
  MainToolBar() = default;
  explicit MainToolBar(QWidget* parent);
  QHBoxLayout* bar = nullptr;
  QToolButton* tbt_Left = nullptr;
  QPushButton* lbl_YYYYMM = nullptr;
  QToolButton* tbt_Right = nullptr;
  QToolButton* cmd_Palette[3] = {nullptr, nullptr, nullptr};  // bound to colour kinds
  QToolButton* cmd_ModeMM = nullptr;
  QToolButton* cmd_ModePickout = nullptr;
  QToolButton* btn_WinW = nullptr;
};
