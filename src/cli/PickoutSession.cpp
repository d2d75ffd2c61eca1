#include "cli/PickoutSession.h"

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "catalogue/CMyMaster.h"
#include "cli/Cli.h"
#include "cli/CliBook.h"
#include "cli/Commands.h"
#include "extract/CMyGroup.h"
#include "extract/CMyPickup.h"
#include "mainview/sheet/ScreenPorts.h"
#include "options/CMyColorKinds.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "platform/SystemPaths.h"
#include "platform/WidthFold.h"
#include "screens/CMyScr.h"
#include "screens/InputDef.h"
#include "shell/CMyGlobal.h"
#include "shell/CivilDays.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"

namespace {

// the subcommand the messages name: one per run of jbx
const char* kSub = "pickout";

// Options that may be given more than once, in the order given.
struct Repeated {
  std::string name, value;
};

bool ToSj(const std::string& what, const std::string& utf8, std::string& out) {
  if (cp932::FromUtf8(utf8, out) == 0) return true;
  cli::Fail(kSub, what + "に CP932 で書けない文字があります: " + utf8);
  return false;
}

// The grid row a caption or a field name names; -1 none.
int RowOf(const CMyPickup& m, const std::string& sj) {
  int r = m.RowOfCaption(sj);
  for (int i = 0; r < 0 && i < m.RowCount(); ++i)
    if (m.GetRow(i).kind == CMyPickup::kFieldRow && m.GetRow(i).name == sj) r = i;
  return r;
}

// "NAME=VALUE" / "NAME:SUFFIX" split at the first separator.
bool Split(const std::string& s, char sep, std::string& a, std::string& b) {
  size_t at = s.find(sep);
  if (at == std::string::npos || at == 0) return false;
  a = s.substr(0, at);
  b = s.substr(at + 1);
  return true;
}

// Puts the options into the model as the dialog's controls would; a usage
// error (code 2) or a refused value (1) is returned after its message.
int ApplyOptions(CMyPickup& m, const std::vector<Repeated>& reps, const std::string& mode,
                 const std::string& period, bool haveFrom, const std::string& from, bool haveTo,
                 const std::string& to) {
  auto rowOf = [&](const std::string& utf8, int& row) {
    std::string sj;
    if (!ToSj("項目名", utf8, sj)) return false;
    row = RowOf(m, sj);
    if (row < 0) cli::Fail(kSub, "その項目は条件の表にありません: " + utf8);
    return row >= 0;
  };
  bool group = mode == "group";
  for (const auto& r : reps) group = group || r.name == "--group";
  if (!mode.empty() || group) {
    if (mode == "page")
      m.SetMode(CMyPickup::kPageDisplay);
    else if (mode == "list")
      m.SetMode(CMyPickup::kCompactList);
    else if (group && (mode.empty() || mode == "group"))
      m.SetMode(CMyPickup::kGroupDisplay);
    else
      return cli::UsageError(kSub, "--mode は page、list、group のどれかです: " + mode);
  }
  if (!period.empty()) {
    const int p = period == "all"     ? CMyPickup::kAll
                  : period == "month" ? CMyPickup::kCurrent
                  : period == "page"  ? CMyPickup::kCurrent
                  : period == "year"  ? CMyPickup::kYear
                  : period == "range" ? CMyPickup::kRange
                                      : -1;
    if (p < 0) return cli::UsageError(kSub, "--period は all、month、year、range です: " + period);
    m.SetPeriod(p);
  }
  std::string sj;
  if (haveFrom) {
    if (!ToSj("期間", from, sj)) return cli::kFailed;
    m.SetFromText(sj);
    if (!m.LeaveFromBox()) return cli::kFailed;
  }
  if (haveTo) {
    if (!ToSj("期間", to, sj)) return cli::kFailed;
    m.SetToText(sj);
    if (!m.LeaveToBox()) return cli::kFailed;
  }
  const int sortCol = m.ColumnOf(CMyPickup::kSortNo);
  const int orderCol = m.ColumnOf(CMyPickup::kOrder);
  char next = '1';
  for (const auto& r : reps) {
    if (r.name != "--sort" && r.name != "--group") continue;
    std::string name = r.value, suffix;
    if (!Split(r.value, ':', name, suffix)) name = r.value;
    int row = -1;
    if (!rowOf(name, row)) return cli::kFailed;
    if (next > '3') return cli::UsageError(kSub, "並び順は 3 つまでです");
    m.TypeKey(row, sortCol, next++);
    if (r.name == "--sort") {
      if (suffix == "d" || suffix == "desc")
        m.TypeKey(row, orderCol, '1');
      else if (!suffix.empty() && suffix != "a" && suffix != "asc")
        return cli::UsageError(kSub, "--sort の向きは :asc か :desc です: " + r.value);
    } else if (!suffix.empty()) {
      m.SetCellText(row, m.ColumnOf(CMyPickup::kAggSize), suffix);
    }
  }
  for (const auto& r : reps) {
    if (r.name != "--agg") continue;
    std::string name, kind;
    if (!Split(r.value, '=', name, kind))
      return cli::UsageError(kSub, "--agg は 項目=SUM の形です: " + r.value);
    const char* kinds[] = {"MIN", "MAX", "SUM", "COUNT", "AVG", "NONE"};
    int k = -1;
    for (int i = 0; i < 6; ++i)
      if (kind == kinds[i]) k = i;
    if (k < 0) return cli::UsageError(kSub, "集約は MIN、MAX、SUM、COUNT、AVG、NONE です: " + kind);
    if (!m.GroupLayout()) return cli::UsageError(kSub, "--agg はグループ表示（--group）で使います");
    int row = -1;
    if (!rowOf(name, row)) return cli::kFailed;
    m.TypeKey(row, m.ColumnOf(CMyPickup::kAggregate), k < 5 ? static_cast<char>('0' + k) : 'x');
  }
  for (const auto& r : reps) {
    if (r.name != "--where") continue;
    std::string name, value;
    if (!Split(r.value, '=', name, value))
      return cli::UsageError(kSub, "--where は 項目=値 の形です: " + r.value);
    int row = -1;
    if (!rowOf(name, row)) return cli::kFailed;
    if (!ToSj("条件値", value, sj)) return cli::kFailed;
    m.SetCellText(row, m.ValueColumn(), sj);
    m.SetDetailPage(true);
  }
  return cli::kSuccess;
}

}  // namespace

