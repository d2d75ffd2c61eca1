#include "extract/QtChart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPieSeries>
#include <QPieSlice>
#include <QStackedBarSeries>
#include <QSvgGenerator>
#include <QValueAxis>
#include <cmath>

#include "platform/FileOps.h"
#include "qtkit/PngWrite.h"
#include "qtkit/QtText.h"

namespace qtchart {

namespace {

QColor ColorOf(int bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

QColor PaletteColor(size_t i) { return ColorOf(chart::Palette()[i % chart::Palette().size()]); }

QFont Font(int points, bool bold = false) {
  QFont f(QStringLiteral("IPAPGothic"));
  f.setPointSize(points);
  f.setBold(bold);
  return f;
}

QValueAxis* ValueAxis(const chart::Chart& data) {
  double lo = 0, hi = 0;
  for (const auto& s : data.series)
    for (const auto& p : s.points) {
      if (std::isnan(p.value)) continue;
      lo = std::min(lo, p.value);
      hi = std::max(hi, p.value);
    }
  if (hi == lo) hi = lo + 1;
  auto* axis = new QValueAxis;
  axis->setRange(lo, hi);
  axis->applyNiceNumbers();
  axis->setLabelFormat(QStringLiteral("%.0f"));
  axis->setTitleText(FromSj(data.valueCaption));
  axis->setTitleFont(Font(9));
  axis->setLabelsFont(Font(8));
  return axis;
}

QBarCategoryAxis* CategoryAxis(const QStringList& labels, const std::string& caption) {
  auto* axis = new QBarCategoryAxis;
  axis->append(labels);
  axis->setTitleText(FromSj(caption));
  axis->setTitleFont(Font(9));
  axis->setLabelsFont(Font(8));
  // short Japanese keys fit side by side; many or long ones are turned
  if (labels.size() > 12) axis->setLabelsAngle(-60);
  return axis;
}

}  // namespace

QChart* Make(const chart::Chart& data, bool doughnut) {
  auto* c = new QChart;
  c->setAnimationOptions(QChart::NoAnimation);
  c->setTitle(FromSj(data.title));
  c->setTitleFont(Font(12, true));
  c->legend()->setFont(Font(9));
  c->setBackgroundRoundness(0);
  if (data.series.empty()) return c;

  if (data.kind == chart::Kind::kPie) {
    auto* pie = new QPieSeries;
    const auto& points = data.series.front().points;
    double total = 0;
    for (const auto& p : points) total += p.value;
    for (size_t i = 0; i < points.size(); ++i) {
      const auto& p = points[i];
      QPieSlice* slice = pie->append(
          FromSj(p.label) + QStringLiteral(" ") + QString::fromStdString(chart::Percent(p.value, total)),
          p.value);
      slice->setColor(p.color >= 0 ? ColorOf(p.color) : PaletteColor(i));
      slice->setBorderColor(Qt::white);
      slice->setLabelFont(Font(9));
      slice->setLabelVisible(true);
    }
    pie->setPieSize(0.62);
    if (doughnut) pie->setHoleSize(0.3);
    c->addSeries(pie);
    c->legend()->setAlignment(Qt::AlignRight);
    return c;
  }

  if (data.kind == chart::Kind::kBar) {
    const auto& points = data.series.front().points;
    QStringList labels;
    bool colored = false;
    for (size_t i = 0; i < points.size(); ++i) {
      labels << FromSj(i < data.axisLabels.size() ? data.axisLabels[i] : points[i].label);
      colored = colored || points[i].color >= 0;
    }
    QAbstractBarSeries* series = nullptr;
    if (colored) {
      // a set per bar, empty elsewhere, so each bar has its colour kind's colour
      auto* stacked = new QStackedBarSeries;
      for (size_t i = 0; i < points.size(); ++i) {
        auto* set = new QBarSet(FromSj(points[i].label));
        for (size_t j = 0; j < points.size(); ++j) *set << (i == j ? points[i].value : 0.0);
        set->setColor(points[i].color >= 0 ? ColorOf(points[i].color) : PaletteColor(i));
        set->setBorderColor(Qt::darkGray);
        stacked->append(set);
      }
      series = stacked;
    } else {
      auto* bars = new QBarSeries;
      auto* set = new QBarSet(FromSj(data.series.front().name));
      for (const auto& p : points) *set << p.value;
      set->setColor(PaletteColor(0));
      bars->append(set);
      series = bars;
      c->legend()->hide();
    }
    c->addSeries(series);
    QBarCategoryAxis* x = CategoryAxis(labels, data.categoryCaption);
    QValueAxis* y = ValueAxis(data);
    c->addAxis(x, Qt::AlignBottom);
    c->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    return c;
  }

  QStringList labels;
  for (const auto& k : data.axisLabels.empty() ? data.categories : data.axisLabels) labels << FromSj(k);
  QBarCategoryAxis* x = CategoryAxis(labels, {});
  QValueAxis* y = ValueAxis(data);
  c->addAxis(x, Qt::AlignBottom);
  c->addAxis(y, Qt::AlignLeft);
  for (size_t i = 0; i < data.series.size(); ++i) {
    const auto& s = data.series[i];
    auto* line = new QLineSeries;
    line->setName(FromSj(s.name));
    for (size_t k = 0; k < s.points.size(); ++k)
      if (!std::isnan(s.points[k].value)) line->append(static_cast<double>(k), s.points[k].value);
    QPen pen(s.color >= 0 ? ColorOf(s.color) : PaletteColor(i));
    pen.setWidth(2);
    // dashes tell the lines apart on grey paper too
    if (i % 2 == 1) pen.setStyle(Qt::DashLine);
    line->setPen(pen);
    line->setPointsVisible(true);
    c->addSeries(line);
    line->attachAxis(x);
    line->attachAxis(y);
  }
  c->legend()->setAlignment(Qt::AlignBottom);
  return c;
}

void Connect(QChart& c, const chart::Chart& data, std::function<void(const chart::Point*)> hover,
             std::function<void(const chart::Point&)> click) {
  const chart::Chart* d = &data;
  for (QAbstractSeries* s : c.series()) {
    if (auto* pie = qobject_cast<QPieSeries*>(s)) {
      const auto slices = pie->slices();
      for (qsizetype i = 0; i < slices.size(); ++i) {
        const chart::Point* p = &d->series.front().points[static_cast<size_t>(i)];
        // (no exploding: a slice that moves under the mouse leaves it at once)
        QObject::connect(slices[i], &QPieSlice::hovered, slices[i],
                         [=](bool on) { hover(on ? p : nullptr); });
        QObject::connect(slices[i], &QPieSlice::clicked, slices[i], [=] { click(*p); });
      }
    } else if (auto* bars = qobject_cast<QAbstractBarSeries*>(s)) {
      const auto sets = bars->barSets();
      for (QBarSet* set : sets) {
        QObject::connect(set, &QBarSet::hovered, set, [=](bool on, int index) {
          hover(on && index >= 0 && static_cast<size_t>(index) < d->series.front().points.size()
                    ? &d->series.front().points[static_cast<size_t>(index)]
                    : nullptr);
        });
        QObject::connect(set, &QBarSet::clicked, set, [=](int index) {
          if (index >= 0 && static_cast<size_t>(index) < d->series.front().points.size())
            click(d->series.front().points[static_cast<size_t>(index)]);
        });
      }
    }
  }
  const auto all = c.series();
  size_t lineNo = 0;
  for (QAbstractSeries* s : all) {
    auto* line = qobject_cast<QLineSeries*>(s);
    if (!line || lineNo >= d->series.size()) continue;
    const chart::Series* series = &d->series[lineNo++];
    auto at = [series](const QPointF& pt) -> const chart::Point* {
      const long k = std::lround(pt.x());
      return k >= 0 && static_cast<size_t>(k) < series->points.size()
                 ? &series->points[static_cast<size_t>(k)]
                 : nullptr;
    };
    QObject::connect(line, &QLineSeries::hovered, line,
                     [=](const QPointF& pt, bool on) { hover(on ? at(pt) : nullptr); });
    QObject::connect(line, &QLineSeries::clicked, line, [=](const QPointF& pt) {
      if (const chart::Point* p = at(pt)) click(*p);
    });
  }
}

void Paint(const chart::Chart& data, bool doughnut, QPainter& painter, const QRectF& target) {
  QGraphicsScene scene;
  QChart* c = Make(data, doughnut);
  scene.addItem(c);  // the scene owns it
  c->setGeometry(QRectF(QPointF(0, 0), target.size()));
  c->layout()->activate();
  scene.setSceneRect(c->geometry());
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  scene.render(&painter, target, scene.sceneRect());
}

bool PngBytes(const chart::Chart& data, bool doughnut, QSize size, std::string& out) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    Paint(data, doughnut, p, QRectF(QPointF(0, 0), QSizeF(size)));
  }
  return png::Encode(img, out);
}

