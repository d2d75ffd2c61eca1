// Writes the program's icon for the desktop's icon theme:
//   icongen OUT_DIR NAME  ->  OUT_DIR/<n>x<n>/apps/NAME.png for every size
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "qtkit/DayLeaf.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: icongen OUT_DIR NAME\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString dir = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/%1x%1/apps").arg(size);
    if (!QDir().mkpath(dir) ||
        !DrawDayLeaf(0, size).save(dir + "/" + QString::fromLocal8Bit(argv[2]) + ".png", "PNG")) {
      std::fprintf(stderr, "icongen: cannot write %s\n", qPrintable(dir));
      return 1;
    }
  }
  return 0;
}
