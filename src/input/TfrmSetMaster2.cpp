#include "input/TfrmSetMaster2.h"

#include <QCheckBox>
#include <QComboBox>
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

TfrmSetMaster2::TfrmSetMaster2(CMySetMaster2& model, Prompter& prompter, Beeper* /*beeper*/, QWidget* parent)
    : QDialog(parent), model_(model), prompter_(prompter) {
  setObjectName("frmSetMaster2");
  setWindowTitle(QStringLiteral("マスタ設定"));

  chk_Parent = new QCheckBox(QStringLiteral("親データ"), this);
  chk_Parent->setObjectName("chk_Parent");
  cbo_Parent = new QComboBox(this);
  cbo_Parent->setObjectName("cbo_Parent");
  for (const std::string& v : model_.ParentValues()) cbo_Parent->addItem(FromSj(v));
  lst_Main = new QListWidget(this);
  lst_Main->setObjectName("lst_Main");
  lst_Main->setFont(QFont(QStringLiteral("IPAGothic")));  // keys line up in "%2d %s"
  lbl_Name = new QLabel(QStringLiteral("項目名(&N)"), this);
  lbl_Name->setObjectName("lbl_Name");
  txt_Name = new SjLineEdit(this);
  txt_Name->setObjectName("txt_Name");
  txt_Name->SetPrompter(&prompter_);
  txt_Name->SetMaxBytes(sellist::kMaxItemName);
  txt_Name->setMinimumWidth(220);
  lbl_Key = new QLabel(QStringLiteral("数字キー(&K)"), this);
  lbl_Key->setObjectName("lbl_Key");
  txt_Key = new SjLineEdit(this);
  txt_Key->setObjectName("txt_Key");
  txt_Key->SetPrompter(&prompter_);
  txt_Key->SetMaxBytes(2);
  txt_Key->SetInputMethodOn(false);  // digits only
  txt_Key->SetHalfWidth(true);
  txt_Key->setMaximumWidth(txt_Key->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
  cmd_Insert = qtform::Button(this, QStringLiteral("追加登録"), "cmd_Insert");
  cmd_Update = qtform::Button(this, QStringLiteral("更新"), "cmd_Update");
  cmd_Delete = qtform::Button(this, QStringLiteral("削除"), "cmd_Delete");
  cmd_Up = qtform::Button(this, QStringLiteral("▲"), "cmd_Up");
  cmd_Down = qtform::Button(this, QStringLiteral("▼"), "cmd_Down");
  chk_Auto = new QCheckBox(QStringLiteral("入力画面で登録した内容を自動的に設定"), this);
  chk_Auto->setObjectName("chk_Auto");
  cmd_Close = qtform::Button(this, QStringLiteral("閉じる(&C)"), "cmd_Close");

  // set-up from the model
  chk_Auto->setChecked(model_.Auto());
  chk_Parent->setEnabled(model_.ParentEnabled());
  chk_Parent->setChecked(model_.ParentEnabled() && model_.ParentOn());
  cbo_Parent->setEnabled(chk_Parent->isChecked());
  {
    const auto& values = model_.ParentValues();
    int at = -1;
    if (!model_.ParentValue().empty())
      for (size_t i = 0; i < values.size(); ++i)
        if (values[i] == model_.ParentValue()) at = static_cast<int>(i);
    cbo_Parent->setCurrentIndex(at);
  }
  txt_Key->setEnabled(model_.KeyEnabled());

  connect(chk_Parent, &QCheckBox::clicked, this, &TfrmSetMaster2::chk_ParentClick);
  connect(cbo_Parent, &QComboBox::currentIndexChanged, this, &TfrmSetMaster2::cbo_ParentChange);
  connect(lst_Main, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* it) { lst_MainDblClick(it ? lst_Main->row(it) : -1); });
  new qtform::EnterRuns(lst_Main, [this] { lst_MainDblClick(lst_Main->currentRow()); });
  connect(lst_Main, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row != editing_) SetEditing(-1);
  });
  connect(txt_Name, &QLineEdit::returnPressed, this,
          [this] { (txt_Key->isEnabled() ? static_cast<QWidget*>(txt_Key) : cmd_Insert)->setFocus(); });
  connect(txt_Key, &QLineEdit::returnPressed, this, [this] { qtform::MoveFocus(cmd_Insert); });
  connect(cmd_Insert, &QPushButton::clicked, this, &TfrmSetMaster2::cmd_InsertClick);
  connect(cmd_Update, &QPushButton::clicked, this, &TfrmSetMaster2::cmd_UpdateClick);
  connect(cmd_Delete, &QPushButton::clicked, this, &TfrmSetMaster2::cmd_DeleteClick);
  connect(cmd_Up, &QPushButton::clicked, this, &TfrmSetMaster2::cmd_UpClick);
  connect(cmd_Down, &QPushButton::clicked, this, &TfrmSetMaster2::cmd_DownClick);
  connect(chk_Auto, &QCheckBox::clicked, this, &TfrmSetMaster2::chk_AutoClick);
  connect(cmd_Close, &QPushButton::clicked, this, &TfrmSetMaster2::cmd_CloseClick);

  auto* top = new QVBoxLayout(this);
  auto* parentRow = new QHBoxLayout;
  parentRow->addWidget(chk_Parent);
  parentRow->addWidget(cbo_Parent, 1);
  top->addLayout(parentRow);
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
  auto* right = new QGridLayout;
  lbl_Name->setBuddy(txt_Name);
  lbl_Key->setBuddy(txt_Key);
  right->addWidget(lbl_Name, 0, 0);
  right->addWidget(txt_Name, 0, 1);
  right->addWidget(lbl_Key, 1, 0);
  right->addWidget(txt_Key, 1, 1, Qt::AlignLeft);
  auto* edits = new QHBoxLayout;
  edits->addWidget(cmd_Insert);
  edits->addWidget(cmd_Update);
  edits->addWidget(cmd_Delete);
  right->addLayout(edits, 2, 0, 1, 2);
  right->setRowStretch(3, 1);
  body->addLayout(right);
  top->addLayout(body, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(chk_Auto);
  bottom->addStretch(1);
  bottom->addWidget(cmd_Close);
  top->addLayout(bottom);

  Refresh(-1);
  ClearFields();
  resize(490, 340);
}

