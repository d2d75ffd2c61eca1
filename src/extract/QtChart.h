// QtChart: the charts of ChartSeries drawn by Qt Charts, in the chart
// window and into files (PNG, SVG, PDF) and onto paper. Qt Charts paints
// itself with a QPainter, so these pictures are the one drawing of the
// program that does not go through Canvas.
#pragma once
#include <QSize>
#include <functional>
#include <string>

#include "extract/ChartSeries.h"

class QChart;
class QPageLayout;
class QPainter;
class QRectF;

namespace qtchart {

// The chart of `data` in the program's fonts, without animation: bars (one
// set per bar when the groups are colour kinds), a pie (a doughnut with
// `doughnut`) with each slice's share, or lines over the months or days.
// The caller owns it (a chart view or a scene takes it over).
QChart* Make(const chart::Chart& data, bool doughnut);

// Hover and click of every bar, slice and point of `c` (made from `data`,
// which must outlive it): `hover` with the point under the mouse (null when
// it leaves), `click` with the point clicked.
void Connect(QChart& c, const chart::Chart& data, std::function<void(const chart::Point*)> hover,
             std::function<void(const chart::Point&)> click);

// The chart drawn over `target` of a painter (a page, an image, an SVG).
void Paint(const chart::Chart& data, bool doughnut, QPainter& painter, const QRectF& target);

// The chart as a file's bytes: PNG of `size` pixels, SVG of `size` points.
bool PngBytes(const chart::Chart& data, bool doughnut, QSize size, std::string& out);
bool SvgBytes(const chart::Chart& data, bool doughnut, QSize size, std::string& out);
// A PDF page of the sheet's page setup with the chart inside its margins.
bool PdfBytes(const chart::Chart& data, bool doughnut, const QPageLayout& layout, std::string& out);

// Writes the chart to `path` (UTF-8) by its extension (.png, .svg, .pdf)
// through the atomic writer; false when the type is unknown or the write
// failed (the old file stays).
bool Save(const chart::Chart& data, bool doughnut, QSize size, const QPageLayout& layout,
          const std::string& path);

}  // namespace qtchart
