#include "exchange/TfrmDataBack.h"

#include <QLabel>
#include <QVBoxLayout>

#include "exchange/CMyBackup.h"
#include "platform/Cp932.h"
#include "qtkit/QtForm.h"
#include "qtkit/QtText.h"
#include "qtkit/SjLineEdit.h"
#include "shell/CMyGlobal.h"

namespace {
QString U(const char* utf8) { return QString::fromUtf8(utf8); }
}  // namespace

TfrmDataBack::TfrmDataBack(CMyBackup& model, const CMyGlobal& global, QWidget* parent)
    : QDialog(parent), model_(model), global_(global) {
  setObjectName("frmDataBack");
  setWindowTitle(U("バックアップ"));

  lbl_Msg = new QLabel(U("バックアップします。よろしいですか？"), this);
  lbl_Msg->setObjectName("lbl_Msg");
  lbl_Note = new QLabel(U("※画像のようなパスデータのパス先は保持しません。"), this);
  lbl_Note->setObjectName("lbl_Note");
  lbl_Copy = new QLabel(this);
  lbl_Copy->setObjectName("lbl_Copy");
  txt_Path = new SjLineEdit(this);
  txt_Path->setAccessibleName(QStringLiteral("バックアップ先"));
  txt_Path->setObjectName("txt_Path");
  txt_Path->setReadOnly(true);  // PATH is chosen in the options
  txt_Path->setMinimumWidth(360);
  lbl_Last = new QLabel(this);
  lbl_Last->setObjectName("lbl_Last");
  lbl_Last->setWordWrap(true);
  lbl_Last->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* buttons = qtform::OkCancelRow(this, cmd_Ok, cmd_Cancel, U("Ok(&O)"), U("キャンセル(&C)"));

  auto* all = new QVBoxLayout(this);
  all->addWidget(lbl_Msg);
  all->addWidget(lbl_Note);
  all->addSpacing(6);
  all->addWidget(lbl_Copy);
  all->addWidget(txt_Path);
  all->addWidget(lbl_Last);
  all->addSpacing(6);
  all->addLayout(buttons);

  connect(cmd_Ok, &QPushButton::clicked, this, [this] { (void)cmd_OkClick(); });
  model_.SetProgress([this](const std::string& diskPath) {
    txt_Path->setText(QString::fromStdString(diskPath));
    txt_Path->repaint();  // a long copy shows where it is without running the event loop
  });
  ShowDestination();
  ShowLastBackup();
  cmd_Ok->setFocus();
}

TfrmDataBack::~TfrmDataBack() { model_.SetProgress({}); }

void TfrmDataBack::ShowDestination() {
  lbl_Copy->setText(U("保存先フォルダ"));
  if (global_.backPath.empty())
    txt_Path->setText(U("＜保存先フォルダの指定がありません。＞"));
  else
    txt_Path->SetTextSj(global_.backPath);
}

void TfrmDataBack::ShowLastBackup() {
  const std::string line = LastBackupText(global_);
  const std::string why = LastBackupFailure(global_);
  lbl_Last->setText(FromSj(why.empty() ? line : line + "\n" + why));
  lbl_Last->setVisible(!line.empty());
}

int TfrmDataBack::cmd_OkClick() {
  if (!global_.backPath.empty()) lbl_Copy->setText(U("コピー元"));
  cmd_Ok->setEnabled(false);
  BackupResult result;
  const int code = model_.Run(&result);
  cmd_Ok->setEnabled(true);
  ShowDestination();
  ShowLastBackup();
  if (code == CMyBackup::kOk) {
    backedUp_ = true;
    archive_ = result.archive;
    accept();
  }
  return code;
}
