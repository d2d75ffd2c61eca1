#include "exchange/TfrmExport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/Cp932.h"
#include "platform/FileChooser.h"
#include "qtkit/QtForm.h"
#include "qtkit/QtText.h"
#include "qtkit/SjLineEdit.h"
#include "shell/CMyGlobal.h"

namespace {
QString U(const char* utf8) { return QString::fromUtf8(utf8); }
}  // namespace

TfrmExport::TfrmExport(CMyExport& model, FileChooser& files, Prompter& prompter, Beeper& beeper,
                       std::function<std::vector<ShownRow>()> shown, QWidget* parent)
    : QDialog(parent),
      model_(model),
      files_(files),
      prompter_(prompter),
      shown_(std::move(shown)),
      lists_(model.StandardColumns(), beeper) {
  setObjectName("frmExport");
  setWindowTitle(U("エクスポート"));

  lst_From = new QListWidget(this);
  lst_From->setAccessibleName(QStringLiteral("出力しない項目"));
  lst_From->setObjectName("lst_From");
  lst_To = new QListWidget(this);
  lst_To->setAccessibleName(QStringLiteral("出力する項目"));
  lst_To->setObjectName("lst_To");
  cmd_Right = qtform::Button(this, U(">"), "cmd_Right");
  cmd_Left = qtform::Button(this, U("<"), "cmd_Left");
  cmd_RightAll = qtform::Button(this, U(">>"), "cmd_RightAll");
  cmd_LeftAll = qtform::Button(this, U("<<"), "cmd_LeftAll");
  cmd_Up = qtform::Button(this, U("↑"), "cmd_Up");
  cmd_Down = qtform::Button(this, U("↓"), "cmd_Down");

  txt_Path = new SjLineEdit(this);
  txt_Path->setObjectName("txt_Path");
  txt_Path->SetPrompter(&prompter_);
  cmd_FName = qtform::Button(this, U("..."), "cmd_FName");

  auto* box = new QGroupBox(U("出力方法"), this);
  box->setObjectName("fra_Out");
  rdo_AllData = new QRadioButton(U("全データ"), box);
  rdo_AllData->setObjectName("rdo_AllData");
  rdo_ViewData = new QRadioButton(U("表示中のデータ"), box);
  rdo_ViewData->setObjectName("rdo_ViewData");
  chk_Field = new QCheckBox(U("フィールド名を付けて出力する。"), this);
  chk_Field->setObjectName("chk_Field");
  chk_MemoRet = new QCheckBox(U("メモの改行文字設定"), this);
  chk_MemoRet->setObjectName("chk_MemoRet");
  txt_MemoRet = new SjLineEdit(this);
  txt_MemoRet->setAccessibleName(QStringLiteral("メモの改行の置き換え"));
  txt_MemoRet->setObjectName("txt_MemoRet");
  txt_MemoRet->SetPrompter(&prompter_);
  txt_MemoRet->setMaxLength(10);
  cmb_Encoding = new QComboBox(this);
  cmb_Encoding->setObjectName("cmb_Encoding");
  cmb_Encoding->addItem(U("Shift-JIS"));
  cmb_Encoding->addItem(U("UTF-8 (BOM付き)"));
  chk_Guard = new QCheckBox(U("表計算ソフトで式として解釈されないようにする"), this);
  chk_Guard->setObjectName("chk_Guard");

  cmd_Ok = qtform::Button(this, U("エクスポート(&E)"), "cmd_Ok");
  cmd_Close = qtform::Button(this, U("閉じる(&C)"), "cmd_Close");
  cmd_Help = qtform::Button(this, U("ﾍﾙﾌﾟ(&H)"), "cmd_Help");

  // layout: the two lists with the move buttons between them and the
  // order buttons at the right, then the file, the options, the buttons
  auto* lists = new QGridLayout;
  lists->addWidget(new QLabel(U("元"), this), 0, 0);
  lists->addWidget(new QLabel(U("転送項目"), this), 0, 2);
  lists->addWidget(lst_From, 1, 0);
  auto* moves = new QVBoxLayout;
  moves->addStretch(1);
  for (QPushButton* b : {cmd_Right, cmd_RightAll, cmd_Left, cmd_LeftAll}) moves->addWidget(b);
  moves->addStretch(1);
  lists->addLayout(moves, 1, 1);
  lists->addWidget(lst_To, 1, 2);
  auto* order = new QVBoxLayout;
  order->addStretch(1);
  order->addWidget(cmd_Up);
  order->addWidget(cmd_Down);
  order->addStretch(1);
  lists->addLayout(order, 1, 3);

  auto* pathRow = new QHBoxLayout;
  auto* pathLabel = new QLabel(U("ファイル名(&F)"), this);
  pathLabel->setBuddy(txt_Path);
  pathRow->addWidget(pathLabel);
  pathRow->addWidget(txt_Path, 1);
  pathRow->addWidget(cmd_FName);

  auto* boxLayout = new QHBoxLayout(box);
  boxLayout->addWidget(rdo_AllData);
  boxLayout->addWidget(rdo_ViewData);
  auto* memoRow = new QHBoxLayout;
  memoRow->addWidget(chk_MemoRet);
  memoRow->addWidget(txt_MemoRet, 1);
  auto* encodingRow = new QHBoxLayout;
  encodingRow->addWidget(new QLabel(U("文字コード"), this));
  encodingRow->addWidget(cmb_Encoding, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmd_Ok);
  buttons->addWidget(cmd_Close);
  buttons->addWidget(cmd_Help);

  auto* all = new QVBoxLayout(this);
  all->addLayout(lists, 1);
  all->addLayout(pathRow);
  all->addWidget(box);
  all->addWidget(chk_Field);
  all->addLayout(memoRow);
  all->addLayout(encodingRow);
  all->addWidget(chk_Guard);
  all->addLayout(buttons);
  // Tab goes from the list on the left through the buttons between to the one on the right
  QWidget* previous = lst_From;
  for (QWidget* w :
       {static_cast<QWidget*>(cmd_Right), static_cast<QWidget*>(cmd_RightAll),
        static_cast<QWidget*>(cmd_Left), static_cast<QWidget*>(cmd_LeftAll), static_cast<QWidget*>(lst_To)}) {
    setTabOrder(previous, w);
    previous = w;
  }

  connect(cmd_Right, &QPushButton::clicked, this, [this] { cmd_RightClick(); });
  connect(cmd_Left, &QPushButton::clicked, this, [this] { cmd_LeftClick(); });
  connect(cmd_RightAll, &QPushButton::clicked, this, [this] { cmd_RightAllClick(); });
  connect(cmd_LeftAll, &QPushButton::clicked, this, [this] { cmd_LeftAllClick(); });
  connect(cmd_Up, &QPushButton::clicked, this, [this] { cmd_UpClick(); });
  connect(cmd_Down, &QPushButton::clicked, this, [this] { cmd_DownClick(); });
  connect(lst_From, &QListWidget::itemDoubleClicked, this, [this] { cmd_RightClick(); });
  connect(lst_To, &QListWidget::itemDoubleClicked, this, [this] { cmd_LeftClick(); });
  connect(cmd_FName, &QPushButton::clicked, this, [this] { cmd_FNameClick(); });
  connect(cmd_Ok, &QPushButton::clicked, this, [this] { (void)cmd_OkClick(); });
  connect(cmd_Close, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmd_Help, &QPushButton::clicked, this,
          [this] { (void)model_.Book().global.ShowHelp(cp932::FromUtf8("エクスポート")); });
  connect(chk_MemoRet, &QCheckBox::toggled, txt_MemoRet, &QWidget::setEnabled);

  ApplyChoice(model_.LoadChoice());
}

