// "ページ設定" when Qt's own page setup cannot serve the printer (with no
// printer installed the pages go to a PDF file): the paper, its direction
// and the four margins in millimetres.
#pragma once
#include <QDialog>

#include "mainview/sheet/SheetPrinter.h"

class Prompter;
class QComboBox;
class QDoubleSpinBox;
class QPushButton;
class QRadioButton;

class TfrmPageSetup : public QDialog {
  Q_OBJECT
 public:
  TfrmPageSetup(const PaperSetup& paper, Prompter& prompter, QWidget* parent = nullptr);
  // What the boxes say (after OK: what was taken).
  PaperSetup Paper() const;

 public slots:
  void cmd_OkClick();

 private:
  Prompter& prompter_;

  QComboBox* cbo_Paper;
  QRadioButton* rdo_Portrait;
  QRadioButton* rdo_Landscape;
  QDoubleSpinBox* txt_Left;
  QDoubleSpinBox* txt_Top;
  QDoubleSpinBox* txt_Right;
  QDoubleSpinBox* txt_Bottom;
  QPushButton* cmd_Ok;
  QPushButton* cmd_Cancel;
};
