// jbx pickout: an extraction from a terminal, through the extraction
// dialog's own model: the filter and sort it makes from a condition file, a
// saved method or options, and with --run the extracted records or the
// group rows of a user's division.
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

constexpr const char* kSub = "pickout";

// Options that may be given more than once, in the order given.
struct Repeated {
  std::string name, value;
};

bool ToSj(const std::string& what, const std::string& utf8, std::string& out) {
  if (cp932::FromUtf8(utf8, out) == 0) return true;
  cli::Fail(kSub, what + "に CP932 で書けない文字があります: " + utf8);
  return false;
}

void PrintLine(const std::vector<std::string>& cellsSj) {
  std::string line, utf8;
  for (size_t i = 0; i < cellsSj.size(); ++i) {
    if (i) line += '\t';
    cp932::ToUtf8(cellsSj[i], utf8);
    cli::AppendEscaped(line, utf8);
  }
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stdout);
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

int CmdPickout(int argc, char** argv) {
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
  const bool run = args.Flag("--run");
  const bool header = args.Flag("--header");
  const bool json = args.Flag("--json");
  const std::vector<std::string> files = args.Rest();
  if (!args.Ok()) return cli::UsageError(kSub, args.Error());
  if (files.size() > 1) return cli::UsageError(kSub, "条件ファイルは 1 つです");
  if (!files.empty() && haveMethod)
    return cli::UsageError(kSub, "条件ファイルと --method は一緒に使えません");
  if (haveDir == haveRoot)
    return cli::UsageError(kSub, "--division-dir か --root（と --user）のどちらかが要ります");
  if (haveRoot && user.empty()) return cli::UsageError(kSub, "--root には --user が要ります");
  if (run && !haveRoot) return cli::UsageError(kSub, "--run には --root と --user が要ります");
  CivilDate shownDate = SystemClock().Today();
  if (!shown.empty() && !civil::ParseYmd(widthfold::FoldAscii(shown), shownDate))
    return cli::UsageError(kSub, "--shown は yyyy/mm/dd です: " + shown);
  if (!files.empty()) {
    const std::string problem = cli::FileProblem(files[0]);
    if (!problem.empty()) return cli::Fail(kSub, problem);
  }

  StderrPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock(shownDate, SystemClock().Now());
  CMyGlobal global(prompter, clock, syspaths::ProgramFolder());
  std::string dir = divisionDir;
  if (haveRoot) {
    std::string userSj;
    if (!ToSj("ユーザー名", user, userSj)) return cli::kFailed;
    global.UseDataRoot(root + (root.empty() || root.back() == '/' ? "" : "/"));
    global.SetUserName(userSj);
    CMyMaster users("USER", &prompter);
    if (!fileops::IsFile(global.UserPath("jbxuser.jpr")) || users.Read(global.UserPath("jbxuser.jpr")) != 0)
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
    global.SetDivisionFolder(users.Name(index));
    dir = global.DivisionPath("");
  } else if (!fileops::IsDir(dir)) {
    return cli::Fail(kSub, "フォルダーが見つかりません: " + dir);
  }
  if (!dir.empty() && dir.back() != '/') dir += '/';

  // the division as the dialog sees it: fields with their display names,
  // colour kinds, the first screen's lines per page
  CMyDB db(&prompter);
  if (DefineMemoSchema(db) != CMyDB::kOk) return cli::Fail(kSub, "メモリが足りません");
  jsc::InputDef def;
  const int defRc = jsc::LoadInputDef(
      dir + "scrin.jsc", def, &prompter,
      [&db](const std::string& f, const std::string& alias) { return db.SetAlias(f, alias); });
  if (defRc != 0) return cli::Fail(kSub, "入力画面の定義（scrin.jsc）が読めません: " + dir + "scrin.jsc");
  PickupSetup setup;
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

  CMyPickup model(db, prompter, beeper, clock);
  model.Setup(setup);
  if (!files.empty()) {
    const int rc = model.LoadFile(files[0]);
    if (rc != pickfile::kRead) return cli::Fail(kSub, "抽出条件のファイルとして読めません: " + files[0]);
  } else if (haveMethod) {
    std::string sj;
    if (!ToSj("抽出方法名", method, sj)) return cli::kFailed;
    model.OpenDialog();
    int index = -1;
    for (size_t i = 0; i < model.MethodItems().size(); ++i)
      if (model.MethodItems()[i] == sj) index = static_cast<int>(i);
    if (index < 0) return cli::Fail(kSub, "その抽出方法は保存されていません: " + method);
    const std::string path = index == 0 ? model.DivisionPath(pickfile::kLastApplied) : model.MethodPath(sj);
    if (!fileops::IsFile(path)) return cli::Fail(kSub, "抽出方法のファイルがありません: " + path);
    if (model.LoadFile(path) != pickfile::kRead)
      return cli::Fail(kSub, "抽出条件のファイルとして読めません: " + path);
  } else {
    model.SetDetailPage(!haveSearch);
  }
  if (const int rc = ApplyOptions(model, reps, mode, period, haveFrom, from, haveTo, to); rc != cli::kSuccess)
    return rc;
  if (haveSearch) {
    std::string sj;
    if (!ToSj("検索文字列", search, sj)) return cli::kFailed;
    model.SetDetailPage(false);
    model.SetSimpleText(sj);
    if (!field.empty()) {
      if (!ToSj("項目名", field, sj)) return cli::kFailed;
      model.SetSimpleName(sj);
    }
    const char* kinds[] = {"equal", "begins", "ends", "contains"};
    if (!kind.empty()) {
      int k = -1;
      for (int i = 0; i < 4; ++i)
        if (kind == kinds[i]) k = i;
      if (k < 0) return cli::UsageError(kSub, "--kind は equal、begins、ends、contains です: " + kind);
      model.SetSimpleKind(k);
    }
    if (caseSensitive) model.SetCaseSensitive(true);
  }
  if (withColorOnly) model.SetNoData(false);
  if (keyDesc) model.SetKeyDown(true);
  if (haveLines) {
    model.SetLineText(lines);
    if (!model.LeaveLineBox()) return cli::kFailed;
  }

  if (model.BuildExtraction() != CMyPickup::kOk) return cli::Fail(kSub, cp932::ToUtf8(model.Message()));
  if (!run) {
    if (json) {
      nlohmann::ordered_json j;
      j["filter"] = cp932::ToUtf8(model.Filter());
      j["sort"] = cp932::ToUtf8(model.Sort());
      j["mode"] = model.Mode();
      j["lines"] = model.LinesPerPage();
      std::printf("%s\n", j.dump(2).c_str());
    } else {
      std::printf("%s\n%s\n", cp932::ToUtf8(model.Filter()).c_str(), cp932::ToUtf8(model.Sort()).c_str());
    }
    return cli::kSuccess;
  }

  // the records, loaded and selected as the window does
  CMyRec records(&db), work(&db);
  CMyMaster divout("DIVOUT", &prompter);
  CMyPeriods periods(global, db, work, divout, prompter);
  // read only: a missing period list is rebuilt in memory, never written
  if (std::string why = CliBook::LoadBook(global, periods, nullptr); !why.empty())
    return cli::Fail(kSub, why);
  int rc = records.SetSort(model.ViewSort(), false);
  if (rc == 0)
    rc = records.MakeSql(model.Filter().empty() ? nullptr : model.Filter().c_str(), CMyRec::kListFilter);
  if (rc == 0) rc = records.Requery();
  if (rc < 0) return cli::Fail(kSub, "抽出に失敗しました。");

  std::vector<std::string> captions;
  std::vector<std::vector<std::string>> rows;
  std::string footer;
  if (model.Mode() == CMyPickup::kGroupDisplay) {
    CMyGroup group(prompter);
    if (group.Build(db, records.Items(), records.Count(), model.GroupColumns()) < 0 ||
        group.Show(model.Sort()) != 0)
      return cli::Fail(kSub, "グループを作れませんでした");
    std::vector<int> shownFields;
    for (const auto& c : group.Columns()) {
      if (c.field < 0 || c.mode == CMyGroup::kNone) continue;
      captions.push_back(c.def.caption);
      shownFields.push_back(c.field);
    }
    for (int i = 0; i < group.RowCount(); ++i) {
      std::vector<std::string> cells;
      for (int f : shownFields) cells.push_back(group.DisplayValue(i, f));
      rows.push_back(std::move(cells));
    }
    footer = group.FooterText();
  } else {
    captions = {"キー項目"_sj, "行連番"_sj};
    std::vector<int> shownFields{memo::kKey, memo::kLineSerial};
    for (const auto& f : setup.fields) {
      const int i = db.FindField(f.name);
      if (i < 0) continue;
      captions.push_back(f.caption);
      shownFields.push_back(i);
    }
    for (int i = 0; i < records.Count(); ++i) {
      std::vector<std::string> cells;
      for (int f : shownFields) {
        const char* v = db.Value(f, records.Items()[i]);
        cells.emplace_back(v ? v : "");
      }
      rows.push_back(std::move(cells));
    }
  }
  if (json) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const auto& cells : rows) {
      nlohmann::ordered_json o = nlohmann::ordered_json::object();
      for (size_t c = 0; c < cells.size(); ++c) o[cp932::ToUtf8(captions[c])] = cp932::ToUtf8(cells[c]);
      out.push_back(std::move(o));
    }
    std::printf("%s\n", out.dump(2).c_str());
  } else {
    if (header) PrintLine(captions);
    for (const auto& cells : rows) PrintLine(cells);
  }
  if (!footer.empty()) std::fprintf(stderr, "jbx %s: %s\n", kSub, cp932::ToUtf8(footer).c_str());
  return cli::kSuccess;
}
