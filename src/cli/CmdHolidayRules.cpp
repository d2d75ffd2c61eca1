// jbx holiday-rules: the holiday and anniversary rules of a data folder,
// listed, added, changed and deleted through the list dialog's own editor,
// with the entry form's checks and messages.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "calendar/CMyHolidayEditor.h"
#include "cli/Cli.h"
#include "cli/Commands.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "platform/SystemPaths.h"
#include "platform/WidthFold.h"

namespace {

const char* const kSub = "holiday-rules";

// Messages as every subcommand writes them; a question is answered Yes only
// when the command line said --yes.
class CliPrompter : public Prompter {
 public:
  explicit CliPrompter(bool yes) : yes_(yes) {}
  int Show(const std::string& text, const std::string&, PromptIcon, PromptButtons buttons, int) override {
    std::fprintf(stderr, "jbx %s: %s\n", kSub, cp932::ToUtf8(text).c_str());
    if (buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel)
      return yes_ ? kAnswerYes : kAnswerNo;
    return kAnswerOk;
  }

 private:
  bool yes_;
};

// "第２月曜" (ASCII or full-width digit) or the rule number 0..27.
bool ReadWeek(const std::string& utf8, int& week) {
  const std::string folded = widthfold::FoldAscii(utf8);
  for (int w = 0; w < 28; ++w) {
    const std::string name = widthfold::FoldAscii(cp932::ToUtf8(CMyHolidayEditor::WeekName(w)));
    if (folded == name) {
      week = w;
      return true;
    }
  }
  char* end = nullptr;
  const long v = std::strtol(folded.c_str(), &end, 10);
  if (folded.empty() || !end || *end || v < 0 || v > 27) return false;
  week = static_cast<int>(v);
  return true;
}

bool ReadTerm(const std::string& utf8, int& term) {
  for (int t = 0; t < 4; ++t) {
    if (utf8 == cp932::ToUtf8(CMyHolidayEditor::TermName(t))) {
      term = t;
      return true;
    }
  }
  return false;
}

bool ReadIndex(const std::string& text, int& index) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || !end || *end || v < 1 || v > 1000000) return false;
  index = static_cast<int>(v);
  return true;
}

int List(const CMyHolidayEditor& editor, int list, bool all, bool json) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (const CMyHolidayEditor::Row& r : editor.Rows(list, all)) {
    const HolidayEntry& e = editor.Rules().Item(r.index, list);
    if (json) {
      out.push_back({{"index", r.index},
                     {"month", e.month},
                     {"day", e.day},
                     {"name", cp932::ToUtf8(e.name)},
                     {"startYear", e.startYear},
                     {"endYear", e.endYear},
                     {"solarTerm", e.solarTerm},
                     {"weekRule", e.weekRule},
                     {"line", cp932::ToUtf8(r.line)}});
    } else {
      std::printf("%d\t%s\n", r.index, cp932::ToUtf8(r.line).c_str());
    }
  }
  if (json) std::printf("%s\n", out.dump(2).c_str());
  return cli::kSuccess;
}

}  // namespace

