// The main record set as the sheet's view model walks it.
#pragma once
#include "mainview/sheet/ViewPorts.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"

class RecordSetPort : public ViewRecords {
 public:
  RecordSetPort(CMyDB& db, CMyRec& rec) : db_(db), rec_(rec) {}

  int Requery(const std::string& filter, const std::string& sort) override {
    return Select(filter, sort, false);
  }
  // The record set itself tells whether the loaded period can be merged in:
  // compiling the same filter and sort again changes neither.
  int RequeryAppended(const std::string& filter, const std::string& sort) override {
    return Select(filter, sort, true);
  }
  // A selection sorted by key first is searched by halves: for a key of
  // digits and "/" only, byte order and the sort's case-folding order agree,
  // so the keys below it form one run at the start.
  int SkipKeysBelow(std::string_view key) const override {
    if (!rec_.OrderedBy(memo::kKey) || key.find_first_not_of("0123456789/") != std::string_view::npos)
      return ViewRecords::SkipKeysBelow(key);
    int lo = 0, hi = rec_.Count();
    while (lo < hi) {
      const int mid = lo + (hi - lo) / 2;
      if (Key(mid) < key)
        lo = mid + 1;
      else
        hi = mid;
    }
    return lo;
  }
  int Count() const override { return rec_.Count(); }
  std::string_view Key(int i) const override { return Value(i, memo::kKey); }
  std::string_view Value(int i, int field) const override {
    if (i < 0 || i >= rec_.Count()) return {};
    const char* v = db_.Value(field, rec_.Items()[i]);
    return v ? std::string_view(v) : std::string_view();
  }
  int FieldIndex(const std::string& name) const override { return db_.FindField(name); }
  void GoTo(int i) override { (void)rec_.GoTo(i); }
  int Step(int direction) override {
    int pos = direction > 0 ? rec_.FindNext() : direction < 0 ? rec_.FindPrev() : rec_.Position();
    return (pos < 0 || pos >= rec_.Count()) ? -1 : pos;
  }

 private:
  int Select(const std::string& filter, const std::string& sort, bool appendedOnly) {
    int rc = rec_.SetSort(sort, false);
    if (rc < 0) return rc;
    rc = rec_.MakeSql(filter.empty() ? nullptr : filter.c_str(), CMyRec::kListFilter);
    if (rc < 0) return rc;
    rc = appendedOnly ? rec_.RequeryAppended() : rec_.Requery();
    return rc == CMyRec::kNoneFound ? 0 : rc;
  }

  CMyDB& db_;
  CMyRec& rec_;
};
