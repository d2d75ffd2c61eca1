#include "exchange/TfrmInport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/Cp932.h"
#include "platform/FileChooser.h"
#include "qtkit/QtForm.h"
#include "qtkit/SjLineEdit.h"
#include "shell/CMyGlobal.h"

namespace {
QString U(const char* utf8) { return QString::fromUtf8(utf8); }
}  // namespace

TfrmInport::TfrmInport(CMyImport& model, FileChooser& files, Prompter& prompter, QWidget* parent)
    : QDialog(parent), model_(model), files_(files), prompter_(prompter) {
  setObjectName("frmImport");
  setWindowTitle(U("データのインポート"));

  auto* intro = new QLabel(U("ＣＳＶ形式のデータを取り込みます。"), this);
  intro->setObjectName("lbl_Info");
  txt_Path = new SjLineEdit(this);
  txt_Path->setObjectName("txt_Path");
  txt_Path->SetPrompter(&prompter_);
  cmd_FName = qtform::Button(this, U("..."), "cmd_FName");

  auto* box = new QGroupBox(U("取り込み種類"), this);
  box->setObjectName("fra_Kind");
  rdo_DelIn = new QRadioButton(U("全データ入替"), box);
  rdo_DelIn->setObjectName("rdo_DelIn");
  rdo_Add = new QRadioButton(U("追加"), box);
  rdo_Add->setObjectName("rdo_Add");
  cmb_Encoding = new QComboBox(this);
  cmb_Encoding->setObjectName("cmb_Encoding");
  cmb_Encoding->addItem(U("Shift-JIS"));
  cmb_Encoding->addItem(U("UTF-8 (BOM付き)"));
  chk_Guard = new QCheckBox(U("表計算ソフトで式として解釈されないようにする"), this);
  chk_Guard->setObjectName("chk_Guard");
  cmd_Inport = qtform::Button(this, U("インポート(&I)"), "cmd_Inport");
  cmd_Close = qtform::Button(this, U("閉じる(&C)"), "cmd_Close");
  cmd_Help = qtform::Button(this, U("ﾍﾙﾌﾟ(&H)"), "cmd_Help");

  auto* pathRow = new QHBoxLayout;
  auto* pathLabel = new QLabel(U("ファイル名(&F)"), this);
  pathLabel->setBuddy(txt_Path);
  pathRow->addWidget(pathLabel);
  pathRow->addWidget(txt_Path, 1);
  pathRow->addWidget(cmd_FName);
  auto* boxLayout = new QHBoxLayout(box);
  boxLayout->addWidget(rdo_DelIn);
  boxLayout->addWidget(rdo_Add);
  auto* encodingRow = new QHBoxLayout;
  encodingRow->addWidget(new QLabel(U("文字コード"), this));
  encodingRow->addWidget(cmb_Encoding, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmd_Inport);
  buttons->addWidget(cmd_Close);
  buttons->addWidget(cmd_Help);

  auto* all = new QVBoxLayout(this);
  all->addWidget(intro);
  all->addLayout(pathRow);
  all->addWidget(box);
  all->addLayout(encodingRow);
  all->addWidget(chk_Guard);
  all->addLayout(buttons);

  connect(cmd_FName, &QPushButton::clicked, this, [this] { cmd_FNameClick(); });
  connect(cmd_Inport, &QPushButton::clicked, this, [this] { (void)cmd_InportClick(); });
  connect(cmd_Close, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmd_Help, &QPushButton::clicked, this,
          [this] { (void)model_.Book().global.ShowHelp(cp932::FromUtf8("インポート")); });

  const ImportOptions last = model_.LastOptions();
  txt_Path->setText(QString::fromStdString(last.path));
  rdo_DelIn->setChecked(last.replaceAll);
  rdo_Add->setChecked(!last.replaceAll);
  cmb_Encoding->setCurrentIndex(last.encoding == CsvEncoding::kUtf8 ? 1 : 0);
  chk_Guard->setChecked(last.formulaGuard);
}

void TfrmInport::cmd_FNameClick() {
  FileChoice choice;
  choice.save = false;
  choice.title = cp932::FromUtf8("データのインポート");
  choice.filter = cp932::FromUtf8("CSVファイル (*.CSV *.csv)");
  const std::string typed = txt_Path->text().toStdString();
  if (!typed.empty()) {
    const std::string resolved = model_.ResolvePath(typed);
    const size_t slash = resolved.rfind('/');
    if (slash != std::string::npos) choice.folder = resolved.substr(0, slash);
  }
  const std::string path = files_.Choose(choice);
  if (!path.empty()) txt_Path->setText(QString::fromStdString(path));
}

ImportOptions TfrmInport::Options() const {
  ImportOptions o;
  o.path = txt_Path->text().toStdString();
  o.replaceAll = rdo_DelIn->isChecked();
  o.encoding = cmb_Encoding->currentIndex() == 1 ? CsvEncoding::kUtf8 : CsvEncoding::kShiftJis;
  o.formulaGuard = chk_Guard->isChecked();
  return o;
}

int TfrmInport::cmd_InportClick() {
  ImportResult r;
  const int code = model_.Run(Options(), &r);
  if (!r.path.empty()) txt_Path->setText(QString::fromStdString(r.path));
  if (code == CMyImport::kNoPath) txt_Path->setFocus();
  // past the questions the model has reloaded the whole division, also
  // when it then refused the file: the view's rows must be rebuilt
  if (code != CMyImport::kNoPath && code != CMyImport::kNotFound && code != CMyImport::kCancelled)
    changed_ = true;
  return code;
}
