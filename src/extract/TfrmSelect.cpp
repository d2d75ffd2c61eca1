#include "extract/TfrmSelect.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "qtkit/QtForm.h"
#include "qtkit/QtText.h"

TfrmSelect::TfrmSelect(const std::vector<std::string>& items, std::function<bool(int)> choose,
                       QWidget* parent)
    : QDialog(parent), choose_(std::move(choose)) {
  setObjectName("frmSelect");
  setWindowTitle(QStringLiteral("選択画面"));
  lst_Main = new QListWidget(this);
  lst_Main->setObjectName("lst_Main");
  for (const std::string& s : items) lst_Main->addItem(FromSj(s));
  lst_Main->setMinimumSize(220, 200);
  auto* buttons = qtform::OkCancelRow(this, cmd_Ok, cmd_Cancel);
  auto* top = new QVBoxLayout(this);
  top->addWidget(lst_Main, 1);
  top->addLayout(buttons);
  connect(cmd_Ok, &QPushButton::clicked, this, &TfrmSelect::cmd_OkClick);
  connect(lst_Main, &QListWidget::itemDoubleClicked, this, [this] { cmd_OkClick(); });
}

void TfrmSelect::cmd_OkClick() {
  const int row =
      lst_Main->currentItem() && lst_Main->currentItem()->isSelected() ? lst_Main->currentRow() : -1;
  if (choose_ && !choose_(row)) {
    lst_Main->setFocus();
    return;
  }
  chosen_ = row;
  accept();
}
