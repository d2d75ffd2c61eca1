#include "mainview/search/TfrmFind.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "mainview/search/SearchCommands.h"
#include "qtkit/QtText.h"
#include "qtkit/SjLineEdit.h"

TfrmFind::TfrmFind(SearchCommands& commands, Prompter& prompter, QWidget* parent)
    : QDialog(parent), commands_(commands) {
  setObjectName("frmFind");
  setWindowTitle(QStringLiteral("検索"));
  setModal(false);

  cbo_Name = new SjComboBox(this);
  cbo_Name->setObjectName("cbo_Name");
  cbo_Name->Edit()->SetPrompter(&prompter);
  cbo_Name->setMinimumWidth(220);
  txt_Data = new SjLineEdit(this);
  txt_Data->setObjectName("txt_Data");
  txt_Data->SetPrompter(&prompter);
  txt_Data->setMaxLength(SearchCommands::kMaxTextChars);
  cbo_Kind = new QComboBox(this);
  cbo_Kind->setObjectName("cbo_Kind");
  for (const char* k : {"完全に一致", "先頭文字が一致", "最後の文字が一致", "一致する文字がある"})
    cbo_Kind->addItem(QString::fromUtf8(k));
  chk_icmp = new QCheckBox(QStringLiteral("大文字小文字を判断する"), this);
  chk_icmp->setObjectName("chk_icmp");
  chk_WidthFold = new QCheckBox(QStringLiteral("全角・半角を区別しない"), this);
  chk_WidthFold->setObjectName("chk_WidthFold");

  cmd_UpFind = new QPushButton(QStringLiteral("上検索(&U)"), this);
  cmd_UpFind->setObjectName("cmd_UpFind");
  cmd_UpFind->setAutoDefault(false);
  cmd_DownFind = new QPushButton(QStringLiteral("下検索(&D)"), this);
  cmd_DownFind->setObjectName("cmd_DownFind");
  cmd_DownFind->setDefault(true);  // Enter searches on downwards
  cmd_Close = new QPushButton(QStringLiteral("閉じる(&C)"), this);
  cmd_Close->setObjectName("cmd_Close");
  cmd_Close->setAutoDefault(false);

  auto* grid = new QGridLayout;
  const struct {
    const char* caption;
    QWidget* box;
  } rows[] = {{"項目名", cbo_Name}, {"検索文字列", txt_Data}, {"検索方法", cbo_Kind}};
  int r = 0;
  for (const auto& row : rows) {
    auto* label = new QLabel(QString::fromUtf8(row.caption), this);
    label->setBuddy(row.box);
    grid->addWidget(label, r, 0);
    grid->addWidget(row.box, r++, 1);
  }
  grid->addWidget(chk_icmp, r++, 1);
  grid->addWidget(chk_WidthFold, r, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmd_UpFind);
  buttons->addWidget(cmd_DownFind);
  buttons->addWidget(cmd_Close);
  auto* top = new QVBoxLayout(this);
  top->addLayout(grid);
  top->addLayout(buttons);

  connect(cbo_Name, &QComboBox::currentTextChanged, this, &TfrmFind::Changed);
  connect(cbo_Name, &QComboBox::editTextChanged, this, &TfrmFind::Changed);
  connect(txt_Data, &QLineEdit::textChanged, this, &TfrmFind::Changed);
  connect(cbo_Kind, &QComboBox::currentIndexChanged, this, &TfrmFind::Changed);
  connect(chk_icmp, &QCheckBox::toggled, this, &TfrmFind::Changed);
  connect(chk_WidthFold, &QCheckBox::toggled, this, &TfrmFind::Changed);
  connect(cmd_DownFind, &QPushButton::clicked, this, &TfrmFind::cmd_DownFindClick);
  connect(cmd_UpFind, &QPushButton::clicked, this, &TfrmFind::cmd_UpFindClick);
  connect(cmd_Close, &QPushButton::clicked, this, &TfrmFind::cmd_CloseClick);

  LoadWidgets();
  RefillNames();
  commands_.changed = true;
}

void TfrmFind::RefillNames() {
  loading_ = true;
  const std::string keep = commands_.query.name;
  cbo_Name->clear();
  for (const std::string& item : commands_.NameItems()) cbo_Name->addItem(FromSj(item));
  // a name the new list no longer has gives way to "（全て）"
  const int at = cbo_Name->findText(FromSj(keep));
  cbo_Name->setCurrentIndex(at >= 0 ? at : 0);
  loading_ = false;
  Changed();
}

void TfrmFind::LoadWidgets() {
  loading_ = true;
  const SearchQuery& q = commands_.query;
  if (!q.name.empty()) cbo_Name->SetTextSj(q.name);
  txt_Data->SetTextSj(q.text);
  cbo_Kind->setCurrentIndex(q.kind);
  chk_icmp->setChecked(q.caseSensitive);
  chk_WidthFold->setChecked(q.foldWidth);
  loading_ = false;
  Changed();
}

void TfrmFind::Changed() {
  if (loading_) return;
  SearchQuery& q = commands_.query;
  q.name = cbo_Name->TextSj();
  q.text = txt_Data->TextSj();
  q.kind = cbo_Kind->currentIndex();
  q.caseSensitive = chk_icmp->isChecked();
  q.foldWidth = chk_WidthFold->isChecked();
  commands_.changed = true;
}

void TfrmFind::FormShow() {
  LoadWidgets();
  commands_.changed = true;
  if (!placed_) PlaceBesideParent();
  show();
  raise();
  activateWindow();
  txt_Data->setFocus();
  txt_Data->selectAll();
}

void TfrmFind::PlaceBesideParent() {
  placed_ = true;
  QWidget* main = parentWidget();
  QScreen* screen = main ? main->screen() : QApplication::primaryScreen();
  if (!main || !screen) return;
  // beside the main window, so that the hits it shows stay in view
  adjustSize();
  const QRect avail = screen->availableGeometry();
  const QRect m = main->frameGeometry();
  const QSize size = frameGeometry().size();
  QPoint at(m.right() + 1, m.top());
  if (at.x() + size.width() > avail.right() + 1) at.setX(m.left() - size.width());
  if (at.x() < avail.left())
    at = QPoint(std::max(avail.left(), m.right() - size.width()), m.bottom() - size.height());
  move(at);
}

void TfrmFind::cmd_DownFindClick() { commands_.RunSearch(1); }
void TfrmFind::cmd_UpFindClick() { commands_.RunSearch(-1); }
void TfrmFind::cmd_CloseClick() { hide(); }