bool SvgBytes(const chart::Chart& data, bool doughnut, QSize size, std::string& out) {
  QBuffer buffer;
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setTitle(FromSj(data.title));
  {
    QPainter p;
    if (!p.begin(&svg)) return false;
    Paint(data, doughnut, p, QRectF(QPointF(0, 0), QSizeF(size)));
    if (!p.end()) return false;
  }
  out.assign(buffer.data().constData(), static_cast<size_t>(buffer.data().size()));
  return !out.empty();
}

bool PdfBytes(const chart::Chart& data, bool doughnut, const QPageLayout& layout, std::string& out) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setResolution(300);
    pdf.setPageLayout(layout);
    pdf.setTitle(FromSj(data.title));
    QPainter p;
    if (!p.begin(&pdf)) return false;
    // the chart keeps its screen proportions inside the margins
    const QRect page = layout.paintRectPixels(pdf.resolution());
    const double scale = pdf.resolution() / 96.0;
    p.scale(scale, scale);
    Paint(data, doughnut, p,
          QRectF(0, 0, page.width() / scale, std::min(page.height(), page.width() * 3 / 4) / scale));
    if (!p.end()) return false;
  }
  out.assign(buffer.data().constData(), static_cast<size_t>(buffer.data().size()));
  return !out.empty();
}

bool Save(const chart::Chart& data, bool doughnut, QSize size, const QPageLayout& layout,
          const std::string& path) {
  const QString lower = QString::fromStdString(path).toLower();
  std::string bytes;
  bool ok = false;
  if (lower.endsWith(QStringLiteral(".png")))
    ok = PngBytes(data, doughnut, size, bytes);
  else if (lower.endsWith(QStringLiteral(".svg")))
    ok = SvgBytes(data, doughnut, size, bytes);
  else if (lower.endsWith(QStringLiteral(".pdf")))
    ok = PdfBytes(data, doughnut, layout, bytes);
  return ok && fileops::WriteAtomic(path, bytes);
}

}  // namespace qtchart
