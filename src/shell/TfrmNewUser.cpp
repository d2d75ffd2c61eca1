#include "shell/TfrmNewUser.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Prompter.h"
#include "qtkit/QtForm.h"
#include "qtkit/QtText.h"
#include "qtkit/SjLineEdit.h"
#include "shell/CMyGlobal.h"
#include "shell/UserName.h"

TfrmNewUser::TfrmNewUser(CMyGlobal& global, Prompter& prompter, QWidget* parent)
    : QDialog(parent), global_(global), prompter_(prompter) {
  setObjectName("frmNewUser");
  setWindowTitle(QStringLiteral("ユーザー名設定"));
  // the users there are already, to pick one instead of typing (made first:
  // Tab meets it first, above the name)
  lst_User = new QListWidget(this);
  lst_User->setObjectName("lst_User");
  lst_User->setAccessibleName(QStringLiteral("既存のユーザー"));
  for (const std::string& u : username::Existing(global_)) lst_User->addItem(FromSj(u));
  lst_User->setVisible(lst_User->count() > 0);
  lst_User->setMaximumHeight(110);
  connect(lst_User, &QListWidget::itemClicked, this, [this](QListWidgetItem* it) { SetName(it->text()); });
  connect(lst_User, &QListWidget::itemActivated, this, [this](QListWidgetItem* it) {
    SetName(it->text());
    cmd_OkClick();
  });
  auto* label = new QLabel(QStringLiteral("ユーザー名"), this);
  txt_UserName = new SjLineEdit(this);
  txt_UserName->SetPrompter(&prompter_);
  txt_UserName->setObjectName("txt_UserName");
  txt_UserName->SetMaxBytes(CMyGlobal::kMaxUserName);
  txt_UserName->setMinimumWidth(220);
  auto* buttons = qtform::OkCancelRow(this, cmd_Ok, cmd_Cancel, QStringLiteral("Ok(&O)"),
                                      QStringLiteral("ｷｬﾝｾﾙ(&C)"), false);
  connect(cmd_Ok, &QPushButton::clicked, this, &TfrmNewUser::cmd_OkClick);
  connect(cmd_Cancel, &QPushButton::clicked, this, &TfrmNewUser::cmd_CancelClick);
  auto* top = new QVBoxLayout(this);
  if (lst_User->count() > 0) top->addWidget(new QLabel(QStringLiteral("既存のユーザー"), this));
  top->addWidget(lst_User);
  top->addLayout(qtform::LabelledEdit(this, label, txt_UserName, cmd_Ok));
  top->addSpacing(8);
  top->addLayout(buttons);
  txt_UserName->setFocus();  // typing starts in the name, not in the list
}

// The name shown selected: what is typed replaces it.
void TfrmNewUser::SetName(const QString& name) {
  txt_UserName->setText(name);
  txt_UserName->selectAll();
}

void TfrmNewUser::cmd_OkClick() {
  std::string name;
  QString bad;
  if (!ToSj(txt_UserName->text(), name, &bad)) {
    prompter_.Warn(UnstorableMessage(bad));
    txt_UserName->setFocus();
    return;
  }
  int check = username::Check(name);
  if (check != username::kOk) {
    prompter_.Warn(username::Message(check));
    txt_UserName->setFocus();
    return;
  }
  if (username::Create(global_, name) != 0) {
    prompter_.Warn("ユーザーフォルダを作成できませんでした。"_sj);
    return;
  }
  result_ = true;
  accept();
}

void TfrmNewUser::cmd_CancelClick() {
  result_ = false;
  reject();
}
