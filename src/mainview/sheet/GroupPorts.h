// The group view of an extraction as the sheet sees it: its rows as the
// view model's records, a row's values for the screen's items, and the
// switch between the main record set and the group rows.
#pragma once
#include <string>
#include <string_view>

#include "extract/CMyGroup.h"
#include "mainview/sheet/ViewPorts.h"

// The group rows as the sheet's view model walks them. A requery sorts the
// rows and ignores the filter: the rows already are the filtered records.
class GroupRecords : public ViewRecords {
 public:
  explicit GroupRecords(CMyGroup& group) : group_(group) {}
  int Requery(const std::string& filter, const std::string& sort) override;
  int Count() const override { return group_.RowCount(); }
  std::string_view Key(int i) const override;
  std::string_view Value(int i, int field) const override;
  int FieldIndex(const std::string& name) const override { return group_.Table().FindField(name); }

 private:
  CMyGroup& group_;
};

// The group row at one position, for the screen's items.
class GroupRowSource : public RowSource {
 public:
  explicit GroupRowSource(const CMyGroup& group) : group_(group) {}
  void SetPosition(int pos) { pos_ = pos; }
  std::string Value(const std::string& field) const override;
  bool HasNext() const override { return pos_ >= 0 && pos_ + 1 < group_.RowCount(); }

 private:
  const CMyGroup& group_;
  int pos_ = -1;
};

// The records the sheet walks: the main record set, or the group rows while
// the group view is shown. The view model keeps one ViewRecords for its whole
// life; the main window gives it this one and switches what it forwards to.
class SwitchRecords : public ViewRecords {
 public:
  explicit SwitchRecords(ViewRecords& main) : main_(main) {}
  // The group rows (or null for the main record set again).
  void Use(ViewRecords* group) { group_ = group; }
  bool GroupShown() const { return group_ != nullptr; }
  int Requery(const std::string& filter, const std::string& sort) override {
    return Now().Requery(filter, sort);
  }
  // the main record set's cheaper ways stay in use while it is shown
  int RequeryAppended(const std::string& filter, const std::string& sort) override {
    return Now().RequeryAppended(filter, sort);
  }
  int SkipKeysBelow(std::string_view key) const override { return Now().SkipKeysBelow(key); }
  int Count() const override { return Now().Count(); }
  std::string_view Key(int i) const override { return Now().Key(i); }
  std::string_view Value(int i, int field) const override { return Now().Value(i, field); }
  int FieldIndex(const std::string& name) const override { return Now().FieldIndex(name); }
  int Step(int direction) override { return Now().Step(direction); }
  // A group row is no record of the main set: the main set's position stays.
  void GoTo(int i) override {
    if (!group_) main_.GoTo(i);
  }
  // Group rows are no records of the book: nothing of theirs is ever saved.
  bool PhotoCheck(int i, std::string& period) override {
    return group_ ? false : main_.PhotoCheck(i, period);
  }

 private:
  ViewRecords& Now() const { return group_ ? *group_ : main_; }
  ViewRecords& main_;
  ViewRecords* group_ = nullptr;
};
