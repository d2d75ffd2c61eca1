// jbx find: the search dialog's search on the command line. The condition
// is the one the dialog builds, run over the book in the order its first
// display screen shows it, and every hit is printed in that order.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/CliBook.h"
#include "cli/Commands.h"
#include "mainview/search/SearchCommands.h"
#include "mainview/sheet/CMyView.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "store/MemoSchema.h"

namespace {

int Characters(const std::string& sj) {
  int n = 0;
  for (size_t i = 0; i < sj.size(); ++i, ++n)
    if (cp932::IsLead(sj[i]) && i + 1 < sj.size()) ++i;
  return n;
}

// True when `rec` holds a selection made without a filter and with these
// keys (the book opens in the sheet's order, which is most often the
// screen's): it is then the one they make, and is not made again.
bool SameOrder(const CMyRec& rec, const std::string& filter, const std::string& sort) {
  // none, or a failed one: its message comes from a new try
  if (!filter.empty() || rec.Count() == 0 || rec.List(CMyRec::kListFilter).Count() != 0) return false;
  CMyRec probe(rec.Table());
  if (probe.SetSort(sort, false) != 0) return false;
  const auto& a = probe.SortKeys();
  const auto& b = rec.SortKeys();
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].field != b[i].field || a[i].flags != b[i].flags || a[i].prefix != b[i].prefix) return false;
  return true;
}

}  // namespace

int CmdFind(int argc, char** argv) {
  cli::Args a(argc, argv);
  std::string root, user, division = "0", field;
  int kind = SearchCommands::kContains;
  a.Value("--root", root);
  a.Value("--user", user);
  a.Value("--division", division);
  const bool hasField = a.Value("--field", field);
  a.Int("--kind", kind, 0, 3);
  const bool caseSensitive = a.Flag("--case");
  const bool fold = a.Flag("--fold");
  const std::vector<std::string> rest = a.Rest();
  if (!a.Ok()) return cli::UsageError("find", a.Error());
  if (root.empty()) return cli::UsageError("find", "--root がありません");
  if (user.empty()) return cli::UsageError("find", "--user がありません");
  if (rest.size() != 1) return cli::UsageError("find", "検索文字列を 1 つ指定してください");
  SearchQuery q;
  q.kind = kind;
  q.caseSensitive = caseSensitive;
  q.foldWidth = fold;
  if (cp932::FromUtf8(rest[0], q.text) != 0)
    return cli::Fail("find", "検索文字列に Shift-JIS で書けない文字があります: " + rest[0]);
  if (q.text.empty()) return cli::UsageError("find", "検索文字列が空です");
  if (Characters(q.text) > SearchCommands::kMaxTextChars)
    return cli::UsageError("find", "検索文字列は 30 文字までです");
  q.name = SearchCommands::AllFields();
  if (hasField && cp932::FromUtf8(field, q.name) != 0)
    return cli::Fail("find", "項目名に Shift-JIS で書けない文字があります: " + field);

  StderrPrompter prompter;
  CliBook book(prompter, SystemClock().Today());
  const std::string problem = book.Open(root, user, division);
  if (!problem.empty()) return cli::Fail("find", problem);
  // the order and filter of the first display screen, as the window opens on it
  if (book.HasScreen()) {
    std::string filter, sort;
    CMyView::ScreenOrder(book.screen, book.form.DataKind(), book.screen.displayMode, filter, sort);
    if (!SameOrder(book.records, filter, sort) &&
        (book.records.SetSort(sort, false) < 0 ||
         book.records.Select(filter.empty() ? nullptr : filter.c_str()) < 0))
      return cli::Fail("find", "抽出に失敗しました。");
  }

  const std::vector<SearchField> fields = SearchCommands::FieldsOf(book.form.ControlList());
  std::string condition;
  const int rc = SearchCommands::BuildCondition(q, fields, book.db, condition);
  if (rc == SearchCommands::kNotSearchable)
    return cli::Fail("find", "『" + cp932::ToUtf8(q.name) + "』は検索できません。");
  if (rc != SearchCommands::kBuilt) return cli::UsageError("find", "検索文字列がありません");

  CMyRec& rec = book.records;
  std::vector<int> hits;  // table records, in the book's order
  for (int pos = SearchCommands::Start(rec, condition, fold, 1); pos >= 0; pos = rec.FindNext())
    hits.push_back(rec.Items()[static_cast<size_t>(pos)]);
  if (hits.empty()) return cli::Fail("find", "見つかりませんでした");

  // The field of each hit: the one searched, or under "（全て）" the first of
  // the form's fields that matches on its own.
  std::vector<SearchField> searched;
  if (q.name == SearchCommands::AllFields()) {
    searched = fields;
  } else {
    const std::string name = condition.substr(0, condition.find('='));  // a name never holds "="
    searched.push_back({name, name});
    for (const SearchField& f : fields)
      if (f.field == name) searched.back().caption = f.caption;
  }
  std::vector<const SearchField*> where(hits.size(), searched.size() == 1 ? &searched[0] : nullptr);
  for (size_t k = 0; searched.size() > 1 && k < searched.size(); ++k) {
    SearchQuery one = q;
    one.name = searched[k].field;
    std::string single;
    if (SearchCommands::BuildCondition(one, fields, book.db, single) != SearchCommands::kBuilt) continue;
    if (rec.MakeSql(single, CMyRec::kListFind) != 0) continue;
    for (size_t i = 0; i < hits.size(); ++i)
      if (!where[i] && rec.Evaluate(hits[i], CMyRec::kListFind) == 1) where[i] = &searched[k];
  }
  std::string line, utf8;
  for (size_t i = 0; i < hits.size(); ++i) {
    const int r = hits[i];
    line.clear();
    for (int f : {memo::kKey, memo::kLineSerial}) {
      const char* v = book.db.Value(f, r);
      line += cp932::ToUtf8(v ? v : "");
      line += '\t';
    }
    if (where[i]) {
      line += cp932::ToUtf8(where[i]->caption);
      line += '\t';
      const char* v = book.db.ValueByName(where[i]->field, r);
      cp932::ToUtf8(v ? v : "", utf8);
      cli::AppendEscaped(line, utf8);
    } else {
      line += '\t';
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return cli::kSuccess;
}
