// jbx print: the main window's printout of a month, page or list page as a
// PDF file, through the window's own printing code, without a display.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/Cli.h"
#include "cli/CliWindow.h"
#include "cli/Commands.h"
#include "cli/OffscreenMain.h"
#include "mainview/printing/QtPrint.h"
#include "mainview/sheet/CMyView.h"
#include "mainview/sheet/SheetPrinter.h"
#include "mainview/window/TfrmMain.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CivilDays.h"

namespace {

int Usage(const std::string& why = {}) { return cli::UsageError("print", why); }

// "A4", "B5" (the Japanese B5) or "A3", hundredths of a millimetre.
bool PaperNamed(const std::string& name, PaperSetup& paper) {
  if (name == "A4" || name == "a4")
    paper.width = 21000, paper.height = 29700;
  else if (name == "B5" || name == "b5")
    paper.width = 18200, paper.height = 25700;
  else if (name == "A3" || name == "a3")
    paper.width = 29700, paper.height = 42000;
  else
    return false;
  return true;
}

// "L,T,R,B" in millimetres (decimals allowed).
bool MarginsOf(const std::string& text, PaperSetup& paper) {
  double m[4];
  char end = 0;
  if (std::sscanf(text.c_str(), "%lf,%lf,%lf,%lf%c", &m[0], &m[1], &m[2], &m[3], &end) != 4) return false;
  for (double v : m)
    if (!(v >= 0 && v <= 10000)) return false;
  paper.left = static_cast<int>(m[0] * 100 + 0.5);
  paper.top = static_cast<int>(m[1] * 100 + 0.5);
  paper.right = static_cast<int>(m[2] * 100 + 0.5);
  paper.bottom = static_cast<int>(m[3] * 100 + 0.5);
  return true;
}

// "title,page,date" in any order, or "none".
bool HeadOf(const std::string& text, bool& title, bool& page, bool& now) {
  title = page = now = false;
  if (text == "none") return true;
  size_t at = 0;
  while (at <= text.size()) {
    size_t comma = text.find(',', at);
    if (comma == std::string::npos) comma = text.size();
    const std::string word = text.substr(at, comma - at);
    if (word == "title")
      title = true;
    else if (word == "page")
      page = true;
    else if (word == "date")
      now = true;
    else
      return false;
    at = comma + 1;
  }
  return true;
}

bool Number(const char* v, int& out) {
  char* end = nullptr;
  const long n = std::strtol(v, &end, 10);
  if (!end || *end || end == v || n < 0 || n > 1000000) return false;
  out = static_cast<int>(n);
  return true;
}

}  // namespace

int CmdPrint(int argc, char** argv) {
  std::string root, user, out, month, today, division = "0", head;
  int screen = 0, page = 0, listPage = -1, fromRow = 0;
  bool onePage = false, landscape = false;
  PaperSetup paper;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    const char* v = nullptr;
    if (a == "--root" && (v = next())) {
      root = v;
    } else if (a == "--user" && (v = next())) {
      user = v;
    } else if (a == "--division" && (v = next())) {
      division = v;
    } else if (a == "--screen" && (v = next())) {
      if (!Number(v, screen)) return Usage("--screen は 0 以上の数です: " + std::string(v));
    } else if (a == "--month" && (v = next())) {
      month = v;
    } else if (a == "--page" && (v = next())) {
      if (!Number(v, page) || page < 1) return Usage("--page は 1 以上の数です: " + std::string(v));
    } else if (a == "--list-page" && (v = next())) {
      if (!Number(v, listPage)) return Usage("--list-page は 0 以上の数です: " + std::string(v));
    } else if (a == "--from-row" && (v = next())) {
      if (!Number(v, fromRow)) return Usage("--from-row は 0 以上の数です: " + std::string(v));
    } else if (a == "--one-page") {
      onePage = true;
    } else if (a == "--paper" && (v = next())) {
      if (!PaperNamed(v, paper)) return Usage("--paper は A4, B5, A3 のどれかです: " + std::string(v));
    } else if (a == "--landscape") {
      landscape = true;
    } else if (a == "--margins" && (v = next())) {
      if (!MarginsOf(v, paper)) return Usage("--margins は 左,上,右,下 の mm です: " + std::string(v));
    } else if (a == "--head" && (v = next())) {
      head = v;
    } else if (a == "--today" && (v = next())) {
      today = v;
    } else if (a == "--pdf" && (v = next())) {
      out = v;
    } else {
      return Usage(a.compare(0, 2, "--") == 0 ? "知らないオプションか、値がありません: " + a
                                              : "余分な引数です: " + a);
    }
  }
  if (root.empty()) return Usage("--root がありません");
  if (user.empty()) return Usage("--user がありません");
  if (out.empty()) return Usage("--pdf がありません");
  if ((month.empty() ? 0 : 1) + (page > 0 ? 1 : 0) + (listPage >= 0 ? 1 : 0) != 1)
    return Usage("--month, --page, --list-page のどれか 1 つが要ります");
  bool title = false, pageNo = false, now = false;
  if (!head.empty() && !HeadOf(head, title, pageNo, now))
    return Usage("--head は title,page,date の組み合わせか none です: " + head);
  CivilDate todayDate = SystemClock().Today();
  if (!today.empty() && !civil::ParseYmd(today, todayDate))
    return Usage("--today が日付ではありません: " + today);
  int year = 0, mon = 0;
  if (!month.empty() && (std::sscanf(month.c_str(), "%d/%d", &year, &mon) != 2 || mon < 1 || mon > 12))
    return Usage("--month は yyyy/mm です: " + month);
  if (landscape) std::swap(paper.width, paper.height);

  if (!fileops::IsDir(root)) return cli::Fail("print", "データフォルダが見つかりません: " + root);
  const int divisionIndex = cliwindow::DivisionIndex(root, user, division);
  const std::string missing = cliwindow::MissingPart(root, user, std::max(divisionIndex, 0), screen);
  if (!missing.empty()) return cli::Fail("print", missing);
  if (divisionIndex < 0) return cli::Fail("print", "分類がありません: " + division);
  if (const int rc = cliwindow::CheckOutFolder("print", out)) return rc;

  StderrPrompter prompter;
  OffscreenMain main(prompter, todayDate, root, user);
  if (const int rc = main.OpenFor("print", divisionIndex, screen, user)) return rc;
  TfrmMain& w = main.Window();
  main.ShowPart(listPage, page, year, mon);
  // the book opened through its tab handler: its tab is the current division
  PrintHead printHead = PrintHeadOf(w.Objects(), w.CurrentDivision(), main.clock.Today());
  if (!head.empty()) printHead.title = title, printHead.page = pageNo, printHead.now = now;
  SheetPrinter printer = PrinterOf(w.Objects(), prompter);
  const std::string pdf = AbsolutePath(out);
  PdfJob job(pdf, paper, prompter);
  const int pages = printer.PrintRows(job, printHead, fromRow, onePage);
  w.FormClose();
  if (pages <= 0) return cli::Fail("print", "印刷しませんでした: " + out);
  std::printf("%d\n", pages);
  return cli::kSuccess;
}
