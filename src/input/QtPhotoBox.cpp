#include "input/QtPhotoBox.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "input/PhotoState.h"
#include "qtkit/QtCanvas.h"
#include "qtkit/QtText.h"

QtPhotoBox::QtPhotoBox(PhotoState& photo, QWidget* parent) : QFrame(parent), photo_(photo) {
  setObjectName("pai_Phot");
  setFrameShape(QFrame::Box);
  setStyleSheet(QStringLiteral("QtPhotoBox { background: #f4f4f4; color: #808080; }"));
  setFocusPolicy(Qt::StrongFocus);
  Refresh();
}

void QtPhotoBox::Refresh() {
  const QString path = FromSj(photo_.Path());
  setToolTip(path);
  // old records keep the other platform's separator
  const QString file =
      path.mid(std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1);
  setAccessibleName(path.isEmpty() ? QStringLiteral("写真なし") : QStringLiteral("写真: ") + file);
  update();
}

void QtPhotoBox::paintEvent(QPaintEvent* e) {
  QFrame::paintEvent(e);
  QPainter p(this);
  const QRect inner = contentsRect();
  if (photo_.Bitmap().Width() == 0) {
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawText(inner, Qt::AlignCenter, QStringLiteral("写真"));
  } else {
    p.save();
    p.translate(inner.topLeft());
    QtCanvas c(p);
    photo_.Paint(c, inner.width(), inner.height());
    p.restore();
  }
  if (hasFocus()) {
    p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    p.drawRect(inner.adjusted(1, 1, -2, -2));
  }
}

void QtPhotoBox::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) emit doubleClicked();
}

void QtPhotoBox::contextMenuEvent(QContextMenuEvent* e) {
  // from the keyboard the menu opens over the box, not where the mouse is
  emit menuRequested(e->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(rect().center())
                                                                : e->globalPos());
}

void QtPhotoBox::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      emit doubleClicked();
      return;
    default:
      QFrame::keyPressEvent(e);
  }
}
