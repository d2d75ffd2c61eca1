// jotbox: the notebook program.
#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <cstdio>
#include <cstring>
#include <memory>

#include "mainview/window/TfrmMain.h"
#include "platform/Clock.h"
#include "platform/SingleInstance.h"
#include "platform/SystemPaths.h"
#include "qtkit/DayLeaf.h"
#include "qtkit/QtPrompter.h"

int main(int argc, char** argv) {
  // answered before any window or display is needed (scripts, packaging checks)
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("jotbox %s\n", JBX_VERSION);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf(
          "使い方: jotbox [-c] [--help] [--version]\n\n"
          "ひとこと帳: 日付またはページと行で書きためる手帳。\n\n"
          "  -c          タスクトレイから閉じたときは、トレイに入ったまま起動する\n"
          "  --help      この説明を出して終わる\n"
          "  --version   版を出して終わる\n\n"
          "データの置き場所: jotbox.ini がプログラムと同じフォルダにあればそこ、\n"
          "なければ $XDG_DATA_HOME/oakden/jotbox（既定 ~/.local/share/oakden/jotbox）。\n"
          "ウィンドウを開かずに扱うには jbx（jbx --help）。\n");
      return 0;
    }
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ひとこと帳"));
  // no display name: Qt would append it to every caption ("注意 — ひとこと帳")
  QFont font(QStringLiteral("IPAPGothic"));
  font.setPointSize(10);
  QApplication::setFont(font);
  // every window carries the program's leaf, the first-run dialogs too; the
  // desktop file name lets a task bar match the windows to the menu entry
  QApplication::setWindowIcon(DayIcon(0));
  QGuiApplication::setDesktopFileName(QStringLiteral(JBX_APP_ID));

  // Standard dialogs and buttons in Japanese, as the users expect.
  QTranslator qtJa;
  if (qtJa.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtJa);

  SingleInstance instance("JotBox");
  if (!instance.Acquire()) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("ひとこと帳"),
                    QStringLiteral("「ひとこと帳」は既に起動されています"), QMessageBox::Ok);
    box.exec();
    return 1;
  }

  QtPrompter prompter;
  QtBeeper beeper;
  SystemClock clock;
  MainEnvironment env;
  env.prompter = &prompter;
  env.beeper = &beeper;
  env.clock = &clock;
  env.programFolder = syspaths::ProgramFolder();
  env.arguments = QApplication::arguments().mid(1);
  TfrmMain w(env);
  w.FormCreate();
  // "-c" after a close from the tray starts in the tray, when there is one;
  // without a tray host the window always shows
  w.ShowAtStart();
  app.exec();
  return 0;
}
