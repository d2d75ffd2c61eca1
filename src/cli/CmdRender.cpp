// jbx render: the main window's sheet as a PNG, through the window's own
// code, without a display.
#include <QImage>
#include <QTabBar>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "catalogue/CMyMaster.h"
#include "cli/Cli.h"
#include "cli/CliWindow.h"
#include "cli/Commands.h"
#include "cli/OffscreenMain.h"
#include "mainview/sheet/CMyView.h"
#include "mainview/window/TfrmMain.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CivilDays.h"

namespace {

int Usage(const std::string& why = {}) { return cli::UsageError("render", why); }

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
      return Usage(a.compare(0, 2, "--") == 0 ? "知らないオプションか、値がありません: " + a
                                              : "余分な引数です: " + a);
  }
  if (root.empty()) return Usage("--root がありません");
  if (user.empty()) return Usage("--user がありません");
  if (out.empty()) return Usage("--out がありません");
  if (width < 50 || height < 50 || width > 8000 || height > 8000)
    return Usage("--width と --height は 50 から 8000 です");
  CivilDate todayDate = SystemClock().Today();
  if (!today.empty() && !civil::ParseYmd(today, todayDate))
    return Usage("--today が日付ではありません: " + today);
  int year = 0, mon = 0;
  if (!month.empty() && (std::sscanf(month.c_str(), "%d/%d", &year, &mon) != 2 || mon < 1 || mon > 12))
    return Usage("--month は yyyy/mm です: " + month);
  const std::string missing = cliwindow::MissingPart(root, user, division, screen);
  if (!missing.empty()) return cli::Fail("render", missing);
  if (const int rc = cliwindow::CheckOutFolder("render", out)) return rc;

  StderrPrompter prompter;
  OffscreenMain main(prompter, todayDate, root, user, height);
  if (const int rc = main.OpenFor("render", division, screen, user)) return rc;
  TfrmMain& w = main.Window();
  CMyView& view = *w.View();
  main.ShowPart(listPage, page, year, mon);
  // the cursor goes to today's row when it is shown, as at start-up
  for (int r = 0; r < view.RowCount(); ++r) {
    if (view.Rows()[static_cast<size_t>(r)].today) {
      view.LayoutFromTop(0);
      view.MoveCursorTo(r);
      break;
    }
  }
  QImage img = w.RenderSheetImage(width, height);
  if (!cli::SavePng(img, out)) return cli::Fail("render", "書込に失敗しました: " + out);
  w.FormClose();
  return cli::kSuccess;
}
