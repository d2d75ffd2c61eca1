// jbx export: a division's records to a CSV file through the export
// dialog's own model.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/CliBook.h"
#include "cli/Commands.h"
#include "exchange/CMyExport.h"
#include "mainview/sheet/CMyView.h"
#include "mainview/sheet/RecordSetPort.h"
#include "mainview/sheet/ShownRows.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "shell/CivilDays.h"

namespace {

// The rows of a month or page need no holidays.
class NoHolidays : public ViewCalendar {
 public:
  void LoadYear(int) override {}
  void ResetCursors() override {}
  void Find(CivilDate, const HolidayEntry*& holiday, const HolidayEntry*& anniversary) override {
    holiday = anniversary = nullptr;
  }
};

// Every period is loaded already; nothing is saved from here.
class LoadedPeriods : public ViewPeriods {
 public:
  int LoadPeriods(const std::string&, const std::string&) override { return 0; }
  void SavePeriod(const std::string&) override {}
};

std::vector<std::string> Split(const std::string& s) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    const size_t comma = s.find(',', start);
    out.push_back(s.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return out;
}

}  // namespace

// A path the shell gave relative to where the command runs; the model would
// take a bare name into the user's folder.
std::string AbsolutePath(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char buf[4096];
  if (!::getcwd(buf, sizeof buf)) return path;
  return std::string(buf) + "/" + path;
}

int CmdExport(int argc, char** argv) {
  cli::Args a(argc, argv);
  std::string root, user, division = "0", columns, view, memoBreak, today;
  a.Value("--root", root);
  a.Value("--user", user);
  a.Value("--division", division);
  const bool hasColumns = a.Value("--columns", columns);
  const bool hasView = a.Value("--view", view);
  const bool hasBreak = a.Value("--memo-break", memoBreak);
  a.Value("--today", today);
  const bool noHeader = a.Flag("--no-header");
  const bool utf8 = a.Flag("--utf8");
  const bool guard = a.Flag("--formula-guard");
  const std::vector<std::string> rest = a.Rest();
  if (!a.Ok()) return cli::UsageError("export", a.Error());
  if (root.empty()) return cli::UsageError("export", "--root がありません");
  if (user.empty()) return cli::UsageError("export", "--user がありません");
  if (rest.size() != 1) return cli::UsageError("export", "書き出すファイルを 1 つ指定してください");
  CivilDate todayDate = SystemClock().Today();
  if (!today.empty() && !civil::ParseYmd(today, todayDate))
    return cli::UsageError("export", "--today が日付ではありません: " + today);

  StderrPrompter prompter;
  CliBook b(prompter, todayDate);
  const std::string missing = b.Open(root, user, division);
  if (!missing.empty()) return cli::Fail("export", missing);
  ExchangeBook book = b.Book();
  CMyExport exporter(book, prompter);

  ExportOptions o;
  o.path = AbsolutePath(rest[0]);
  o.interactive = false;
  o.remember = false;
  o.header = !noHeader;
  o.encoding = utf8 ? CsvEncoding::kUtf8 : CsvEncoding::kShiftJis;
  o.formulaGuard = guard;
  if (hasBreak) {
    o.memoBreak = true;
    if (cp932::FromUtf8(memoBreak, o.memoBreakText) != 0)
      return cli::UsageError("export", "--memo-break に Shift-JIS で書けない文字があります");
  }
  if (hasColumns) {
    for (const std::string& c : Split(columns)) {
      std::string sj;
      if (cp932::FromUtf8(c, sj) != 0)
        return cli::UsageError("export", "--columns に Shift-JIS で書けない文字があります");
      o.columns.push_back(sj);
    }
  } else {
    o.columns = exporter.StandardColumns();
  }

  std::vector<ShownRow> shown;
  if (hasView) {
    if (!b.HasScreen()) return cli::Fail("export", "分類に表示画面がありません");
    int year = 0, month = 0, page = 0;
    char tail = 0;
    const bool isMonth = std::sscanf(view.c_str(), "%d/%d%c", &year, &month, &tail) == 2;
    const bool isPage = !isMonth && std::sscanf(view.c_str(), "%d%c", &page, &tail) == 1;
    if (b.ByPage() ? !isPage || page < 1 || page > 9999
                   : !isMonth || year < 1 || year > 9999 || month < 1 || month > 12)
      return cli::UsageError(
          "export", b.ByPage() ? "--view はページの番号です: " + view : "--view は yyyy/mm です: " + view);
    o.allData = false;
    RecordSetPort records(b.db, b.records);
    NoHolidays calendar;
    LoadedPeriods periods;
    CountingBeeper beeper;
    CMyView v(records, calendar, periods, prompter, beeper, b.clock);
    v.SetDataKind(b.ByPage() ? CMyView::kPageKind : CMyView::kDateKind);
    v.SetScreen(b.screen);
    if (b.ByPage())
      v.ShowPage(page);
    else
      v.ShowMonth(year, month);
    shown = ShownRowsOf(v.Rows(), b.records);
  }
  ExportResult r;
  if (exporter.Run(o, shown, &r) != CMyExport::kOk) return cli::kFailed;
  std::printf("file\t%s\nlines\t%d\n", r.path.c_str(), r.lines);
  return cli::kSuccess;
}
