#include "mainview/printing/TfrmPageSetup.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "qtkit/QtForm.h"

namespace {

struct PaperSize {
  const char* name;
  int width, height;  // hundredths of a millimetre, portrait
};
constexpr PaperSize kPapers[] = {
    {"A4", 21000, 29700},       {"A3", 29700, 42000},     {"A5", 14800, 21000},    {"B4 (JIS)", 25700, 36400},
    {"B5 (JIS)", 18200, 25700}, {"はがき", 10000, 14800}, {"レター", 21590, 27940}};

QDoubleSpinBox* Margin(QWidget* owner, const char* name, int hundredths) {
  auto* box = new QDoubleSpinBox(owner);
  box->setObjectName(name);
  box->setDecimals(2);
  box->setRange(0, 200);
  box->setSingleStep(1);
  box->setSuffix(QStringLiteral(" mm"));
  box->setValue(hundredths / 100.0);
  return box;
}

int Hundredths(const QDoubleSpinBox* box) { return static_cast<int>(std::lround(box->value() * 100)); }

}  // namespace

TfrmPageSetup::TfrmPageSetup(const PaperSetup& paper, Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
  setObjectName("frmPageSetup");
  setWindowTitle(QStringLiteral("ページ設定"));
  const PaperSetup p = SheetPrinter::Normalised(paper);
  const int shortSide = std::min(p.width, p.height), longSide = std::max(p.width, p.height);
  cbo_Paper = new QComboBox(this);
  cbo_Paper->setObjectName("cbo_Paper");
  int current = -1;
  for (const PaperSize& k : kPapers) {
    if (k.width == shortSide && k.height == longSide) current = cbo_Paper->count();
    cbo_Paper->addItem(QString::fromUtf8(k.name), QSize(k.width, k.height));
  }
  if (current < 0) {
    // a paper of the printer's own: kept as it is
    current = cbo_Paper->count();
    cbo_Paper->addItem(QStringLiteral("%1 x %2 mm").arg(shortSide / 100.0).arg(longSide / 100.0),
                       QSize(shortSide, longSide));
  }
  cbo_Paper->setCurrentIndex(current);
  rdo_Portrait = new QRadioButton(QStringLiteral("縦"), this);
  rdo_Portrait->setObjectName("rdo_Portrait");
  rdo_Landscape = new QRadioButton(QStringLiteral("横"), this);
  rdo_Landscape->setObjectName("rdo_Landscape");
  (p.width > p.height ? rdo_Landscape : rdo_Portrait)->setChecked(true);
  txt_Left = Margin(this, "txt_Left", p.left);
  txt_Top = Margin(this, "txt_Top", p.top);
  txt_Right = Margin(this, "txt_Right", p.right);
  txt_Bottom = Margin(this, "txt_Bottom", p.bottom);
  txt_Left->setAccessibleName(QStringLiteral("余白 左"));
  txt_Top->setAccessibleName(QStringLiteral("余白 上"));
  txt_Right->setAccessibleName(QStringLiteral("余白 右"));
  txt_Bottom->setAccessibleName(QStringLiteral("余白 下"));

  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("用紙"), this), 0, 0);
  grid->addWidget(cbo_Paper, 0, 1, 1, 3);
  auto* direction = new QHBoxLayout;
  direction->addWidget(rdo_Portrait);
  direction->addWidget(rdo_Landscape);
  direction->addStretch(1);
  grid->addWidget(new QLabel(QStringLiteral("向き"), this), 1, 0);
  grid->addLayout(direction, 1, 1, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("余白 左"), this), 2, 0);
  grid->addWidget(txt_Left, 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("右"), this), 2, 2);
  grid->addWidget(txt_Right, 2, 3);
  grid->addWidget(new QLabel(QStringLiteral("上"), this), 3, 0);
  grid->addWidget(txt_Top, 3, 1);
  grid->addWidget(new QLabel(QStringLiteral("下"), this), 3, 2);
  grid->addWidget(txt_Bottom, 3, 3);
  top->addLayout(grid);
  top->addLayout(qtform::OkCancelRow(this, cmd_Ok, cmd_Cancel, QStringLiteral("OK(&O)"),
                                     QStringLiteral("キャンセル(&C)")));
  connect(cmd_Ok, &QPushButton::clicked, this, &TfrmPageSetup::cmd_OkClick);
}

PaperSetup TfrmPageSetup::Paper() const {
  PaperSetup p;
  const QSize size = cbo_Paper->currentData().toSize();
  const bool landscape = rdo_Landscape->isChecked();
  p.width = landscape ? size.height() : size.width();
  p.height = landscape ? size.width() : size.height();
  p.left = Hundredths(txt_Left);
  p.top = Hundredths(txt_Top);
  p.right = Hundredths(txt_Right);
  p.bottom = Hundredths(txt_Bottom);
  return p;
}

void TfrmPageSetup::cmd_OkClick() {
  const PaperSetup p = Paper();
  if (p.left + p.right >= p.width || p.top + p.bottom >= p.height) {
    prompter_.Warn("余白が用紙より大きいため、印刷できる範囲がありません。"_sj);
    txt_Left->setFocus();
    return;
  }
  accept();
}
