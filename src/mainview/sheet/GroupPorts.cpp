#include "mainview/sheet/GroupPorts.h"

#include "store/MemoSchema.h"

int GroupRecords::Requery(const std::string& filter, const std::string& sort) {
  (void)filter;
  return group_.SortRows(sort);
}

std::string_view GroupRecords::Key(int i) const { return Value(i, memo::kKey); }

std::string_view GroupRecords::Value(int i, int field) const {
  const CMyRec& rec = group_.Records();
  if (i < 0 || i >= rec.Count()) return {};
  // a group row is no entry: it has no entry colour, whatever colour the
  // member its other values came from had
  if (field == memo::kCr001 || field == memo::kCr002) return {};
  const char* v = group_.Table().Value(field, rec.Items()[i]);
  return v ? std::string_view(v) : std::string_view();
}

std::string GroupRowSource::Value(const std::string& field) const {
  return group_.DisplayValue(pos_, group_.Table().FindField(field));
}
