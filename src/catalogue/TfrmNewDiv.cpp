#include "catalogue/TfrmNewDiv.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "catalogue/DivisionMaker.h"
#include "catalogue/PackageList.h"
#include "catalogue/TfrmHanyoData.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "qtkit/NameCharValidator.h"
#include "qtkit/QtFileChooser.h"
#include "qtkit/QtForm.h"
#include "qtkit/QtText.h"
#include "qtkit/SjLineEdit.h"
#include "shell/CMyGlobal.h"

TfrmNewDiv::TfrmNewDiv(int mode, CMyGlobal& global, CMyMaster& users, Prompter& prompter, Beeper* beeper,
                       int packageId, QWidget* parent)
    : QDialog(parent), mode_(mode), global_(global), users_(users), prompter_(prompter) {
  setObjectName("frmNewDiv");
  setWindowTitle(mode == 1 ? QStringLiteral("分類の再インストール") : QStringLiteral("新規分類作成"));
  auto* nameLabel = new QLabel(QStringLiteral("分類名"), this);
  txt_DivName = new SjLineEdit(this);
  txt_DivName->SetPrompter(&prompter_);
  txt_DivName->setObjectName("txt_DivName");
  nameLabel->setBuddy(txt_DivName);
  txt_DivName->SetMaxBytes(14);
  txt_DivName->setValidator(new NameCharValidator(beeper, txt_DivName));
  if (mode == 1) {
    txt_DivName->setText(FromSj(global.DivisionFolder()));
    txt_DivName->setReadOnly(true);
    txt_DivName->setStyleSheet(QStringLiteral("background: #e0e0e0"));
  }
  rdo_List = new QRadioButton(QStringLiteral("リスト選択"), this);
  rdo_List->setObjectName("rdo_List");
  rdo_List->setChecked(true);
  lst_Package = new QListWidget(this);
  lst_Package->setObjectName("lst_Package");
  lst_Package->setAccessibleName(QStringLiteral("パッケージ"));
  lst_Package->setMinimumHeight(110);
  packages_ = packagelist::Names(global.ProgramFolder());
  for (const auto& n : packages_) lst_Package->addItem(FromSj(n));
  int pre = mode == 1 ? packagelist::Preselect(packages_, packageId) : -1;
  if (pre >= 0) lst_Package->setCurrentRow(pre);
  rdo_File = new QRadioButton(QStringLiteral("ファイル選択"), this);
  rdo_File->setObjectName("rdo_File");
  txt_File = new QLineEdit(this);
  txt_File->setObjectName("txt_File");
  cmd_File = new QPushButton(QStringLiteral("..."), this);
  cmd_File->setObjectName("cmd_File");
  cmd_File->setFixedWidth(32);
  cmd_Ok = new QPushButton(QStringLiteral("OK(&O)"), this);
  cmd_Ok->setObjectName("cmd_Ok");
  cmd_Cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"), this);
  cmd_Cancel->setObjectName("cmd_Cancel");
  cmd_Help = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this);
  cmd_Help->setObjectName("cmd_Help");
  for (QPushButton* b : {cmd_Ok, cmd_Cancel, cmd_Help, cmd_File}) {
    b->setAutoDefault(false);
    b->installEventFilter(new qtform::EnterPresses(b));
  }
  // Enter on a chosen package is the same as OK
  connect(lst_Package, &QListWidget::itemActivated, this, [this] { cmd_OkClick(); });
  connect(txt_DivName, &QLineEdit::returnPressed, this, [this] { qtform::MoveFocus(lst_Package); });
  connect(cmd_Ok, &QPushButton::clicked, this, &TfrmNewDiv::cmd_OkClick);
  connect(cmd_Cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmd_File, &QPushButton::clicked, this, &TfrmNewDiv::cmd_FileClick);
  connect(cmd_Help, &QPushButton::clicked, this, [this] { global_.ShowHelp("新規分類作成"_sj); });
  auto enable = [this] {
    lst_Package->setEnabled(rdo_List->isChecked());
    txt_File->setEnabled(rdo_File->isChecked());
    cmd_File->setEnabled(rdo_File->isChecked());
  };
  connect(rdo_List, &QRadioButton::toggled, this, enable);
  enable();
  chooseFile = [this] { return ChooseFile(files, this, "パッケージ", "パッケージ(*.jpk)"); };

  auto* top = new QVBoxLayout(this);
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(nameLabel);
  nameRow->addWidget(txt_DivName, 1);
  top->addLayout(nameRow);
  auto* box = new QGroupBox(QStringLiteral("パッケージ"), this);
  auto* grid = new QGridLayout(box);
  grid->addWidget(rdo_List, 0, 0, 1, 2);
  grid->addWidget(lst_Package, 1, 0, 1, 2);
  grid->addWidget(rdo_File, 2, 0, 1, 2);
  grid->addWidget(txt_File, 3, 0);
  grid->addWidget(cmd_File, 3, 1);
  top->addWidget(box);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmd_Help);
  buttons->addStretch(1);
  buttons->addWidget(cmd_Ok);
  buttons->addWidget(cmd_Cancel);
  top->addLayout(buttons);
  // the help button stands first in its row, so Tab meets it first
  setTabOrder(cmd_File, cmd_Help);
  setTabOrder(cmd_Help, cmd_Ok);
  setTabOrder(cmd_Ok, cmd_Cancel);
  resize(340, 330);
}

void TfrmNewDiv::cmd_FileClick() {
  QString path = chooseFile ? chooseFile() : QString();
  if (!path.isEmpty()) txt_File->setText(path);
}

void TfrmNewDiv::cmd_OkClick() {
  std::string name;
  QString bad;
  if (!ToSj(txt_DivName->text(), name, &bad)) {
    prompter_.Warn(UnstorableMessage(bad));
    txt_DivName->setFocus();
    return;
  }
  if (mode_ == 0 && divisionmaker::CheckName(name, prompter_) != 0) {
    txt_DivName->setFocus();
    return;
  }
  std::string package;
  if (rdo_File->isChecked()) {
    if (txt_File->text().isEmpty()) {
      prompter_.Warn("ファイル名を入力して下さい。"_sj);
      txt_File->setFocus();
      return;
    }
    package = txt_File->text().toStdString();  // a file-system path
    if (!fileops::IsFile(package)) {
      prompter_.Warn("対象のファイルは見付かりません。"_sj);
      txt_File->setFocus();
      return;
    }
  } else {
    int row = lst_Package->currentRow();
    if (row < 0 || row >= static_cast<int>(packages_.size())) {
      prompter_.Warn("パッケージ名を選択して下さい。"_sj);
      lst_Package->setFocus();
      return;
    }
    package = packagelist::PathOf(global_.ProgramFolder(), packages_[static_cast<size_t>(row)]);
  }
  if (divisionmaker::MakeDivision(global_, users_, prompter_, mode_, name, package) != 0) return;
  accept();
}
