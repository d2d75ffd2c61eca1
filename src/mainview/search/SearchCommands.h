// Searching the book from the sheet: what the search dialog holds, the
// condition it builds in the record set's expression language, the search
// over the view's record set that brings each hit into view, and the F3 /
// Shift+F3 steps through the hits. `jbx find` builds and runs the same
// condition.
#pragma once
#include <string>
#include <vector>

#include "mainview/host/MainObjects.h"
#include "screens/InputDef.h"

class CMyDB;
class CMyRec;

// One field the search offers: the table's field and what the list shows.
struct SearchField {
  std::string field;    // field name in the table ("MEM001")
  std::string caption;  // its display name, the field name when it has none
};

// What the search dialog holds (CP932 texts).
struct SearchQuery {
  std::string name;            // cbo_Name: "（全て）", a caption or a field name
  std::string text;            // txt_Data
  int kind = 3;                // cbo_Kind: SearchCommands::Kind, -1 none chosen
  bool caseSensitive = false;  // chk_icmp
  bool foldWidth = false;      // "全角・半角を区別しない"
};

// What a search asks of the window.
class SearchWindow {
 public:
  virtual ~SearchWindow() = default;
  virtual void ShowFindDialog() = 0;
  virtual void CloseReference() = 0;
  virtual void ViewChanged() = 0;
  // A line in the window's status bar (CP932).
  virtual void Note(const std::string& text) = 0;
};

class SearchCommands {
 public:
  enum Kind { kEqual = 0, kBegins = 1, kEnds = 2, kContains = 3 };
  static constexpr int kMaxTextChars = 30;    // txt_Data
  static constexpr int kFieldTextBytes = 20;  // taken from the field under the mouse

  SearchCommands(MainContext& ctx, SearchWindow& window) : ctx_(ctx), w_(window) {}

  // ---- the condition ----
  // "（全て）" (CP932).
  static const std::string& AllFields();
  // The fields of an input form's control list, in its order.
  static std::vector<SearchField> FieldsOf(const std::vector<jsc::Control>& controls);
  // kBuilt with the condition in `condition`; kIncomplete when the field
  // name, the text or the kind is missing; kNotSearchable when the name is
  // neither "（全て）" nor a field (or there are no fields for
  // "（全て）"). A caption or a field name stands for its field, and the
  // condition names the field itself, so a caption holding a blank or an
  // operator cannot break the expression. Quotes are doubled; a lead byte
  // that starts no character is dropped, so it can never swallow the
  // quote that ends the literal.
  enum { kBuilt = 0, kIncomplete = 1, kNotSearchable = 2 };
  static int BuildCondition(const SearchQuery& query, const std::vector<SearchField>& fields, const CMyDB& db,
                            std::string& condition);
  // A new search over `rec` with `condition`: from the first record
  // downwards (direction > 0) or from the last upwards. The position found,
  // or -1; FindNext and FindPrev go on from it with the same folding.
  static int Start(CMyRec& rec, const std::string& condition, bool foldWidth, int direction);

  // ---- the dialog's state ----
  void SetFields(const std::vector<jsc::Control>& controls) { fields_ = FieldsOf(controls); }
  const std::vector<SearchField>& Fields() const { return fields_; }
  // cbo_Name's items: "（全て）", then the captions.
  std::vector<std::string> NameItems() const;
  SearchQuery query;
  // Set when the dialog is shown and by every change of the query; the
  // next search then starts from the first or the last record.
  bool changed = true;

  // ---- the commands ----
  // cmd_DownFindClick (+1) / cmd_UpFindClick (-1). True on a hit, which is
  // then the sheet's cursor row.
  bool RunSearch(int direction);
  // The view's record set holds a find condition.
  bool HasCondition() const;
  // "下検索(&D)" (+1) / "上検索(&U)" (-1): the next hit of the condition
  // held, or the dialog when there is none.
  void FindStep(int direction);
  // "検索(&F)...": the text of `field` in the cursor row's record, its first
  // 20 bytes up to the first line break, becomes the search text (kept as
  // it was when the row has no record or the field no text); then the dialog.
  void FindFieldText(const std::string& field);

 private:
  // Every data file of the book is loaded before a search, so it covers
  // the whole book and not only the months shown.
  void LoadWholeBook();

  MainContext& ctx_;
  SearchWindow& w_;
  std::vector<SearchField> fields_;
};
