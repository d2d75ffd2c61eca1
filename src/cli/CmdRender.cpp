// jbx render: the main window's sheet as a PNG, through the window's own
// code, without a display.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/Commands.h"

#ifdef JBX_HAVE_GUI
#include <QApplication>
#include <QImage>
#include <QTabBar>

#include "mainview/CMyView.h"
#include "mainview/TfrmMain.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "platform/SystemPaths.h"
#include "shell/CivilDays.h"

namespace {
int Usage() {
  std::fprintf(stderr,
               "usage: jbx render --root DIR --user NAME [--division N] [--screen N]\n"
               "                  (--month yyyy/mm | --page N | --list-page N) [--today yyyy/mm/dd]\n"
               "                  [--width PX --height PX] --out FILE.png\n");
  return 2;
}
}  // namespace

int CmdRender(int argc, char** argv) {
  std::string root, user, out, month, today;
  int division = 0, screen = 0, page = 0, listPage = -1, width = 440, height = 560;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    const char* v = nullptr;
    if (a == "--root" && (v = next()))
      root = v;
    else if (a == "--user" && (v = next()))
      user = v;
    else if (a == "--division" && (v = next()))
      division = std::atoi(v);
    else if (a == "--screen" && (v = next()))
      screen = std::atoi(v);
    else if (a == "--month" && (v = next()))
      month = v;
    else if (a == "--page" && (v = next()))
      page = std::atoi(v);
    else if (a == "--list-page" && (v = next()))
      listPage = std::atoi(v);
    else if (a == "--today" && (v = next()))
      today = v;
    else if (a == "--width" && (v = next()))
      width = std::atoi(v);
    else if (a == "--height" && (v = next()))
      height = std::atoi(v);
    else if (a == "--out" && (v = next()))
      out = v;
    else
      return Usage();
  }
  if (root.empty() || user.empty() || out.empty() || width < 50 || height < 50 || width > 8000 ||
      height > 8000)
    return Usage();
  CivilDate todayDate = SystemClock().Today();
  if (!today.empty() && !civil::ParseYmd(today, todayDate)) return Usage();
  int year = 0, mon = 0;
  if (!month.empty() && (std::sscanf(month.c_str(), "%d/%d", &year, &mon) != 2 || mon < 1 || mon > 12))
    return Usage();

  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  int qtArgc = 1;
  char name[] = "jbx";
  char* qtArgv[] = {name, nullptr};
  QApplication app(qtArgc, qtArgv);
  StderrPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock(todayDate);
  MainEnvironment env;
  env.prompter = &prompter;
  env.beeper = &beeper;
  env.clock = &clock;
  env.programFolder = syspaths::ProgramFolder();
  env.dataRoot = root;
  env.user = cp932::FromUtf8(user);
  env.sheetHeight = height;
  TfrmMain w(env);
  w.FormCreate();
  if (!w.Started()) {
    std::fprintf(stderr, "jbx render: no division could be opened for %s\n", user.c_str());
    return 1;
  }
  w.SetSheetHeight(height);
  if (division != 0) w.tab_DivChange(division);
  if (screen != 0) w.tab_ScrChange(screen);
  CMyView& view = *w.View();
  if (listPage >= 0) {
    view.SetDisplayMode(CMyView::kListMode);
    view.ShowListPage(listPage);
  } else if (page > 0) {
    view.ShowPage(page);
  } else if (year > 0) {
    view.ShowMonth(year, mon);
  }
  // the cursor goes to today's row when it is shown, as at start-up
  for (int r = 0; r < view.RowCount(); ++r) {
    if (view.Rows()[static_cast<size_t>(r)].today) {
      view.LayoutFromTop(0);
      view.MoveCursorTo(r);
      break;
    }
  }
  QImage img = w.RenderSheetImage(width, height);
  if (!img.save(QString::fromStdString(out), "PNG")) {
    std::fprintf(stderr, "jbx render: cannot write %s\n", out.c_str());
    return 1;
  }
  w.FormClose();
  return 0;
}
#else
int CmdRender(int, char**) {
  std::fprintf(stderr, "jbx render: built without the window\n");
  return 1;
}
#endif
