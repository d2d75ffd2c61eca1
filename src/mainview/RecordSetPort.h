// The main record set as the sheet's view model walks it.
#pragma once
#include "mainview/ViewPorts.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"

class RecordSetPort : public ViewRecords {
 public:
  RecordSetPort(CMyDB& db, CMyRec& rec) : db_(db), rec_(rec) {}

  int Requery(const std::string& filter, const std::string& sort) override {
    int rc = rec_.SetSort(sort, false);
    if (rc < 0) return rc;
    rc = rec_.MakeSql(filter.empty() ? nullptr : filter.c_str(), CMyRec::kListFilter);
    if (rc < 0) return rc;
    rc = rec_.Requery();
    return rc == CMyRec::kNoneFound ? 0 : rc;
  }
  int Count() const override { return rec_.Count(); }
  std::string_view Key(int i) const override { return Value(i, memo::kKey); }
  std::string_view Value(int i, int field) const override {
    if (i < 0 || i >= rec_.Count()) return {};
    const char* v = db_.Value(field, rec_.Items()[i]);
    return v ? std::string_view(v) : std::string_view();
  }
  int FieldIndex(const std::string& name) const override { return db_.FindField(name); }
  int Step(int direction) override {
    int pos = direction > 0 ? rec_.FindNext() : direction < 0 ? rec_.FindPrev() : rec_.Position();
    return (pos < 0 || pos >= rec_.Count()) ? -1 : pos;
  }

 private:
  CMyDB& db_;
  CMyRec& rec_;
};