PickoutSession::PickoutSession(const char* sub) : sub_(sub) { kSub = sub_; }

int PickoutSession::Open(int argc, char** argv, bool needBook,
                         const std::function<bool(CMyPickup&)>& prepare) {
  // the repeatable options first, in their order
  std::vector<Repeated> reps;
  std::vector<char*> rest{argv[0]};
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    bool matched = false;
    for (const char* n : {"--where", "--sort", "--group", "--agg"}) {
      if (a == n && i + 1 < argc) {
        reps.push_back({n, argv[++i]});
        matched = true;
      } else if (a.size() > std::string(n).size() &&
                 a.compare(0, std::string(n).size() + 1, std::string(n) + "=") == 0) {
        reps.push_back({n, a.substr(std::string(n).size() + 1)});
        matched = true;
      }
      if (matched) break;
    }
    if (!matched) rest.push_back(argv[i]);
  }
  cli::Args args(static_cast<int>(rest.size()), rest.data());
  std::string divisionDir, root, user, division = "0", method, shown, mode, period, from, to, search, field,
                                       kind, lines;
  const bool haveDir = args.Value("--division-dir", divisionDir);
  const bool haveRoot = args.Value("--root", root);
  args.Value("--user", user);
  args.Value("--division", division);
  const bool haveMethod = args.Value("--method", method);
  args.Value("--shown", shown);
  int page = 1;
  args.Int("--page", page, 1, 99999);
  args.Value("--mode", mode);
  args.Value("--period", period);
  const bool haveFrom = args.Value("--from", from);
  const bool haveTo = args.Value("--to", to);
  const bool haveSearch = args.Value("--search", search);
  args.Value("--field", field);
  args.Value("--kind", kind);
  const bool haveLines = args.Value("--lines", lines);
  const bool caseSensitive = args.Flag("--case");
  const bool withColorOnly = args.Flag("--with-color-only");
  const bool keyDesc = args.Flag("--key-desc");
  run = args.Flag("--run");
  header = args.Flag("--header");
  json = args.Flag("--json");
  const std::vector<std::string> files = args.Rest();
  if (!args.Ok()) return cli::UsageError(kSub, args.Error());
  if (files.size() > 1) return cli::UsageError(kSub, "条件ファイルは 1 つです");
  if (!files.empty() && haveMethod)
    return cli::UsageError(kSub, "条件ファイルと --method は一緒に使えません");
  if (haveDir == haveRoot)
    return cli::UsageError(kSub, "--division-dir か --root（と --user）のどちらかが要ります");
  if (haveRoot && user.empty()) return cli::UsageError(kSub, "--root には --user が要ります");
  if ((run || needBook) && !haveRoot)
    return cli::UsageError(kSub, std::string(run ? "--run" : kSub) + " には --root と --user が要ります");
  CivilDate shownDate = SystemClock().Today();
  if (!shown.empty() && !civil::ParseYmd(widthfold::FoldAscii(shown), shownDate))
    return cli::UsageError(kSub, "--shown は yyyy/mm/dd です: " + shown);
  if (!files.empty()) {
    const std::string problem = cli::FileProblem(files[0]);
    if (!problem.empty()) return cli::Fail(kSub, problem);
  }

  clock = std::make_unique<FixedClock>(shownDate, SystemClock().Now());
  global = std::make_unique<CMyGlobal>(prompter, *clock, syspaths::ProgramFolder());
  std::string dir = divisionDir;
  if (haveRoot) {
    std::string userSj;
    if (!ToSj("ユーザー名", user, userSj)) return cli::kFailed;
    global->UseDataRoot(root + (root.empty() || root.back() == '/' ? "" : "/"));
    global->SetUserName(userSj);
    CMyMaster users("USER", &prompter);
    if (!fileops::IsFile(global->UserPath("jbxuser.jpr")) || users.Read(global->UserPath("jbxuser.jpr")) != 0)
      return cli::Fail(kSub, "ユーザーが見つかりません: " + user);
    int index = -1;
    std::string divSj;
    if (!division.empty() && division.find_first_not_of("0123456789") == std::string::npos &&
        division.size() < 6)
      index = std::stoi(division) < users.RecordCount() ? std::stoi(division) : -1;
    if (index < 0 && cp932::FromUtf8(division, divSj) == 0)
      for (int i = 0; i < users.RecordCount(); ++i)
        if (users.Name(i) == divSj) index = i;
    if (index < 0) return cli::Fail(kSub, "分類が見つかりません: " + division);
    global->SetDivisionFolder(users.Name(index));
    dir = global->DivisionPath("");
  } else if (!fileops::IsDir(dir)) {
    return cli::Fail(kSub, "フォルダーが見つかりません: " + dir);
  }
  if (!dir.empty() && dir.back() != '/') dir += '/';

  // the division as the dialog sees it: fields with their display names,
  // colour kinds, the first screen's lines per page
  if (DefineMemoSchema(db) != CMyDB::kOk) return cli::Fail(kSub, "メモリが足りません");
  jsc::InputDef def;
  const int defRc = jsc::LoadInputDef(
      dir + "scrin.jsc", def, &prompter,
      [this](const std::string& f, const std::string& alias) { return db.SetAlias(f, alias); });
  if (defRc != 0) return cli::Fail(kSub, "入力画面の定義（scrin.jsc）が読めません: " + dir + "scrin.jsc");
  setup.dataKind = def.header.dataKind;
  setup.fields = FieldsFromInputDef(def);
  setup.divisionDir = dir;
  setup.shownDate = shownDate;
  setup.shownPage = page;
  CMyMaster colors("COLOR", &prompter);
  if (fileops::IsFile(dir + "color.dat") && colors.Read(dir + "color.dat") == 0) {
    CMyColorKinds kinds(colors, prompter, beeper);
    for (int i = 0; i < kinds.Count(); ++i) setup.colors.push_back(kinds.Get(i));
  }
  CMyMaster screens("DIVIN", &prompter);
  if (fileops::IsFile(dir + "divin.jpr") && screens.Read(dir + "divin.jpr") == 0 &&
      screens.RecordCount() > 0) {
    CMyScr scr;
    ViewScreen vs;
    if (JosScreenLoader(scr, db).Load(dir + screens.Name(0) + ".jos", vs) == 0)
      setup.defaultLines = vs.rowsPerListPage;
  }

  model = std::make_unique<CMyPickup>(db, prompter, beeper, *clock);
  CMyPickup& m = *model;
  m.Setup(setup);
  if (!files.empty()) {
    const int rc = m.LoadFile(files[0]);
    if (rc != pickfile::kRead) return cli::Fail(kSub, "抽出条件のファイルとして読めません: " + files[0]);
  } else if (haveMethod) {
    std::string sj;
    if (!ToSj("抽出方法名", method, sj)) return cli::kFailed;
    m.OpenDialog();
    int index = -1;
    for (size_t i = 0; i < m.MethodItems().size(); ++i)
      if (m.MethodItems()[i] == sj) index = static_cast<int>(i);
    if (index < 0) return cli::Fail(kSub, "その抽出方法は保存されていません: " + method);
    const std::string path = index == 0 ? m.DivisionPath(pickfile::kLastApplied) : m.MethodPath(sj);
    if (!fileops::IsFile(path)) return cli::Fail(kSub, "抽出方法のファイルがありません: " + path);
    if (m.LoadFile(path) != pickfile::kRead)
      return cli::Fail(kSub, "抽出条件のファイルとして読めません: " + path);
  } else {
    m.SetDetailPage(!haveSearch);
  }
  if (const int rc = ApplyOptions(m, reps, mode, period, haveFrom, from, haveTo, to); rc != cli::kSuccess)
    return rc;
  if (haveSearch) {
    std::string sj;
    if (!ToSj("検索文字列", search, sj)) return cli::kFailed;
    m.SetDetailPage(false);
    m.SetSimpleText(sj);
    if (!field.empty()) {
      if (!ToSj("項目名", field, sj)) return cli::kFailed;
      m.SetSimpleName(sj);
    }
    const char* kinds[] = {"equal", "begins", "ends", "contains"};
    if (!kind.empty()) {
      int k = -1;
      for (int i = 0; i < 4; ++i)
        if (kind == kinds[i]) k = i;
      if (k < 0) return cli::UsageError(kSub, "--kind は equal、begins、ends、contains です: " + kind);
      m.SetSimpleKind(k);
    }
    if (caseSensitive) m.SetCaseSensitive(true);
  }
  if (withColorOnly) m.SetNoData(false);
  if (keyDesc) m.SetKeyDown(true);
  if (haveLines) {
    m.SetLineText(lines);
    if (!m.LeaveLineBox()) return cli::kFailed;
  }

  if (prepare && !prepare(m)) return cli::kFailed;
  if (m.BuildExtraction() != CMyPickup::kOk) return cli::Fail(kSub, cp932::ToUtf8(m.Message()));
  return cli::kSuccess;
}

int PickoutSession::Run() {
  CMyPickup& m = *model;
  periods = std::make_unique<CMyPeriods>(*global, db, work, divout, prompter);
  // read only: a missing period list is rebuilt in memory, never written
  if (std::string why = CliBook::LoadBook(*global, *periods, nullptr); !why.empty())
    return cli::Fail(kSub, why);
  int rc = records.SetSort(m.ViewSort(), false);
  if (rc == 0) rc = records.MakeSql(m.Filter().empty() ? nullptr : m.Filter().c_str(), CMyRec::kListFilter);
  if (rc == 0) rc = records.Requery();
  if (rc < 0) return cli::Fail(kSub, "抽出に失敗しました。");
  if (m.Mode() == CMyPickup::kGroupDisplay &&
      (group.Build(db, records.Items(), records.Count(), m.GroupColumns()) < 0 || group.Show(m.Sort()) != 0))
    return cli::Fail(kSub, "グループを作れませんでした");
  return cli::kSuccess;
}
