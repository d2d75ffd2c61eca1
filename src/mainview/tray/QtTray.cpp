#include "mainview/tray/QtTray.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSystemTrayIcon>
#include <QTimer>
#include <array>

#include "qtkit/DayLeaf.h"
#include "qtkit/QtText.h"

QtTray::QtTray(QMainWindow& window, QMenu* popup, QAction* fileItem, QAction* viewItem,
               std::function<void()> activated)
    : QObject(&window),
      window_(window),
      popup_(popup),
      fileItem_(fileItem),
      viewItem_(viewItem),
      activated_(std::move(activated)) {}

QtTray::~QtTray() = default;

bool QtTray::Available() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

QIcon QtTray::DayPicture(int day) {
  static std::array<QIcon, 31> days;  // im31: drawn once, when first shown
  if (day < 1 || day > 31) day = 1;
  QIcon& icon = days[static_cast<size_t>(day - 1)];
  if (icon.isNull()) icon = DayIcon(day);
  return icon;
}

QIcon QtTray::AlarmPicture(int frame) {
  static std::array<QIcon, 3> frames;  // imAlarm
  if (frame < 0 || frame > 2) frame = 0;
  QIcon& icon = frames[static_cast<size_t>(frame)];
  if (!icon.isNull()) return icon;
  for (int size : {16, 22, 32, 48, 64}) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // a round ground: calm yellow at rest, red while it rings
    p.setPen(Qt::NoPen);
    p.setBrush(frame == 0 ? QColor(0xff, 0xd5, 0x4f) : QColor(0xd3, 0x2f, 0x2f));
    p.drawEllipse(QRectF(0.5, 0.5, s - 1, s - 1));
    p.translate(s / 2, s * 0.16);
    p.rotate(frame == 1 ? -22 : frame == 2 ? 22 : 0);
    QPainterPath bell;
    bell.moveTo(-s * 0.06, 0);
    bell.cubicTo(-s * 0.26, s * 0.04, -s * 0.22, s * 0.38, -s * 0.32, s * 0.58);
    bell.lineTo(s * 0.32, s * 0.58);
    bell.cubicTo(s * 0.22, s * 0.38, s * 0.26, s * 0.04, s * 0.06, 0);
    bell.closeSubpath();
    p.setPen(QPen(QColor(0x5d, 0x40, 0x37), std::max(1.0, s / 24)));
    p.setBrush(frame == 0 ? QColor(0xb8, 0x86, 0x0b) : QColor(0xff, 0xeb, 0x3b));
    p.drawPath(bell);
    p.setBrush(QColor(0x5d, 0x40, 0x37));
    p.drawEllipse(QPointF(0, s * 0.64), s * 0.07, s * 0.07);
    p.resetTransform();
    if (frame != 0) {
      // the ringing: two short arcs on the side the bell swings away from
      p.setPen(QPen(Qt::white, std::max(1.0, s / 16), Qt::SolidLine, Qt::RoundCap));
      p.setBrush(Qt::NoBrush);
      const bool right = frame == 1;
      for (int k = 0; k < 2; ++k) {
        const qreal r = s * (0.16 + 0.12 * k);
        const QRectF arc(s * (right ? 0.72 : 0.28) - r, s * 0.4 - r, 2 * r, 2 * r);
        p.drawArc(arc, (right ? -40 : 140) * 16, 80 * 16);
      }
    }
    icon.addPixmap(pm);
  }
  return icon;
}

void QtTray::AddIcon(int day, const std::string& tip) {
  day_ = day;
  icon_ = std::make_unique<QSystemTrayIcon>(DayPicture(day));
  icon_->setObjectName("TrayIcon");
  icon_->setToolTip(FromSj(tip));
  icon_->setContextMenu(popup_);
  connect(icon_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    if ((why == QSystemTrayIcon::DoubleClick || why == QSystemTrayIcon::Trigger) && activated_) activated_();
  });
  icon_->show();
  // a hidden window and a closed message box must not end the program
  QApplication::setQuitOnLastWindowClosed(false);
}

void QtTray::ShowFrame(int frame) {
  if (icon_) icon_->setIcon(frame < 0 ? DayPicture(day_) : AlarmPicture(frame));
}

void QtTray::RemoveIcon() {
  if (icon_) icon_->hide();
  icon_.reset();
  QApplication::setQuitOnLastWindowClosed(true);
}

void QtTray::ShowWindow() {
  // a maximised window comes back maximised; only "minimised" is undone
  window_.setWindowState(window_.windowState() & ~Qt::WindowMinimized);
  window_.show();
  window_.raise();
  window_.activateWindow();
  // the keys go to the sheet, as after any click on it
  if (QWidget* keys = window_.findChild<QWidget*>("scr_Key")) keys->setFocus(Qt::ActiveWindowFocusReason);
  // the tray's menu still holds the keyboard while its item runs: once it
  // has gone, the window asks for the keyboard again
  QTimer::singleShot(0, &window_, [w = &window_] {
    if (!w->isVisible()) return;
    w->raise();
    w->activateWindow();
  });
}

void QtTray::HideWindow() { window_.hide(); }

void QtTray::Captions(bool inTray, bool windowShown) {
  if (fileItem_)
    fileItem_->setText(inTray ? QStringLiteral("タスクから出す") : QStringLiteral("タスクに入れる"));
  if (viewItem_) viewItem_->setText(windowShown ? QStringLiteral("非表示") : QStringLiteral("表示"));
}
