// jbxview: the picture of an entry, full size, turned as the entry says.
// Started by the input form and the sheet with the picture's path and an
// orientation code ("DT", "DR", "DB", "DL").
#include <QApplication>
#include <QFont>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>
#include <QWidget>

#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "qtkit/QtPrompter.h"
#include "screens/CMyBitmap.h"
#include "screens/JpegToBitmap.h"
#include "viewer/ViewerState.h"

namespace {

// The decoder's 24-bit rows (bottom row first, BGR) as an image.
QImage ToImage(const CMyBitmap& b) {
  const int w = b.Width(), h = b.Height();
  const auto stride = static_cast<qsizetype>(CMyBitmap::RowBytes(w, 24));
  const uchar* rows = b.Dib().data() + CMyBitmap::kInfoSize;
  QImage img(w, h, QImage::Format_RGB888);
  for (int y = 0; y < h; ++y) {
    const uchar* src = rows + stride * (h - 1 - y);
    uchar* dst = img.scanLine(y);
    for (int x = 0; x < w; ++x) {
      dst[x * 3] = src[x * 3 + 2];
      dst[x * 3 + 1] = src[x * 3 + 1];
      dst[x * 3 + 2] = src[x * 3];
    }
  }
  return img;
}

class ViewerWindow : public QWidget {
 public:
  explicit ViewerWindow(QImage image) : image_(std::move(image)) {
    setObjectName("frmView");
    setFocusPolicy(Qt::StrongFocus);
    setStyleSheet(QStringLiteral("background: #202020;"));
    setAutoFillBackground(true);
  }

 protected:
  void resizeEvent(QResizeEvent*) override {
    if (zoom_.Fitted()) Refit();
  }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0x20, 0x20, 0x20));
    const int w = zoom_.Width(image_.width()), h = zoom_.Height(image_.height());
    const QRect target((width() - w) / 2 + pan_.x(), (height() - h) / 2 + pan_.y(), w, h);
    p.setRenderHint(QPainter::SmoothPixmapTransform, zoom_.Factor() < 1.0);
    p.drawImage(target, image_);
    p.setPen(QColor(0xC0, 0xC0, 0xC0));
    p.drawText(
        rect().adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignBottom,
        QString::asprintf("%d × %d  %d%%   [+] [-] 拡大・縮小  [1] 等倍  [0] 全体  [Esc] 閉じる",
                          image_.width(), image_.height(), static_cast<int>(zoom_.Factor() * 100 + 0.5)));
  }
  void keyPressEvent(QKeyEvent* e) override {
    switch (e->key()) {
      case Qt::Key_Escape:
        close();
        return;
      case Qt::Key_Plus:
      case Qt::Key_Equal:
        zoom_.In();
        break;
      case Qt::Key_Minus:
        zoom_.Out();
        break;
      case Qt::Key_1:
        zoom_.Actual();
        break;
      case Qt::Key_0:
        pan_ = {};
        Refit();
        break;
      default:
        QWidget::keyPressEvent(e);
        return;
    }
    update();
  }
  void wheelEvent(QWheelEvent* e) override {
    if (e->angleDelta().y() > 0) zoom_.In();
    if (e->angleDelta().y() < 0) zoom_.Out();
    update();
  }
  void mousePressEvent(QMouseEvent* e) override { drag_ = e->position().toPoint() - pan_; }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (!(e->buttons() & Qt::LeftButton)) return;
    pan_ = e->position().toPoint() - drag_;
    update();
  }
  void mouseDoubleClickEvent(QMouseEvent*) override { close(); }

 private:
  void Refit() { zoom_.Fit(image_.width(), image_.height(), width(), height() - 20); }

  QImage image_;
  viewer::Zoom zoom_;
  QPoint pan_, drag_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("jbxview"));
  QFont font(QStringLiteral("IPAPGothic"));
  font.setPointSize(10);
  QApplication::setFont(font);
  QtPrompter prompter;
  if (argc < 2 || argv[1][0] == '\0') {
    prompter.Warn("画像が存在しません。"_sj);
    return 1;
  }
  const std::string path = argv[1];
  const int turn = viewer::TurnOf(argc >= 3 ? argv[2] : "DT");
  if (!fileops::IsFile(path)) {
    prompter.Warn("画像ファイルが見つかりません。"_sj);
    return 1;
  }
  CMyBitmap bmp;
  // the whole picture, at its own size (the decoder keeps absurd ones out)
  if (DecodeJpeg(path, 1 << 15, bmp) != 0) {
    prompter.Warn("画像を読み込めませんでした。"_sj);
    return 1;
  }
  if (turn > 0) bmp.Rotate(turn);
  ViewerWindow w(ToImage(bmp));
  w.setWindowTitle(QString::fromStdString(fileops::BaseName(path)) + QStringLiteral(" - 画像の表示"));
  const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
  w.resize(avail.size() * 9 / 10);
  w.move(avail.topLeft() + QPoint(avail.width() / 20, avail.height() / 20));
  w.show();
  return app.exec();
}
