#include "extract/TfrmChart.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>

#include "extract/QtChart.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "qtkit/QtText.h"

namespace {

QComboBox* Combo(QWidget* parent, const char* name, const QStringList& items) {
  auto* c = new QComboBox(parent);
  c->setObjectName(QString::fromUtf8(name));
  c->addItems(items);
  return c;
}

}  // namespace

TfrmChart::TfrmChart(ChartModel& model, const ChartModel::Choice& start, FileChooser& files,
                     Prompter& prompter, std::function<QPageLayout()> pageLayout,
                     std::function<QPrinter*()> printer, QWidget* parent)
    : QDialog(parent),
      model_(model),
      files_(files),
      prompter_(prompter),
      pageLayout_(std::move(pageLayout)),
      printer_(std::move(printer)) {
  setObjectName("frmChart");
  setWindowTitle(QStringLiteral("グラフ表示"));
  cbo_Kind = Combo(this, "cbo_Kind", {"棒グラフ", "円グラフ", "ドーナツグラフ", "折れ線グラフ"});
  cbo_Order = Combo(this, "cbo_Order", {"値の大きい順", "キーの順"});
  cbo_By = Combo(this, "cbo_By", {"（なし）", "月ごと", "日ごと"});
  QStringList groups, values;
  for (const std::string& s : model_.GroupChoices()) groups << FromSj(s);
  for (const std::string& s : model_.ValueChoices()) values << FromSj(s);
  cbo_Group = Combo(this, "cbo_Group", groups);
  cbo_Value = Combo(this, "cbo_Value", values);
  cbo_Period = Combo(this, "cbo_Period", {"表示中の月", "表示中の年"});
  const int kind = start.options.kind == chart::Kind::kLine  ? 3
                   : start.options.kind == chart::Kind::kPie ? 1
                                                             : 0;
  cbo_Kind->setCurrentIndex(kind);
  cbo_Order->setCurrentIndex(start.options.byKey ? 1 : 0);
  cbo_By->setCurrentIndex(start.options.by == chart::By::kMonth ? 1
                          : start.options.by == chart::By::kDay ? 2
                                                                : 0);
  cbo_Group->setCurrentIndex(start.groupChoice);
  cbo_Value->setCurrentIndex(start.valueChoice);
  cbo_Period->setCurrentIndex(start.wholeYear ? 1 : 0);
  // the extraction's own keys and aggregates are drawn as they are
  cbo_Group->setEnabled(!model_.GroupConditions());
  cbo_Value->setEnabled(!model_.GroupConditions());
  cbo_Period->setEnabled(!model_.ExtractionShown());

  view_Chart = new QChartView(this);
  view_Chart->setObjectName("view_Chart");
  view_Chart->setRenderHint(QPainter::Antialiasing);
  view_Chart->setMinimumSize(640, 420);
  lbl_Note = new QLabel(this);
  lbl_Note->setObjectName("lbl_Note");
  cmd_Save = new QPushButton(QStringLiteral("ファイルに保存..."), this);
  cmd_Save->setObjectName("cmd_Save");
  cmd_Print = new QPushButton(QStringLiteral("印刷..."), this);
  cmd_Print->setObjectName("cmd_Print");
  cmd_Close = new QPushButton(QStringLiteral("閉じる"), this);
  cmd_Close->setObjectName("cmd_Close");

  auto* choices = new QHBoxLayout;
  auto label = [this, choices](const char* text, QWidget* w) {
    choices->addWidget(new QLabel(QString::fromUtf8(text), this));
    choices->addWidget(w);
  };
  label("種類", cbo_Kind);
  label("並び", cbo_Order);
  label("期間", cbo_By);
  label("グループ", cbo_Group);
  label("集計", cbo_Value);
  label("範囲", cbo_Period);
  choices->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(lbl_Note, 1);
  buttons->addWidget(cmd_Save);
  buttons->addWidget(cmd_Print);
  buttons->addWidget(cmd_Close);
  auto* top = new QVBoxLayout(this);
  top->addLayout(choices);
  top->addWidget(view_Chart, 1);
  top->addLayout(buttons);

  for (QComboBox* c : {cbo_Kind, cbo_Order, cbo_By, cbo_Group, cbo_Value, cbo_Period})
    connect(c, &QComboBox::currentIndexChanged, this, [this] { Redraw(); });
  connect(cmd_Save, &QPushButton::clicked, this, &TfrmChart::cmd_SaveClick);
  connect(cmd_Print, &QPushButton::clicked, this, &TfrmChart::cmd_PrintClick);
  connect(cmd_Close, &QPushButton::clicked, this, &QDialog::reject);
  Redraw();
}

