#include "options/TfrmSetColor.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
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

namespace {
// 0x00BBGGRR <-> Qt
QColor ToQColor(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
uint32_t FromQColor(const QColor& q) {
  return static_cast<uint32_t>(q.red()) | static_cast<uint32_t>(q.green()) << 8 |
         static_cast<uint32_t>(q.blue()) << 16;
}
}  // namespace

TfrmSetColor::TfrmSetColor(CMyColorKinds& kinds, Prompter& prompter, Beeper& beeper, QWidget* parent)
    : QDialog(parent), kinds_(kinds), beeper_(beeper) {
  setObjectName("frmSetColor");
  setWindowTitle(QStringLiteral("色設定"));
  lst_Main = new QListWidget(this);
  lst_Main->setObjectName("lst_Main");
  lst_Main->setAccessibleName(QStringLiteral("色の種類"));
  QFont mono(QStringLiteral("IPAGothic"));
  lst_Main->setFont(mono);
  txt_Name = new SjLineEdit(this);
  txt_Name->SetPrompter(&prompter);
  txt_Name->setObjectName("txt_Name");
  txt_Name->setAccessibleName(QStringLiteral("色名"));
  txt_Name->SetMaxBytes(30);
  pan_Color = new QLabel(QStringLiteral("色 サ ン プ ル"), this);
  pan_Color->setObjectName("pan_Color");
  pan_Color->setAlignment(Qt::AlignCenter);
  pan_Color->setMinimumHeight(34);
  pan_Color->setFrameShape(QFrame::Panel);
  pan_Color->setAutoFillBackground(true);
  cmd_TextColor = new QPushButton(QStringLiteral("ﾃｷｽﾄ色..."), this);
  cmd_TextColor->setObjectName("cmd_TextColor");
  cmd_Color = new QPushButton(QStringLiteral("背景色..."), this);
  cmd_Color->setObjectName("cmd_Color");
  chk_TextColor = new QCheckBox(QStringLiteral("有効"), this);
  chk_TextColor->setObjectName("chk_TextColor");
  chk_BackColor = new QCheckBox(QStringLiteral("有効"), this);
  chk_BackColor->setObjectName("chk_BackColor");
  chk_ShortCut = new QCheckBox(QStringLiteral("ショートカットキー割り当て(F6)"), this);
  chk_ShortCut->setObjectName("chk_ShortCut");
  cbo_CrPalette = new QComboBox(this);
  cbo_CrPalette->setObjectName("cbo_CrPalette");
  cbo_CrPalette->addItems({QStringLiteral("（割り当てなし）"), QStringLiteral("カラーパレット１に割り当て"),
                           QStringLiteral("カラーパレット２に割り当て"),
                           QStringLiteral("カラーパレット３に割り当て")});
  cmd_Insert = new QPushButton(QStringLiteral("追加登録"), this);
  cmd_Insert->setObjectName("cmd_Insert");
  cmd_Update = new QPushButton(QStringLiteral("更  新"), this);
  cmd_Update->setObjectName("cmd_Update");
  cmd_Delete = new QPushButton(QStringLiteral("削  除"), this);
  cmd_Delete->setObjectName("cmd_Delete");
  cmd_Up = new QPushButton(QStringLiteral("▲"), this);
  cmd_Up->setObjectName("cmd_Up");
  cmd_Down = new QPushButton(QStringLiteral("▼"), this);
  cmd_Down->setObjectName("cmd_Down");
  cmd_Close = new QPushButton(QStringLiteral("閉じる(&C)"), this);
  cmd_Close->setObjectName("cmd_Close");
  for (QPushButton* b :
       {cmd_TextColor, cmd_Color, cmd_Insert, cmd_Update, cmd_Delete, cmd_Up, cmd_Down, cmd_Close})
    b->setAutoDefault(false);

  chooseColour = [this](uint32_t& c) {
    QColor q = QColorDialog::getColor(ToQColor(c), this);
    if (!q.isValid()) return false;
    c = FromQColor(q);
    return true;
  };
  connect(lst_Main, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* it) { lst_MainDblClick(it ? lst_Main->row(it) : -1); });
  new qtform::EnterRuns(lst_Main, [this] { lst_MainDblClick(lst_Main->currentRow()); });
  connect(lst_Main, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row != editing_) {
      editing_ = -1;
      cmd_Update->setEnabled(false);
      cmd_Delete->setEnabled(false);
    }
  });
  connect(txt_Name, &QLineEdit::returnPressed, this, [this] { qtform::MoveFocus(cmd_TextColor); });
  connect(cmd_TextColor, &QPushButton::clicked, this, [this] {
    if (chooseColour(text_)) {
      chk_TextColor->setChecked(true);
      ShowSample();
    }
  });
  connect(cmd_Color, &QPushButton::clicked, this, [this] {
    if (chooseColour(back_)) {
      chk_BackColor->setChecked(true);
      ShowSample();
    }
  });
  connect(chk_TextColor, &QCheckBox::toggled, this, [this] { ShowSample(); });
  connect(chk_BackColor, &QCheckBox::toggled, this, [this] { ShowSample(); });
  connect(cmd_Insert, &QPushButton::clicked, this, &TfrmSetColor::cmd_InsertClick);
  connect(cmd_Update, &QPushButton::clicked, this, &TfrmSetColor::cmd_UpdateClick);
  connect(cmd_Delete, &QPushButton::clicked, this, &TfrmSetColor::cmd_DeleteClick);
  connect(cmd_Up, &QPushButton::clicked, this, &TfrmSetColor::cmd_UpClick);
  connect(cmd_Down, &QPushButton::clicked, this, &TfrmSetColor::cmd_DownClick);
  connect(cmd_Close, &QPushButton::clicked, this, &QDialog::accept);

  auto* top = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  left->addWidget(lst_Main, 1);
  auto* order = new QHBoxLayout;
  order->addWidget(cmd_Up);
  order->addWidget(cmd_Down);
  left->addLayout(order);
  top->addLayout(left, 1);
  auto* right = new QGridLayout;
  right->addWidget(new QLabel(QStringLiteral("色名"), this), 0, 0);
  right->addWidget(txt_Name, 0, 1, 1, 2);
  right->addWidget(pan_Color, 1, 0, 1, 3);
  right->addWidget(cmd_TextColor, 2, 1);
  right->addWidget(chk_TextColor, 2, 2);
  right->addWidget(cmd_Color, 3, 1);
  right->addWidget(chk_BackColor, 3, 2);
  right->addWidget(chk_ShortCut, 4, 0, 1, 3);
  right->addWidget(cbo_CrPalette, 5, 0, 1, 3);
  auto* edits = new QHBoxLayout;
  edits->addWidget(cmd_Insert);
  edits->addWidget(cmd_Update);
  edits->addWidget(cmd_Delete);
  right->addLayout(edits, 6, 0, 1, 3);
  right->setRowStretch(7, 1);
  right->addWidget(cmd_Close, 8, 2);
  top->addLayout(right);
  Refresh();
  ClearFields();
  resize(520, 300);
}

