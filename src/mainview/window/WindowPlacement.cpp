#include "mainview/window/WindowPlacement.h"

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <algorithm>

#include "shell/CMyGlobal.h"

namespace placement {
namespace {
constexpr int kMain = CMyGlobal::kMainWindow;
}  // namespace

void RestoreBounds(QMainWindow& window, const CMyGlobal& g) {
  const int w = g.width[kMain] > 0 ? g.width[kMain] : 462;
  const int h = g.height[kMain] > 0 ? g.height[kMain] : 600;
  window.resize(w, h);
  // The stored position is the frame's (see KeepBounds). A first run, or
  // a window stored on a monitor that is gone, opens inside the screen with
  // its title bar reachable.
  QPoint at(g.left[kMain], g.top[kMain]);
  const bool stored = g.width[kMain] > 0;
  if (QScreen* s = QApplication::primaryScreen()) {
    const QRect avail = s->availableGeometry();
    if (!stored || !avail.intersects(QRect(at, QSize(w, h)))) at = avail.topLeft() + QPoint(40, 40);
  }
  window.move(at);
}

void MoveIntoScreen(QMainWindow& window) {
  QScreen* s = window.screen() ? window.screen() : QApplication::primaryScreen();
  if (!s) return;
  const QRect avail = s->availableGeometry();
  const QRect f = window.frameGeometry();
  if (f.top() < avail.top() || f.left() < avail.left())
    window.move(std::max(f.left(), avail.left()), std::max(f.top(), avail.top()));
}

void KeepBounds(const QMainWindow& window, CMyGlobal& g, bool widthFitted) {
  const QRect r(window.frameGeometry().topLeft(), window.geometry().size());  // where move() puts it back
  if (widthFitted) {
    int stored = g.left[kMain];
    if (r.left() < stored - 100 || r.left() > stored + 50) g.left[kMain] = r.left();
  } else {
    g.width[kMain] = r.width();
    g.left[kMain] = r.left();
  }
  g.top[kMain] = r.top();
  g.height[kMain] = r.height();
}

bool WidthFitToggled(QMainWindow& window, CMyGlobal& g, bool down) {
  if (!down) {
    // x() and y() are the frame's, as move() takes them; setGeometry would
    // take them as the inner area's and walk the window up the screen
    window.resize(g.width[kMain], window.height());
    window.move(g.left[kMain], window.y());
    return false;
  }
  g.left[kMain] = window.x();
  g.width[kMain] = window.width();
  return true;
}

void FitWidth(QMainWindow& window, int need, bool alsoNarrower) {
  if (window.width() >= need && !alsoNarrower) return;
  QScreen* screen = window.screen();
  const int screenW = screen ? screen->availableGeometry().width() : need;
  int left = window.x();
  if (screenW - left - window.width() < left)
    left = window.x() + window.width() - need;  // keep the right edge
  left = std::max(0, std::min(left, screenW - need));
  window.resize(need, window.height());
  window.move(left, window.y());
}

}  // namespace placement