void TfrmExport::ApplyChoice(const ExportChoice& c) {
  lists_.Set(c.from, c.options.columns);
  txt_Path->setText(QString::fromStdString(c.options.path));
  rdo_AllData->setChecked(c.options.allData);
  rdo_ViewData->setChecked(!c.options.allData);
  chk_Field->setChecked(c.options.header);
  chk_MemoRet->setChecked(c.options.memoBreak);
  txt_MemoRet->SetTextSj(c.options.memoBreakText);
  txt_MemoRet->setEnabled(c.options.memoBreak);
  cmb_Encoding->setCurrentIndex(c.options.encoding == CsvEncoding::kUtf8 ? 1 : 0);
  chk_Guard->setChecked(c.options.formulaGuard);
  Fill(lists_.From().empty() ? -1 : 0, lists_.To().empty() ? -1 : 0);
}

void TfrmExport::Fill(int selectFrom, int selectTo) {
  auto fill = [](QListWidget* list, const std::vector<std::string>& items, int select) {
    list->clear();
    for (const std::string& s : items) list->addItem(FromSj(s));
    if (select >= 0 && select < list->count()) list->setCurrentRow(select);
  };
  fill(lst_From, lists_.From(), selectFrom);
  fill(lst_To, lists_.To(), selectTo);
}

