#include "mainview/sheet/ShownRows.h"

#include "store/CMyRec.h"

std::vector<ShownRow> ShownRowsOf(const std::vector<SheetRow>& rows, const CMyRec& records) {
  std::vector<ShownRow> out;
  out.reserve(rows.size());
  for (const SheetRow& r : rows) {
    ShownRow s;
    s.key = r.key;
    s.weekday = r.weekday;
    if (r.record >= 0)
      s.record = r.record < records.Count() ? records.Items()[r.record] : ShownRow::kUnreachable;
    out.push_back(std::move(s));
  }
  return out;
}
