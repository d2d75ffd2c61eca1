#include "exchange/TfrmRestore.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "exchange/CMyRestore.h"
#include "platform/Cp932.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "qtkit/QtForm.h"
#include "qtkit/QtText.h"
#include "qtkit/SjLineEdit.h"
#include "shell/CMyGlobal.h"

namespace {
QString U(const char* utf8) { return QString::fromUtf8(utf8); }
}  // namespace

TfrmRestore::TfrmRestore(CMyRestore& model, const CMyGlobal& global, FileChooser& files, Prompter& prompter,
                         QWidget* parent)
    : QDialog(parent), model_(model), global_(global), files_(files), prompter_(prompter) {
  setObjectName("frmRestore");
  setWindowTitle(U("リストア(復元)"));

  txt_UserName = new SjLineEdit(this);
  txt_UserName->setObjectName("txt_UserName");
  txt_UserName->SetPrompter(&prompter_);
  txt_UserName->SetMaxBytes(CMyGlobal::kMaxUserName);
  txt_Path = new SjLineEdit(this);
  txt_Path->setObjectName("txt_Path");
  txt_Path->SetPrompter(&prompter_);
  txt_Path->setMinimumWidth(320);
  cmd_Path = qtform::Button(this, U("..."), "cmd_Path");
  cmd_Path->setFixedWidth(cmd_Path->fontMetrics().horizontalAdvance(U("...")) + 24);
  auto* buttons = qtform::OkCancelRow(this, cmd_Ok, cmd_Cancel, U("Ok(&O)"), U("ｷｬﾝｾﾙ(&C)"));

  auto* userLabel = new QLabel(U("ユーザー名"), this);
  auto* pathLabel = new QLabel(U("パス"), this);
  userLabel->setBuddy(txt_UserName);
  pathLabel->setBuddy(txt_Path);
  auto* grid = new QGridLayout;
  grid->addWidget(userLabel, 0, 0);
  grid->addWidget(txt_UserName, 0, 1);
  grid->addWidget(pathLabel, 1, 0);
  grid->addWidget(txt_Path, 1, 1);
  grid->addWidget(cmd_Path, 1, 2);
  grid->setColumnStretch(1, 1);

  auto* note1 =
      new QLabel(U("自動バックアップ機能で指定したフォルダに作成したファイルからデータを復元します。"), this);
  note1->setObjectName("lbl_Note1");
  auto* note2 = new QLabel(U("どのファイルから復元するかはファイル名や更新日を参考ください。"), this);
  note2->setObjectName("lbl_Note2");

  auto* all = new QVBoxLayout(this);
  all->addLayout(grid);
  all->addSpacing(6);
  all->addWidget(note1);
  all->addWidget(note2);
  all->addSpacing(6);
  all->addLayout(buttons);

  // Enter in an edit box moves on
  connect(txt_UserName, &QLineEdit::returnPressed, this, [this] { qtform::MoveFocus(txt_Path); });
  connect(txt_Path, &QLineEdit::returnPressed, this, [this] { qtform::MoveFocus(cmd_Path); });
  connect(cmd_Path, &QPushButton::clicked, this, [this] { cmd_PathClick(); });
  connect(cmd_Ok, &QPushButton::clicked, this, [this] { (void)cmd_OkClick(); });
}

void TfrmRestore::cmd_PathClick() {
  FileChoice choice;
  choice.save = false;
  choice.title = cp932::FromUtf8("リストア(復元)");
  choice.filter = cp932::FromUtf8("ひとことバックアップファイル(*.mbk)");
  if (!global_.backPath.empty()) {
    std::string folder = CMyGlobal::OnDisk(global_.backPath);
    for (char& c : folder)
      if (c == '\\') c = '/';  // a folder written by the original program
    choice.folder = folder;
  }
  const std::string path = files_.Choose(choice);
  if (!path.empty()) txt_Path->setText(QString::fromStdString(path));
}

int TfrmRestore::cmd_OkClick() {
  std::string user;
  QString bad;
  if (!ToSj(txt_UserName->text(), user, &bad)) {
    prompter_.Warn(UnstorableMessage(bad));
    txt_UserName->setFocus();
    return CMyRestore::kBadUserName;
  }
  const int code = model_.Run(user, txt_Path->text().toStdString(), true);
  switch (code) {
    case CMyRestore::kOk:
      restored_ = true;
      accept();
      break;
    case CMyRestore::kNoUser:
    case CMyRestore::kCurrentUser:
    case CMyRestore::kBadUserName:
    case CMyRestore::kDeclined:
      txt_UserName->setFocus();
      break;
    default:
      txt_Path->setFocus();
      break;
  }
  return code;
}