TfrmChart::~TfrmChart() = default;

bool TfrmChart::Doughnut() const { return cbo_Kind->currentIndex() == 2; }

ChartModel::Choice TfrmChart::ChoiceFromControls() const {
  ChartModel::Choice c;
  const int kind = cbo_Kind->currentIndex();
  c.options.kind = kind == 3 ? chart::Kind::kLine : kind >= 1 ? chart::Kind::kPie : chart::Kind::kBar;
  c.options.byKey = cbo_Order->currentIndex() == 1;
  const int by = cbo_By->currentIndex();
  c.options.by = by == 1 ? chart::By::kMonth : by == 2 ? chart::By::kDay : chart::By::kNone;
  // a line runs over time: by month unless days were asked for
  if (c.options.kind == chart::Kind::kLine && c.options.by == chart::By::kNone)
    c.options.by = chart::By::kMonth;
  c.groupChoice = cbo_Group->currentIndex();
  c.valueChoice = cbo_Value->currentIndex();
  c.wholeYear = cbo_Period->currentIndex() == 1;
  // months are the months of a year
  if (c.options.by == chart::By::kMonth && !model_.ExtractionShown()) c.wholeYear = true;
  return c;
}

void TfrmChart::Redraw() {
  const int rc = model_.Make(ChoiceFromControls());
  shown_ = rc == 0;
  cmd_Save->setEnabled(shown_);
  cmd_Print->setEnabled(shown_);
  cbo_Order->setEnabled(cbo_Kind->currentIndex() == 0);
  QChart* old = view_Chart->chart();
  if (!shown_) {
    auto* empty = new QChart;
    empty->setTitle(FromSj(model_.Message()));
    view_Chart->setChart(empty);
    lbl_Note->setText(FromSj(model_.Message()));
  } else {
    QChart* c = qtchart::Make(model_.Chart(), Doughnut());
    qtchart::Connect(
        *c, model_.Chart(),
        [this](const chart::Point* p) {
          // the chart keeps the text too: when the mouse rests, the view asks
          // the items under it for theirs and would hide a tooltip none has
          const QString tip = p ? FromSj(chart::TipText(model_.Chart(), *p)) : QString();
          view_Chart->setToolTip(tip);
          if (view_Chart->chart()) view_Chart->chart()->setToolTip(tip);
          if (p)
            QToolTip::showText(QCursor::pos(), tip, view_Chart);
          else
            QToolTip::hideText();
        },
        [this](const chart::Point& p) { PointClicked(p); });
    view_Chart->setChart(c);
    lbl_Note->setText(FromSj(model_.Chart().note));
  }
  delete old;  // the view leaves a replaced chart to its owner
}

void TfrmChart::PointClicked(const chart::Point& point) {
  if (model_.Narrow(point)) accept();
}

void TfrmChart::cmd_SaveClick() {
  FileChoice choice;
  choice.save = true;
  choice.title = "ファイルに保存"_sj;
  choice.filter = "PNG 画像 (*.png);;SVG 画像 (*.svg);;PDF (*.pdf)"_sj;
  choice.suggested = "chart.png";
  const std::string path = files_.Choose(choice);
  if (path.empty()) return;
  const QSize size = view_Chart->size().isValid() ? view_Chart->size() : QSize(800, 500);
  if (!qtchart::Save(model_.Chart(), Doughnut(), size, pageLayout_(), path))
    prompter_.Warn("ファイルに保存できませんでした。"_sj + "\r\n"_sj + cp932::FromUtf8(path));
}

void TfrmChart::cmd_PrintClick() {
  QPrinter* printer = printer_ ? printer_() : nullptr;
  if (!printer) return;
  QPainter p;
  if (!p.begin(printer)) {
    prompter_.Warn("印刷を開始できませんでした。"_sj);
    return;
  }
  const QRect page = printer->pageLayout().paintRectPixels(printer->resolution());
  const double scale = printer->resolution() / 96.0;
  p.scale(scale, scale);
  qtchart::Paint(model_.Chart(), Doughnut(), p,
                 QRectF(0, 0, page.width() / scale, std::min(page.height(), page.width() * 3 / 4) / scale));
  p.end();
}
