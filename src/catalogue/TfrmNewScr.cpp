#include "catalogue/TfrmNewScr.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalogue/CMyMaster.h"
#include "catalogue/ScreenImport.h"
#include "catalogue/TfrmHanyoData.h"
#include "platform/Prompter.h"
#include "qtkit/NameCharValidator.h"
#include "qtkit/QtFileChooser.h"
#include "qtkit/QtForm.h"
#include "qtkit/QtText.h"
#include "qtkit/SjLineEdit.h"
#include "shell/CMyGlobal.h"

namespace {

QHBoxLayout* FileRow(QWidget* owner, QLineEdit*& edit, std::function<QString()>& choose) {
  edit = new QLineEdit(owner);
  edit->setObjectName("txt_File");
  edit->setAccessibleName(QStringLiteral("ファイル名"));
  edit->setMinimumWidth(260);
  auto* browse = new QPushButton(QStringLiteral("..."), owner);
  browse->setObjectName("cmd_File");
  browse->setFixedWidth(32);
  browse->setAutoDefault(false);
  QObject::connect(browse, &QPushButton::clicked, owner, [edit, &choose] {
    QString path = choose ? choose() : QString();
    if (!path.isEmpty()) edit->setText(path);
  });
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("ファイル名"), owner));
  row->addWidget(edit, 1);
  row->addWidget(browse);
  return row;
}

std::string PathOf(const QLineEdit* edit) { return edit->text().toStdString(); }

}  // namespace

TfrmNewDivIn::TfrmNewDivIn(CMyGlobal& global, Prompter& prompter, QWidget* parent)
    : QDialog(parent), global_(global), prompter_(prompter) {
  setObjectName("frmNewDivIn");
  setWindowTitle(QStringLiteral("入力画面読込"));
  chooseFile = [this] {
    return ChooseFile(files, this, "入力画面読込",
                      "入力画面用テンプレートまたはパッケージ(*.jit *.jpk);;入力画面用テンプレート(*.jit);;"
                      "パッケージ(*.jpk)");
  };
  auto* top = new QVBoxLayout(this);
  top->addLayout(FileRow(this, txt_File, chooseFile));
  top->addLayout(qtform::OkCancelRow(this, cmd_Ok, cmd_Cancel));
  connect(cmd_Ok, &QPushButton::clicked, this, &TfrmNewDivIn::cmd_OkClick);
}

void TfrmNewDivIn::cmd_OkClick() {
  if (screenimport::ImportInputDefinition(global_, prompter_, PathOf(txt_File)) != 0) {
    txt_File->setFocus();
    return;
  }
  accept();
}

TfrmPkgViewSel::TfrmPkgViewSel(CMyGlobal& global, Prompter& prompter, std::string package, std::string target,
                               QWidget* parent)
    : QDialog(parent),
      global_(global),
      prompter_(prompter),
      package_(std::move(package)),
      target_(std::move(target)) {
  setObjectName("frmPkgViewSel");
  setWindowTitle(QStringLiteral("表示画面選択"));
  lst_Screen = new QListWidget(this);
  lst_Screen->setObjectName("lst_Screen");
  auto* top = new QVBoxLayout(this);
  top->addWidget(lst_Screen, 1);
  top->addLayout(qtform::OkCancelRow(this, cmd_Ok, cmd_Cancel));
  connect(cmd_Ok, &QPushButton::clicked, this, &TfrmPkgViewSel::cmd_OkClick);
  connect(lst_Screen, &QListWidget::itemDoubleClicked, this, &TfrmPkgViewSel::cmd_OkClick);
  resize(260, 240);
}

bool TfrmPkgViewSel::SetUp() {
  if (screenimport::PackageScreens(global_, prompter_, package_, names_) != 0) return false;
  for (const auto& n : names_) lst_Screen->addItem(FromSj(n));
  return true;
}

