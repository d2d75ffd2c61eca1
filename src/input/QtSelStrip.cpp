#include "input/QtSelStrip.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

#include "platform/Cp932.h"
#include "qtkit/QtCanvas.h"
#include "qtkit/QtText.h"

namespace {

// Rows are 12 pixels apart; an 11-pixel gothic leaves the descenders inside.
LogFont StripFont() {
  LogFont f;
  f.height = -11;
  f.weight = 400;
  f.faceName = cp932::FromUtf8("ＭＳ ゴシック");
  return f;
}

QToolButton* PagingButton(QWidget* owner, Qt::ArrowType arrow, const char* name) {
  auto* b = new QToolButton(owner);
  b->setObjectName(name);
  b->setArrowType(arrow);
  b->setFocusPolicy(Qt::NoFocus);
  b->setEnabled(false);
  return b;
}

}  // namespace

QtSelStrip::QtSelStrip(SelStrip& strip, QWidget* parent) : QWidget(parent), strip_(strip) {
  setObjectName("pai_Sel");
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  QWidget* owner = parent ? parent : this;
  cmd_SelUp = PagingButton(owner, Qt::UpArrow, "cmd_SelUp");
  cmd_SelDown = PagingButton(owner, Qt::DownArrow, "cmd_SelDown");
  connect(cmd_SelUp, &QToolButton::clicked, this, &QtSelStrip::cmd_SelUpClick);
  connect(cmd_SelDown, &QToolButton::clicked, this, &QtSelStrip::cmd_SelDownClick);
  Changed();
}

void QtSelStrip::FitSize() {
  // a hidden widget gets its resize event only when shown; the strip's page
  // must follow the geometry the form gave it before that
  strip_.SetSize(width(), height());
}

void QtSelStrip::Changed() {
  cmd_SelUp->setEnabled(strip_.CanPageUp());
  cmd_SelDown->setEnabled(strip_.CanPageDown());
  update();
  emit pagingChanged(strip_.CanPageUp(), strip_.CanPageDown());
}

void QtSelStrip::ShowList(const CMyHyo* list, int slot, int linkedSlot, const std::string& parent) {
  FitSize();
  strip_.Show(list, slot, linkedSlot, parent);
  Changed();
}

void QtSelStrip::Reload(const std::string& parent) {
  FitSize();
  strip_.Show(strip_.List(), strip_.Slot(), strip_.LinkedSlot(), parent);
  Changed();
}

void QtSelStrip::cmd_SelUpClick() {
  FitSize();
  strip_.PageUp();
  Changed();
}

void QtSelStrip::cmd_SelDownClick() {
  FitSize();
  strip_.PageDown();
  Changed();
}

void QtSelStrip::paiSelMouseMove(int y) {
  FitSize();
  if (strip_.HoverAt(y)) update();
}

void QtSelStrip::paiSelDblClick(int y) {
  FitSize();
  std::string sj;
  if (!strip_.TextAt(y, sj)) return;
  emit rowChosen(FromSj(sj), sj);
}

void QtSelStrip::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QtCanvas canvas(p);
  canvas.SetFont(StripFont());
  strip_.Paint(canvas);
}

void QtSelStrip::resizeEvent(QResizeEvent*) {
  FitSize();
  Changed();
}

void QtSelStrip::mouseMoveEvent(QMouseEvent* e) { paiSelMouseMove(static_cast<int>(e->position().y())); }

void QtSelStrip::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) paiSelDblClick(static_cast<int>(e->position().y()));
}

void QtSelStrip::leaveEvent(QEvent*) { paiSelMouseMove(-1); }
