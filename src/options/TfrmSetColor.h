// "色設定": the division's colour kinds, edited over CMyColorKinds.
#pragma once
#include <QDialog>
#include <functional>

#include "options/CMyColorKinds.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class SjLineEdit;
class QListWidget;
class QPushButton;

class TfrmSetColor : public QDialog {
  Q_OBJECT
 public:
  TfrmSetColor(CMyColorKinds& kinds, Prompter& prompter, Beeper& beeper, QWidget* parent = nullptr);
  // The colour chooser (tests give their own): false when cancelled.
  std::function<bool(uint32_t& colour)> chooseColour;
  bool Changed() const { return kinds_.Changed(); }

 public slots:
  void lst_MainDblClick(int row);
  void cmd_InsertClick();
  void cmd_UpdateClick();
  void cmd_DeleteClick();
  void cmd_UpClick();
  void cmd_DownClick();

 private:
  void Refresh(int select = -1);
  void ClearFields();
  void ShowSample();
  ColorKind FromFields() const;

  CMyColorKinds& kinds_;
  Beeper& beeper_;
  int editing_ = -1;
  uint32_t text_ = 0;
  uint32_t back_ = 0xFFFFFF;

  QListWidget* lst_Main;
  SjLineEdit* txt_Name;
  QLabel* pan_Color;
  QPushButton* cmd_TextColor;
  QPushButton* cmd_Color;
  QCheckBox* chk_TextColor;
  QCheckBox* chk_BackColor;
  QCheckBox* chk_ShortCut;
  QComboBox* cbo_CrPalette;
  QPushButton* cmd_Insert;
  QPushButton* cmd_Update;
  QPushButton* cmd_Delete;
  QPushButton* cmd_Up;
  QPushButton* cmd_Down;
  QPushButton* cmd_Close;
};
