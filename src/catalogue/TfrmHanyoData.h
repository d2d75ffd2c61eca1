// The one-line name dialog: renaming a division (mode 0) or a display screen
// (mode 1), and naming a saved extraction method (mode 2).
#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class SjLineEdit;
class QPushButton;
class Prompter;
class Beeper;

class TfrmHanyoData : public QDialog {
  Q_OBJECT
 public:
  TfrmHanyoData(int mode, const QString& initial, Prompter& prompter, Beeper* beeper,
                QWidget* parent = nullptr);
  QString Text() const;
  // The text in CP932, valid after an accepted dialog.
  const std::string& TextSj() const { return textSj_; }

 public slots:
  void cmd_OkClick();

 private:
  Prompter& prompter_;
  std::string textSj_;

  QLabel* lbl_Name;
  SjLineEdit* txt_Name;
  QPushButton* cmd_Ok;
  QPushButton* cmd_Cancel;
};
