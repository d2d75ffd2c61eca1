#include "mainview/search/SearchCommands.h"

#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "shell/CMyPublic.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"

namespace {

inline bool IsTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// The text as a literal of the expression language: a lead byte that starts
// no character is dropped (the expression's reader would take the next byte
// with it, a closing quote too), and a quote is written twice.
std::string Quoted(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 4);
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (cp932::IsLead(c)) {
      if (i + 1 < text.size() && IsTrail(static_cast<unsigned char>(text[i + 1]))) {
        out += text[i];
        out += text[++i];
      }
      continue;
    }
    out += text[i];
    if (c == '\'') out += '\'';
  }
  return out;
}

}  // namespace

const std::string& SearchCommands::AllFields() {
  static const std::string kAll = "（全て）"_sj;
  return kAll;
}

std::vector<SearchField> SearchCommands::FieldsOf(const std::vector<jsc::Control>& controls) {
  std::vector<SearchField> out;
  for (const jsc::Control& c : controls) {
    if (!c.IsField() || c.field.empty()) continue;
    out.push_back({c.field, c.alias.empty() ? c.field : c.alias});
  }
  return out;
}

std::vector<std::string> SearchCommands::NameItems() const {
  std::vector<std::string> items{AllFields()};
  for (const SearchField& f : fields_) items.push_back(f.caption);
  return items;
}

int SearchCommands::BuildCondition(const SearchQuery& q, const std::vector<SearchField>& fields,
                                   const CMyDB& db, std::string& condition) {
  condition.clear();
  const std::string text = Quoted(q.text);
  if (q.name.empty() || text.empty() || q.kind < kEqual || q.kind > kContains) return kIncomplete;
  std::vector<std::string> names;
  if (q.name == AllFields()) {
    for (const SearchField& f : fields)
      if (db.FindField(f.field) >= 0) names.push_back(f.field);
  } else {
    // a caption of the list first, then what the table knows by that name
    for (const SearchField& f : fields)
      if (collate::EqualNoCase(f.caption, q.name) && db.FindField(f.field) >= 0) {
        names.push_back(f.field);
        break;
      }
    if (names.empty()) {
      const int i = db.FindField(q.name);
      if (i >= 0) names.push_back(db.Fields()[static_cast<size_t>(i)].name);
    }
  }
  if (names.empty()) return kNotSearchable;
  std::string pattern;
  if (q.kind == kEnds || q.kind == kContains) pattern += '*';
  pattern += text;
  if (q.kind == kBegins || q.kind == kContains) pattern += '*';
  // "==" is the case-sensitive match, "=" followed by a blank the other
  const std::string term = std::string(q.caseSensitive ? "==" : "= ") + "'" + pattern + "'";
  if (q.name != AllFields()) {
    condition = names[0] + term;
    return kBuilt;
  }
  condition = "(";
  for (size_t i = 0; i < names.size(); ++i) {
    if (i) condition += " or ";
    condition += names[i] + term;
  }
  condition += ")";
  return kBuilt;
}

int SearchCommands::Start(CMyRec& rec, const std::string& condition, bool foldWidth, int direction) {
  rec.SetFindWidthFold(foldWidth);
  const bool down = direction >= 0;
  return rec.Find(condition.c_str(), down ? 0 : 2, down);
}

void SearchCommands::LoadWholeBook() {
  MainObjects& o = ctx_.objects;
  if (o.periods->LoadAll() <= 0) return;
  // the reference window's rows came from a book with fewer records
  w_.CloseReference();
  CMyView& view = *o.view;
  view.ReloadView(true);
  view.RebuildRows();
  // the new selection starts at its first record: back to the cursor's
  view.MoveCursorTo(view.CursorRow());
  w_.ViewChanged();
}

bool SearchCommands::RunSearch(int direction) {
  MainObjects& o = ctx_.objects;
  std::string condition;
  const int rc = BuildCondition(query, fields_, *o.db, condition);
  if (rc == kIncomplete) {
    ctx_.beeper.Beep();
    return false;
  }
  if (rc == kNotSearchable) {
    ctx_.prompter.Warn("『"_sj + query.name + "』は検索できません。"_sj);
    return false;
  }
  LoadWholeBook();
  const int pos = changed ? Start(*o.rec, condition, query.foldWidth, direction)
                          : (direction >= 0 ? o.rec->FindNext() : o.rec->FindPrev());
  changed = false;
  if (pos < 0) {
    ctx_.beeper.Beep();
    w_.Note("見つかりませんでした"_sj);
    return false;
  }
  o.view->GotoRecord(0);
  w_.ViewChanged();
  return true;
}

bool SearchCommands::HasCondition() const { return ctx_.objects.rec->List(CMyRec::kListFind).Count() > 0; }

void SearchCommands::FindStep(int direction) {
  if (!HasCondition()) {
    w_.ShowFindDialog();
    return;
  }
  // another book may have been opened since the condition was made
  LoadWholeBook();
  if (ctx_.objects.view->GotoRecord(direction >= 0 ? 1 : -1))
    w_.ViewChanged();
  else
    w_.Note("見つかりませんでした"_sj);  // besides the beep
}

void SearchCommands::FindFieldText(const std::string& field) {
  MainObjects& o = ctx_.objects;
  const CMyView& view = *o.view;
  const int r = view.CursorRow();
  const int f = field.empty() ? -1 : o.db->FindField(field);
  if (f >= 0 && r >= 0 && r < view.RowCount()) {
    const int record = view.Rows()[static_cast<size_t>(r)].record;
    if (record >= 0) {
      const std::string text = CMyPublic::MidBytes(o.viewRecords->Value(record, f), 0, kFieldTextBytes);
      if (!text.empty()) {
        query.text = text;
        changed = true;
      }
    }
  }
  w_.ShowFindDialog();
}
