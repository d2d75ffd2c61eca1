// jbx ics export|import: a book to and from an iCalendar file through the
// calendar dialogs' own models.
#include <cstdio>
#include <string>
#include <vector>

#include "calendar/HolidayCalendar.h"
#include "cli/Cli.h"
#include "cli/CliBook.h"
#include "cli/Commands.h"
#include "exchange/IcsCalendar.h"
#include "exchange/IcsExport.h"
#include "exchange/IcsImport.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "platform/SystemPaths.h"
#include "shell/CivilDays.h"

namespace {

constexpr const char* kSub = "ics";

std::vector<ColorKind> KindsOf(CliBook& b) {
  std::vector<ColorKind> kinds;
  CMyMaster table("COLOR", &b.prompter);
  const std::string path = b.global.DivisionPath("color.dat");
  if (!fileops::IsFile(path) || table.Read(path) != 0) return kinds;
  CountingBeeper beeper;
  CMyColorKinds k(table, b.prompter, beeper);
  for (int i = 0; i < k.Count(); ++i) kinds.push_back(k.Get(i));
  return kinds;
}

// "summary=予定,location=-": the field of each part by its caption ("-" none).
bool ReadMapping(const std::string& text, const ExchangeBook& book, IcsMapping& m, std::string& why) {
  size_t at = 0;
  while (at <= text.size()) {
    size_t comma = text.find(',', at);
    if (comma == std::string::npos) comma = text.size();
    const std::string item = text.substr(at, comma - at);
    at = comma + 1;
    const size_t eq = item.find('=');
    if (eq == std::string::npos) return why = "--map の形は 部分=項目名 です: " + item, false;
    const std::string part = item.substr(0, eq), caption = item.substr(eq + 1);
    int field = -1;
    if (caption != "-") {
      for (size_t i = 0; i < book.fields.size(); ++i)
        if (cp932::ToUtf8(book.fields[i].caption) == caption) field = static_cast<int>(i);
      if (field < 0) return why = "分類にその項目がありません: " + caption, false;
    }
    int* slot = part == "summary"       ? &m.summary
                : part == "description" ? &m.description
                : part == "location"    ? &m.location
                : part == "start"       ? &m.start
                : part == "end"         ? &m.end
                                        : nullptr;
    if (!slot) return why = "--map の部分は summary, description, location, start, end です: " + part, false;
    *slot = field;
  }
  return true;
}

}  // namespace

int CmdIcs(int argc, char** argv) {
  cli::Args a(argc, argv);
  std::string root, user, division = "0", today, zone, from, to, map, days;
  a.Value("--root", root);
  a.Value("--user", user);
  a.Value("--division", division);
  a.Value("--today", today);
  const bool hasZone = a.Value("--zone", zone);
  const bool hasFrom = a.Value("--from", from);
  const bool hasTo = a.Value("--to", to);
  const bool hasMap = a.Value("--map", map);
  const bool hasDays = a.Value("--days", days);
  const std::vector<std::string> rest = a.Rest();
  if (!a.Ok()) return cli::UsageError(kSub, a.Error());
  if (rest.size() != 2 || (rest[0] != "export" && rest[0] != "import"))
    return cli::UsageError(kSub, "export か import と、ファイルを 1 つ指定してください");
  const bool exporting = rest[0] == "export";
  if (root.empty()) return cli::UsageError(kSub, "--root がありません");
  if (user.empty()) return cli::UsageError(kSub, "--user がありません");
  CivilDate todayDate = SystemClock().Today();
  if (!today.empty() && !civil::ParseYmd(today, todayDate))
    return cli::UsageError(kSub, "--today が日付ではありません: " + today);
  if (hasZone && !ics::KnownZone(zone)) return cli::UsageError(kSub, "知らないタイムゾーンです: " + zone);
  if (exporting && hasMap) return cli::UsageError(kSub, "--map は import のためのものです");
  if (exporting && !hasDays && (hasFrom || hasTo))
    return cli::UsageError(kSub, "export の --from, --to は --days の期間です");
  if (!exporting && hasDays) return cli::UsageError(kSub, "--days は export のためのものです");
  CivilDate fromDate, toDate;
  IcsImport::DefaultPeriod(todayDate, fromDate, toDate);
  if (hasFrom && !civil::ParseYmd(from, fromDate))
    return cli::UsageError(kSub, "--from が日付ではありません: " + from);
  if (hasTo && !civil::ParseYmd(to, toDate)) return cli::UsageError(kSub, "--to が日付ではありません: " + to);
  if (!exporting) {
    const std::string problem = cli::FileProblem(AbsolutePath(rest[1]));
    if (!problem.empty()) return cli::Fail(kSub, problem);
  }

  StderrPrompter prompter;
  CliBook b(prompter, todayDate);
  const std::string missing = b.Open(root, user, division, !exporting);
  if (!missing.empty()) return cli::Fail(kSub, missing);
  ExchangeBook book = b.Book();
  if (exporting) {
    IcsExport model(book, prompter, b.clock);
    IcsExportOptions o;
    o.path = AbsolutePath(rest[1]);
    o.zone = zone;
    o.interactive = false;
    o.kinds = KindsOf(b);
    CMyAlarm alarms(b.global, b.clock, &prompter);
    alarms.Load(b.global.UserPath("alarm.dat"));
    o.alarms = alarms.Entries();
    if (hasDays) {
      o.daysPath = AbsolutePath(days);
      const std::string base = root.back() == '/' ? root : root + "/";
      HolidayCalendar calendar(base + "holiday.dat", base + "kinen.dat", syspaths::ProgramFolder() + "/");
      o.days = IcsExport::DaysOf(calendar, fromDate, toDate);
    }
    IcsExportResult r;
    if (model.Run(o, &r) != IcsExport::kOk) return cli::kFailed;
    std::printf("file\t%s\nevents\t%d\nalarms\t%d\n", r.path.c_str(), r.events, r.alarms);
    if (!r.daysPath.empty()) std::printf("days-file\t%s\ndays\t%d\n", r.daysPath.c_str(), r.days);
    return cli::kSuccess;
  }
  IcsImport model(book, prompter, b.clock);
  IcsImportOptions o;
  o.path = AbsolutePath(rest[1]);
  o.zone = zone;
  o.from = fromDate;
  o.to = toDate;
  o.interactive = false;
  o.map = model.DefaultMapping();
  std::string why;
  if (hasMap && !ReadMapping(map, book, o.map, why)) return cli::UsageError(kSub, why);
  IcsImportResult r;
  if (model.Run(o, &r) != IcsImport::kOk) return cli::kFailed;
  std::printf("events\t%d\nadded\t%d\nupdated\t%d\nskipped\t%d\nsafety-copy\t%s\n", r.events, r.added,
              r.updated, r.outside, r.safetyCopy.c_str());
  return cli::kSuccess;
}