void TfrmPkgViewSel::cmd_OkClick() {
  int row = lst_Screen->currentRow();
  if (row < 0 || row >= static_cast<int>(names_.size())) {
    prompter_.Warn("リストを選択して下さい。"_sj);
    return;
  }
  if (screenimport::TakeScreen(global_, prompter_, package_, names_[static_cast<size_t>(row)], target_) != 0)
    return;
  accept();
}

TfrmNewScr::TfrmNewScr(int mode, int index, CMyGlobal& global, CMyMaster& screens, Prompter& prompter,
                       Beeper* beeper, QWidget* parent)
    : QDialog(parent), mode_(mode), index_(index), global_(global), screens_(screens), prompter_(prompter) {
  setObjectName("frmNewScr");
  setWindowTitle(QStringLiteral("表示画面読込"));
  txt_ScrName = new SjLineEdit(this);
  txt_ScrName->SetPrompter(&prompter_);
  txt_ScrName->setObjectName("txt_ScrName");
  txt_ScrName->setAccessibleName(QStringLiteral("表示画面名"));
  txt_ScrName->SetMaxBytes(14);
  txt_ScrName->setValidator(new NameCharValidator(beeper, txt_ScrName));
  if (mode == 1 && screens.Record(index)) {
    txt_ScrName->setText(FromSj(screens.Name(index)));
    txt_ScrName->setReadOnly(true);
    txt_ScrName->setStyleSheet(QStringLiteral("background: #e0e0e0"));
  }
  chooseFile = [this] {
    return ChooseFile(files, this, windowTitle().toStdString().c_str(),
                      "出力画面用テンプレートまたはパッケージ(*.jot *.jpk);;出力画面用テンプレート(*.jot);;"
                      "パッケージ(*.jpk)");
  };
  runChooser = [](TfrmPkgViewSel& dlg) {
    if (!dlg.SetUp()) return -1;
    return dlg.exec() == QDialog::Accepted ? 1 : 0;
  };
  auto* top = new QVBoxLayout(this);
  auto* name = new QHBoxLayout;
  name->addWidget(new QLabel(QStringLiteral("表示画面名"), this));
  name->addWidget(txt_ScrName, 1);
  top->addLayout(name);
  top->addLayout(FileRow(this, txt_File, chooseFile));
  top->addLayout(qtform::OkCancelRow(this, cmd_Ok, cmd_Cancel));
  connect(txt_ScrName, &QLineEdit::returnPressed, this, [this] { qtform::MoveFocus(txt_File); });
  connect(cmd_Ok, &QPushButton::clicked, this, &TfrmNewScr::cmd_OkClick);
}

void TfrmNewScr::cmd_OkClick() {
  std::string name;
  QString bad;
  if (!ToSj(txt_ScrName->text(), name, &bad)) {
    prompter_.Warn(UnstorableMessage(bad));
    return;
  }
  if (name.empty()) {
    prompter_.Warn("表示画面名を入力して下さい。"_sj);
    txt_ScrName->setFocus();
    return;
  }
  const std::string file = PathOf(txt_File);
  if (screenimport::CheckFile(file, prompter_) != 0) {
    txt_File->setFocus();
    return;
  }
  if (mode_ == 0 && screens_.FindByText(0, name) >= 0) {
    prompter_.Warn("既に存在する画面名です。"_sj);
    txt_ScrName->setFocus();
    return;
  }
  if (!screenimport::IsPackage(file)) {
    if (screenimport::CopyTemplate(global_, prompter_, file, name) != 0) return;
  } else {
    TfrmPkgViewSel chooser(global_, prompter_, file, name, this);
    int rc = runChooser(chooser);
    if (rc < 0) {
      reject();  // the package could not be read; the unpacker has told why
      return;
    }
    if (rc == 0) return;
  }
  if (mode_ == 0) {
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, name);
    if (screens_.Append(rec) != 0) return;
  }
  accept();
}
