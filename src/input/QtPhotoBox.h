// The input form's photo box (pai_Phot) on screen: paints the photo state's
// bitmap centred in its frame and reports double clicks and the pop-up. It
// takes the focus too: Enter or Space shows the picture, the menu key opens
// the pop-up, and a screen reader hears which picture it holds.
#pragma once
#include <QFrame>

class PhotoState;

class QtPhotoBox : public QFrame {
  Q_OBJECT
 public:
  QtPhotoBox(PhotoState& photo, QWidget* parent = nullptr);
  // The photo state changed: tooltip, name and picture follow it.
  void Refresh();

 signals:
  void doubleClicked();
  void menuRequested(const QPoint& globalPos);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  PhotoState& photo_;
};