int CmdHolidayRules(int argc, char** argv) {
  cli::Args args(argc, argv);
  std::string root, month, day, week, term, from, to, name;
  const bool haveRoot = args.Value("--root", root);
  const bool kinen = args.Flag("--kinen");
  const bool all = args.Flag("--all");
  const bool json = args.Flag("--json");
  const bool yes = args.Flag("--yes");
  int year = SystemClock().Today().year;
  (void)args.Int("--year", year, 1900, 3999);
  const bool haveMonth = args.Value("--month", month);
  const bool haveDay = args.Value("--day", day);
  const bool haveWeek = args.Value("--week", week);
  const bool haveTerm = args.Value("--term", term);
  const bool haveFrom = args.Value("--from", from);
  const bool haveTo = args.Value("--to", to);
  const bool haveName = args.Value("--name", name);
  const std::vector<std::string> rest = args.Rest();
  if (!args.Ok()) return cli::UsageError(kSub, args.Error());
  if (rest.empty()) return cli::UsageError(kSub, "list, add, set, rm のどれかを指定してください");
  const std::string verb = rest[0];
  const bool needsIndex = verb == "set" || verb == "rm";
  if (verb != "list" && verb != "add" && !needsIndex)
    return cli::UsageError(kSub, "知らない操作です: " + verb);
  int index = 0;
  if (needsIndex && (rest.size() != 2 || !ReadIndex(rest[1], index)))
    return cli::UsageError(kSub, verb + " には規則の番号（list の 1 列目）が要ります");
  if (!needsIndex && rest.size() != 1) return cli::UsageError(kSub, "余分な引数です: " + rest[1]);
  const bool edits = haveMonth || haveDay || haveWeek || haveTerm || haveFrom || haveTo || haveName;
  if ((verb == "list" || verb == "rm") && edits)
    return cli::UsageError(kSub, verb + " は規則の項目を取りません");
  if (haveDay + haveWeek + haveTerm > 1)
    return cli::UsageError(kSub, "--day, --week, --term はどれか一つです");
  if (!haveRoot) return cli::UsageError(kSub, "--root DIR が要ります");
  if (!fileops::IsDir(root)) return cli::Fail(kSub, "フォルダが見つかりません: " + root);

  const int list = kinen ? CMyHoliday::kAnniversaries : CMyHoliday::kHolidays;
  const std::string base = root.back() == '/' ? root : root + "/";
  CliPrompter prompter(yes);
  CMyHolidayEditor editor(base + "holiday.dat", base + "kinen.dat", syspaths::ProgramFolder() + "/", year,
                          prompter);
  editor.Open();
  if (verb == "list") return List(editor, list, all, json);

  if (verb == "rm") {
    if (!editor.Delete(list, index)) {
      if (!yes && index >= 1 && index < editor.Rules().Count(list))
        return cli::Fail(kSub, "削除しませんでした（--yes で削除します）");
      return cli::kFailed;
    }
    return editor.SaveChanged() ? cli::kSuccess : cli::kFailed;
  }

  // add / set: the entry form, filled from the rule for set, then the options
  HolidayForm form;
  if (verb == "set") {
    if (!editor.RequireSelection(list, index)) return cli::kFailed;
    form = CMyHolidayEditor::FormOf(editor.Rules().Item(index, list));
  }
  auto sj = [](const std::string& utf8, std::string& out, const char* what) {
    if (cp932::FromUtf8(widthfold::FoldAscii(utf8), out) == 0) return true;
    std::fprintf(stderr, "jbx %s: %s に保存できない文字があります\n", kSub, what);
    return false;
  };
  if (haveFrom && !sj(from, form.startYear, "--from")) return cli::kFailed;
  if (haveTo && !sj(to, form.endYear, "--to")) return cli::kFailed;
  if (haveMonth && !sj(month, form.month, "--month")) return cli::kFailed;
  if (haveDay) {
    form.kind = HolidayKind::Day;
    if (!sj(day, form.day, "--day")) return cli::kFailed;
  }
  if (haveWeek) {
    form.kind = HolidayKind::Week;
    if (!ReadWeek(week, form.week))
      return cli::UsageError(kSub, "--week は 第１日曜 … 第４土曜 か 0..27 です: " + week);
  }
  if (haveTerm) {
    form.kind = HolidayKind::Etc;
    if (!ReadTerm(term, form.term))
      return cli::UsageError(kSub, "--term は 春分, 夏至, 秋分, 冬至 のどれかです: " + term);
  }
  // a name keeps its full-width letters as typed
  if (haveName && cp932::FromUtf8(name, form.name) != 0)
    return cli::Fail(kSub, "--name に保存できない文字があります");

  if (verb == "add") {
    const int at = editor.Insert(list, form);
    if (at < 0) return cli::kFailed;
    if (!editor.SaveChanged()) return cli::kFailed;
    std::printf("%d\t%s\n", at,
                cp932::ToUtf8(CMyHoliday::DisplayLine(editor.Rules().Item(at, list))).c_str());
    return cli::kSuccess;
  }
  const int at = editor.Update(list, index, form);
  if (at < 0 || editor.Changed(list)) return cli::kFailed;  // refused, or the file was not written
  std::printf("%d\t%s\n", at, cp932::ToUtf8(CMyHoliday::DisplayLine(editor.Rules().Item(at, list))).c_str());
  return cli::kSuccess;
}