void TfrmSetMaster2::Refresh(int select) {
  lst_Main->blockSignals(true);
  lst_Main->clear();
  for (const std::string& line : model_.Lines()) lst_Main->addItem(FromSj(line));
  lst_Main->setCurrentRow(select);
  lst_Main->blockSignals(false);
}

void TfrmSetMaster2::SetEditing(int row) {
  editing_ = row;
  cmd_Update->setEnabled(row >= 0);
  cmd_Delete->setEnabled(row >= 0);
}

void TfrmSetMaster2::ClearFields() {
  SetEditing(-1);
  txt_Name->clear();
  txt_Key->clear();
  txt_Name->setFocus();
}

void TfrmSetMaster2::chk_ParentClick() {
  model_.SetParentOn(chk_Parent->isChecked());
  cbo_Parent->setEnabled(model_.ParentEnabled() && model_.ParentOn());
  Refresh(-1);
  ClearFields();
}

void TfrmSetMaster2::cbo_ParentChange(int index) {
  const auto& values = model_.ParentValues();
  model_.SetParentValue(index >= 0 && index < static_cast<int>(values.size())
                            ? values[static_cast<size_t>(index)]
                            : std::string());
  Refresh(-1);
  ClearFields();
}

void TfrmSetMaster2::lst_MainDblClick(int row) {
  if (row < 0 || row >= model_.RowCount()) return;
  lst_Main->setCurrentRow(row);
  txt_Name->SetTextSj(model_.Name(row));
  txt_Key->SetTextSj(model_.Key(row));
  SetEditing(row);
  txt_Name->setFocus();
  txt_Name->selectAll();
}

void TfrmSetMaster2::cmd_InsertClick() {
  const int at = model_.Add(txt_Name->TextSj(), txt_Key->TextSj());
  if (at < 0) {
    txt_Name->setFocus();
    return;
  }
  Refresh(at);
  ClearFields();
}

void TfrmSetMaster2::cmd_UpdateClick() {
  const int at = model_.Update(lst_Main->currentRow(), txt_Name->TextSj(), txt_Key->TextSj());
  if (at < 0) {
    txt_Name->setFocus();
    return;
  }
  Refresh(at);
  ClearFields();
}

void TfrmSetMaster2::cmd_DeleteClick() {
  const int before = model_.RowCount();
  const int at = model_.Delete(lst_Main->currentRow());
  if (model_.RowCount() == before) return;  // nothing selected: the model beeped
  Refresh(at);
  ClearFields();
}

void TfrmSetMaster2::cmd_UpClick() {
  const int from = lst_Main->currentRow();
  const int to = model_.MoveUp(from);
  Refresh(to);
  if (editing_ == from) SetEditing(to);  // the fields still describe the moved row
}

void TfrmSetMaster2::cmd_DownClick() {
  const int from = lst_Main->currentRow();
  const int to = model_.MoveDown(from);
  Refresh(to);
  if (editing_ == from) SetEditing(to);
}

void TfrmSetMaster2::chk_AutoClick() { model_.SetAuto(chk_Auto->isChecked()); }

void TfrmSetMaster2::cmd_CloseClick() {
  const CMySetMaster2::Closed got = model_.Close();
  // what was written, by this close or an earlier one that failed in part
  result_.saved = result_.saved || got.saved;
  result_.childSaved = result_.childSaved || got.childSaved;
  // The model has told the user that a save failed; the edits are still
  // pending, so the user may try again rather than lose them unasked.
  if (got.failed && !prompter_.Confirm(cp932::FromUtf8("変更を保存しないで閉じますか？"), true)) return;
  result_.failed = got.failed;
  closed_ = true;
  QDialog::done(got.failed ? QDialog::Rejected : QDialog::Accepted);
}

void TfrmSetMaster2::reject() { cmd_CloseClick(); }
