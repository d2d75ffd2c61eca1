// The list chooser "選択画面": picks one value of a list for the extraction
// grid's "..." button. What may be chosen is the caller's to decide (its
// check shows the message and says no).
#pragma once
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QListWidget;
class QPushButton;

class TfrmSelect : public QDialog {
  Q_OBJECT
 public:
  // `items` are CP932; `choose` gets the chosen index (-1 none) and says
  // whether the chooser may close with it.
  TfrmSelect(const std::vector<std::string>& items, std::function<bool(int)> choose,
             QWidget* parent = nullptr);

  // OK or a double click: accepted when `choose` agreed.
  void cmd_OkClick();
  int Chosen() const { return chosen_; }

 private:
  std::function<bool(int)> choose_;
  int chosen_ = -1;

  QListWidget* lst_Main;
  QPushButton* cmd_Ok;
  QPushButton* cmd_Cancel;
};
