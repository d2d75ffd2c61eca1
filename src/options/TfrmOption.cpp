#include "options/TfrmOption.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "qtkit/QtForm.h"
#include "qtkit/QtText.h"
#include "qtkit/SjLineEdit.h"
#include "shell/CMyGlobal.h"

namespace {
QLabel* Heading(QWidget* owner, const QString& text) {
  auto* l = new QLabel(text, owner);
  QFont f = l->font();
  f.setBold(true);
  l->setFont(f);
  return l;
}
}  // namespace

TfrmOption::TfrmOption(CMyOptions& options, FileChooser& files, Prompter& prompter, QWidget* parent)
    : QDialog(parent), options_(options), files_(files), prompter_(prompter) {
  setObjectName("frmOption");
  setWindowTitle(QStringLiteral("オプション"));
  chk_PrnOnTitle = new QCheckBox(QStringLiteral("タイトルを印刷する"), this);
  chk_PrnOnTitle->setObjectName("chk_PrnOnTitle");
  chk_PrnOnPage = new QCheckBox(QStringLiteral("ページを印刷する"), this);
  chk_PrnOnPage->setObjectName("chk_PrnOnPage");
  chk_PrnOnNow = new QCheckBox(QStringLiteral("現在日を印刷する"), this);
  chk_PrnOnNow->setObjectName("chk_PrnOnNow");
  chk_ScrView = new QCheckBox(QStringLiteral("画面下メニュー非表示"), this);
  chk_ScrView->setObjectName("chk_ScrView");
  cbo_BackKind = new QComboBox(this);
  cbo_BackKind->setObjectName("cbo_BackKind");
  cbo_BackKind->addItems({QStringLiteral("自動バックアップしない(手動のみ)"), QStringLiteral("毎日"),
                          QStringLiteral("週単位"), QStringLiteral("月単位")});
  txt_BackPath = new SjLineEdit(this);
  txt_BackPath->setObjectName("txt_BackPath");
  txt_BackPath->SetPrompter(&prompter);
  txt_BackPath->SetMaxBytes(CMyOptions::kMaxBackPath);
  txt_BackPath->setMinimumWidth(260);
  cmd_BackPath = qtform::Button(this, QStringLiteral("..."), "cmd_BackPath");
  cmd_BackPath->setToolTip(QStringLiteral("保存先フォルダを選ぶ"));
  cmd_BackPath->setFixedWidth(32);
  lbl_LastBackup = new QLabel(this);
  lbl_LastBackup->setObjectName("lbl_LastBackup");

  auto* top = new QVBoxLayout(this);
  top->addWidget(Heading(this, QStringLiteral("■印刷関係")));
  auto* print = new QVBoxLayout;
  print->setContentsMargins(16, 0, 0, 6);
  print->addWidget(chk_PrnOnTitle);
  print->addWidget(chk_PrnOnPage);
  print->addWidget(chk_PrnOnNow);
  top->addLayout(print);
  top->addWidget(Heading(this, QStringLiteral("■全般")));
  auto* general = new QVBoxLayout;
  general->setContentsMargins(16, 0, 0, 6);
  general->addWidget(chk_ScrView);
  top->addLayout(general);
  top->addWidget(Heading(this, QStringLiteral("■自動バックアップ関係")));
  auto* backup = new QGridLayout;
  backup->setContentsMargins(16, 0, 0, 6);
  auto* kindLabel = new QLabel(QStringLiteral("保存頻度"), this);
  kindLabel->setBuddy(cbo_BackKind);
  auto* pathLabel = new QLabel(QStringLiteral("保存先フォルダ"), this);
  pathLabel->setBuddy(txt_BackPath);
  backup->addWidget(kindLabel, 0, 0);
  backup->addWidget(cbo_BackKind, 0, 1, 1, 2);
  backup->addWidget(pathLabel, 1, 0);
  backup->addWidget(txt_BackPath, 1, 1);
  backup->addWidget(cmd_BackPath, 1, 2);
  auto* note = new QLabel(QStringLiteral("※指定すると起動時にバックアップ画面を開きます。"), this);
  backup->addWidget(note, 2, 1, 1, 2);
  backup->addWidget(lbl_LastBackup, 3, 1, 1, 2);
  backup->setColumnStretch(1, 1);
  top->addLayout(backup);
  top->addLayout(qtform::OkCancelRow(this, cmd_Ok, cmd_Cancel, QStringLiteral("OK(&O)"),
                                     QStringLiteral("キャンセル(&C)")));

  const CMyOptions::Values& v = options_.Initial();
  chk_PrnOnTitle->setChecked(v.printTitle);
  chk_PrnOnPage->setChecked(v.printPage);
  chk_PrnOnNow->setChecked(v.printNow);
  chk_ScrView->setChecked(v.panelHidden);
  cbo_BackKind->setCurrentIndex(v.backItem);
  txt_BackPath->SetTextSj(v.backPath);
  const std::string last = options_.LastBackup();
  lbl_LastBackup->setText(FromSj(last));
  lbl_LastBackup->setVisible(!last.empty());

  connect(txt_BackPath, &QLineEdit::returnPressed, this, [this] { qtform::MoveFocus(cmd_BackPath); });
  connect(cmd_BackPath, &QPushButton::clicked, this, &TfrmOption::cmd_BackPathClick);
  connect(cmd_Ok, &QPushButton::clicked, this, &TfrmOption::cmd_OkClick);
}

CMyOptions::Values TfrmOption::Values() const {
  CMyOptions::Values v;
  v.printTitle = chk_PrnOnTitle->isChecked();
  v.printPage = chk_PrnOnPage->isChecked();
  v.printNow = chk_PrnOnNow->isChecked();
  v.panelHidden = chk_ScrView->isChecked();
  v.backItem = cbo_BackKind->currentIndex();
  v.backPath = txt_BackPath->TextSj();
  return v;
}

void TfrmOption::cmd_BackPathClick() {
  FileChoice choice;
  choice.chooseFolder = true;
  choice.title = "保存先フォルダ"_sj;
  choice.folder = CMyGlobal::OnDisk(txt_BackPath->TextSj());
  const std::string path = files_.Choose(choice);
  if (path.empty()) return;
  std::string sj, why;
  if (!CMyOptions::BackPathOf(path, sj, why)) {
    prompter_.Warn(why);
    return;
  }
  txt_BackPath->SetTextSj(sj);
}

void TfrmOption::cmd_OkClick() {
  panelChanged_ = options_.Store(Values());
  // the choices stay in force for this run even so; the next OK or the
  // close tries the file again
  if (!options_.Written()) prompter_.Warn("設定を保存できませんでした。"_sj);
  accept();
}
