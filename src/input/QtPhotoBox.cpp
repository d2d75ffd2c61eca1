#include "input/QtPhotoBox.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

#include "input/PhotoState.h"
#include "qtkit/QtCanvas.h"

QtPhotoBox::QtPhotoBox(PhotoState& photo, QWidget* parent) : QFrame(parent), photo_(photo) {
  setObjectName("pai_Phot");
  setFrameShape(QFrame::Box);
  setStyleSheet(QStringLiteral("QtPhotoBox { background: #f4f4f4; color: #808080; }"));
}

void QtPhotoBox::paintEvent(QPaintEvent* e) {
  QFrame::paintEvent(e);
  QPainter p(this);
  const QRect inner = contentsRect();
  if (photo_.Bitmap().Width() == 0) {
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawText(inner, Qt::AlignCenter, QStringLiteral("写真"));
    return;
  }
  p.translate(inner.topLeft());
  QtCanvas c(p);
  photo_.Paint(c, inner.width(), inner.height());
}

void QtPhotoBox::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) emit doubleClicked();
}

void QtPhotoBox::contextMenuEvent(QContextMenuEvent* e) { emit menuRequested(e->globalPos()); }