void TfrmExport::cmd_RightClick() {
  const int from = lst_From->currentRow();
  const int at = lists_.Right(from);
  if (at >= 0) Fill(std::min(from, static_cast<int>(lists_.From().size()) - 1), at);
}

void TfrmExport::cmd_LeftClick() {
  const int to = lst_To->currentRow();
  const int at = lists_.Left(to);
  if (at >= 0) Fill(at, std::min(to, static_cast<int>(lists_.To().size()) - 1));
}

void TfrmExport::cmd_RightAllClick() {
  lists_.RightAll();
  Fill(-1, 0);
}

void TfrmExport::cmd_LeftAllClick() {
  lists_.LeftAll();
  Fill(0, -1);
}

void TfrmExport::cmd_UpClick() {
  const int at = lists_.Up(lst_To->currentRow());
  if (at >= 0) Fill(lst_From->currentRow(), at);
}

void TfrmExport::cmd_DownClick() {
  const int at = lists_.Down(lst_To->currentRow());
  if (at >= 0) Fill(lst_From->currentRow(), at);
}

void TfrmExport::cmd_FNameClick() {
  FileChoice choice;
  choice.save = true;
  choice.title = cp932::FromUtf8("エクスポート");
  choice.filter = cp932::FromUtf8("CSVファイル (*.CSV *.csv)");
  const std::string typed = txt_Path->text().toStdString();
  if (!typed.empty()) {
    const std::string resolved = model_.ResolvePath(typed);
    const size_t slash = resolved.rfind('/');
    if (slash != std::string::npos) {
      choice.folder = resolved.substr(0, slash);
      choice.suggested = resolved.substr(slash + 1);
    }
  }
  const std::string path = files_.Choose(choice);
  if (!path.empty()) txt_Path->setText(QString::fromStdString(path));
}

ExportOptions TfrmExport::Options() const {
  ExportOptions o;
  o.path = txt_Path->text().toStdString();
  o.columns = lists_.To();
  o.allData = rdo_AllData->isChecked();
  o.header = chk_Field->isChecked();
  o.memoBreak = chk_MemoRet->isChecked();
  o.memoBreakText = txt_MemoRet->TextSj();
  o.encoding = cmb_Encoding->currentIndex() == 1 ? CsvEncoding::kUtf8 : CsvEncoding::kShiftJis;
  o.formulaGuard = chk_Guard->isChecked();
  return o;
}

int TfrmExport::cmd_OkClick() {
  const ExportOptions o = Options();
  std::vector<ShownRow> shown;
  if (!o.allData && shown_) shown = shown_();
  ExportResult r;
  const int code = model_.Run(o, shown, &r);
  if (!r.path.empty()) txt_Path->setText(QString::fromStdString(r.path));
  if (code == CMyExport::kNoPath) txt_Path->setFocus();
  if (code == CMyExport::kNoColumns) lst_To->setFocus();
  return code;
}