void TfrmSetColor::Refresh(int select) {
  lst_Main->blockSignals(true);
  lst_Main->clear();
  for (const std::string& line : kinds_.ListLines()) lst_Main->addItem(FromSj(line));
  lst_Main->setCurrentRow(select);
  lst_Main->blockSignals(false);
}

void TfrmSetColor::ClearFields() {
  editing_ = -1;
  text_ = 0;
  back_ = 0xFFFFFF;
  txt_Name->clear();
  chk_TextColor->setChecked(false);
  chk_BackColor->setChecked(false);
  chk_ShortCut->setChecked(false);
  cbo_CrPalette->setCurrentIndex(0);
  cmd_Update->setEnabled(false);
  cmd_Delete->setEnabled(false);
  ShowSample();
  txt_Name->setFocus();
}

void TfrmSetColor::ShowSample() {
  QPalette pal = pan_Color->palette();
  pal.setColor(QPalette::Window, chk_BackColor->isChecked() ? ToQColor(back_) : QColor(Qt::white));
  pal.setColor(QPalette::WindowText, chk_TextColor->isChecked() ? ToQColor(text_) : QColor(Qt::black));
  pan_Color->setPalette(pal);
}

ColorKind TfrmSetColor::FromFields() const {
  ColorKind k;
  k.name = txt_Name->TextSj();  // the box refused what CP932 cannot hold
  k.useText = chk_TextColor->isChecked();
  k.useBack = chk_BackColor->isChecked();
  k.f6 = chk_ShortCut->isChecked();
  k.palette = cbo_CrPalette->currentIndex();
  k.textColor = static_cast<int>(text_);
  k.backColor = static_cast<int>(back_);
  return k;
}

void TfrmSetColor::lst_MainDblClick(int row) {
  if (row < 0 || row >= kinds_.Count()) {
    beeper_.Beep();
    return;
  }
  ColorKind k = kinds_.Get(row);
  editing_ = row;
  txt_Name->setText(FromSj(k.name));
  text_ = static_cast<uint32_t>(k.textColor);
  back_ = static_cast<uint32_t>(k.backColor);
  chk_TextColor->setChecked(k.useText);
  chk_BackColor->setChecked(k.useBack);
  chk_ShortCut->setChecked(k.f6);
  cbo_CrPalette->setCurrentIndex(k.palette);
  cmd_Update->setEnabled(true);
  cmd_Delete->setEnabled(true);
  ShowSample();
}

void TfrmSetColor::cmd_InsertClick() {
  if (kinds_.Store(-1, FromFields(), false) != 0) return;
  Refresh();
  ClearFields();
}

void TfrmSetColor::cmd_UpdateClick() {
  if (kinds_.Store(editing_, FromFields(), true) != 0) return;
  Refresh();
  ClearFields();
}

void TfrmSetColor::cmd_DeleteClick() {
  if (kinds_.Delete(editing_) != 0) return;
  Refresh();
  ClearFields();
}

void TfrmSetColor::cmd_UpClick() {
  int row = lst_Main->currentRow();
  if (kinds_.MoveUp(row) != 0) return;
  Refresh(row - 1);
  ClearFields();
}

void TfrmSetColor::cmd_DownClick() {
  int row = lst_Main->currentRow();
  if (kinds_.MoveDown(row) != 0) return;
  Refresh(row + 1);
  ClearFields();
}
