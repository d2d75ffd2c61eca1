#include "input/TfrmSetMaster.h"

#include <QCheckBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "input/SelectionLists.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "qtkit/QtForm.h"
#include "qtkit/QtText.h"
#include "qtkit/SjLineEdit.h"

TfrmSetMaster::TfrmSetMaster(CMySetMaster& model, Prompter& prompter, Beeper* /*beeper*/, QWidget* parent)
    : QDialog(parent), model_(model), prompter_(prompter) {
  setObjectName("frmSetMaster");
  setWindowTitle(QStringLiteral("マスタ設定"));
  result_.learn = model_.Learn();
  result_.items = model_.Items();

  lst_Main = new QListWidget(this);
  lst_Main->setObjectName("lst_Main");
  lst_Main->setFont(QFont(QStringLiteral("IPAGothic")));
  lbl_Name = new QLabel(QStringLiteral("項目名(&N)"), this);
  lbl_Name->setObjectName("lbl_Name");
  txt_Name = new SjLineEdit(this);
  txt_Name->setObjectName("txt_Name");
  txt_Name->SetPrompter(&prompter_);
  txt_Name->SetMaxBytes(sellist::kMaxItemName);
  cmd_Insert = qtform::Button(this, QStringLiteral("追加登録"), "cmd_Insert");
  cmd_Update = qtform::Button(this, QStringLiteral("更新"), "cmd_Update");
  cmd_Delete = qtform::Button(this, QStringLiteral("削除"), "cmd_Delete");
  cmd_Up = qtform::Button(this, QStringLiteral("▲"), "cmd_Up");
  cmd_Down = qtform::Button(this, QStringLiteral("▼"), "cmd_Down");
  chk_Auto = new QCheckBox(QStringLiteral("入力画面で登録した内容を自動的に設定"), this);
  chk_Auto->setObjectName("chk_Auto");
  chk_Auto->setChecked(model_.Learn());
  cmd_Close = qtform::Button(this, QStringLiteral("閉じる(&C)"), "cmd_Close");

  connect(lst_Main, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* it) { lst_MainDblClick(it ? lst_Main->row(it) : -1); });
  new qtform::EnterRuns(lst_Main, [this] { lst_MainDblClick(lst_Main->currentRow()); });
  connect(txt_Name, &QLineEdit::returnPressed, this, [this] { qtform::MoveFocus(cmd_Insert); });
  connect(cmd_Insert, &QPushButton::clicked, this, &TfrmSetMaster::cmd_InsertClick);
  connect(cmd_Update, &QPushButton::clicked, this, &TfrmSetMaster::cmd_UpdateClick);
  connect(cmd_Delete, &QPushButton::clicked, this, &TfrmSetMaster::cmd_DeleteClick);
  connect(cmd_Up, &QPushButton::clicked, this, &TfrmSetMaster::cmd_UpClick);
  connect(cmd_Down, &QPushButton::clicked, this, &TfrmSetMaster::cmd_DownClick);
  connect(chk_Auto, &QCheckBox::clicked, this, &TfrmSetMaster::chk_AutoClick);
  connect(cmd_Close, &QPushButton::clicked, this, &TfrmSetMaster::cmd_CloseClick);

  auto* top = new QVBoxLayout(this);
  auto* body = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(lst_Main, 1);
  auto* order = new QHBoxLayout;
  for (QPushButton* b : {cmd_Up, cmd_Down}) b->setMaximumWidth(48);
  order->addWidget(cmd_Up);
  order->addWidget(cmd_Down);
  order->addStretch(1);
  left->addLayout(order);
  body->addLayout(left, 1);
  auto* right = new QVBoxLayout;
  lbl_Name->setBuddy(txt_Name);
  right->addWidget(lbl_Name);
  right->addWidget(txt_Name);
  auto* edits = new QHBoxLayout;
  edits->addWidget(cmd_Insert);
  edits->addWidget(cmd_Update);
  edits->addWidget(cmd_Delete);
  right->addLayout(edits);
  right->addStretch(1);
  body->addLayout(right);
  top->addLayout(body, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(chk_Auto);
  bottom->addStretch(1);
  bottom->addWidget(cmd_Close);
  top->addLayout(bottom);
  txt_Name->setMinimumWidth(220);

  Refresh(-1);
  txt_Name->setFocus();
  resize(470, 320);
}

std::string TfrmSetMaster::Name() const { return txt_Name->TextSj(); }

void TfrmSetMaster::Refresh(int select) {
  lst_Main->blockSignals(true);
  lst_Main->clear();
  for (const std::string& item : model_.Items()) lst_Main->addItem(FromSj(item));
  lst_Main->setCurrentRow(select);
  lst_Main->blockSignals(false);
}

void TfrmSetMaster::lst_MainDblClick(int row) {
  if (row < 0 || row >= static_cast<int>(model_.Items().size())) return;
  lst_Main->setCurrentRow(row);
  txt_Name->SetTextSj(model_.Items()[static_cast<size_t>(row)]);
  txt_Name->setFocus();
  txt_Name->selectAll();
}

void TfrmSetMaster::cmd_InsertClick() {
  const int at = model_.Add(Name(), lst_Main->currentRow());
  if (at < 0) {
    txt_Name->setFocus();
    return;
  }
  Refresh(at);
  txt_Name->clear();
  txt_Name->setFocus();
}

void TfrmSetMaster::cmd_UpdateClick() {
  const int at = model_.Update(Name(), lst_Main->currentRow());
  if (at < 0) {
    txt_Name->setFocus();
    return;
  }
  Refresh(at);
  txt_Name->clear();
  txt_Name->setFocus();
}

void TfrmSetMaster::cmd_DeleteClick() {
  const size_t before = model_.Items().size();
  const int at = model_.Delete(lst_Main->currentRow());
  if (model_.Items().size() == before) return;  // refused
  Refresh(at);
  txt_Name->clear();
}

void TfrmSetMaster::cmd_UpClick() { Refresh(model_.MoveUp(lst_Main->currentRow())); }

void TfrmSetMaster::cmd_DownClick() { Refresh(model_.MoveDown(lst_Main->currentRow())); }

void TfrmSetMaster::chk_AutoClick() { model_.SetLearn(chk_Auto->isChecked()); }

void TfrmSetMaster::cmd_CloseClick() {
  const CMySetMaster::Closed got = model_.Close();
  // The model has told the user that a save failed; the edits are still
  // pending, so the user may try again rather than lose them unasked.
  if (got.failed && !prompter_.Confirm(cp932::FromUtf8("変更を保存しないで閉じますか？"), true)) return;
  // Given up after a failure: the caller's lists keep what the file holds.
  if (got.saved || !got.failed) {
    result_ = got;
  } else {
    result_.changed = false;
    result_.failed = true;
  }
  closed_ = true;
  QDialog::done(got.failed ? QDialog::Rejected : QDialog::Accepted);
}

void TfrmSetMaster::reject() { cmd_CloseClick(); }
