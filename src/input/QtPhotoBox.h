// The input form's photo box (pai_Phot) on screen: paints the photo state's
// bitmap centred in its frame and reports double clicks and the pop-up.
#pragma once
#include <QFrame>

class PhotoState;

class QtPhotoBox : public QFrame {
  Q_OBJECT
 public:
  QtPhotoBox(PhotoState& photo, QWidget* parent = nullptr);

 signals:
  void doubleClicked();
  void menuRequested(const QPoint& globalPos);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  PhotoState& photo_;
};
