// Compiles arbitrary text as a filter and a sort specification over a small
// fixed table, then selects, sorts and searches with it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CMyDB db;
  CMyField f;
  const struct {
    const char* name;
    int type;
    int max;
  } fields[] = {{"A", 0, 20}, {"B", 0, 20}, {"N", 1, 9}, {"メモ", 0, 100}};
  for (const auto& x : fields) {
    FieldDef d;
    d.name = cp932::FromUtf8(x.name);
    d.type = x.type;
    d.maxLength = x.max;
    if (f.Add(d) != 0) std::abort();
  }
  if (db.Define(f) != 0) std::abort();
  const char* rows[][4] = {{"abc", "x", "1", "定例会議"},
                           {"ABC", "", "42", "アイウ"},
                           {"*", "**", "", "a'b"},
                           {"", "y", "7", "会"}};
  for (auto& r : rows) {
    db.New();
    for (int i = 0; i < 4; ++i)
      if (db.SetValue(i, cp932::FromUtf8(r[i])) != 0) std::abort();
    if (db.Store() != 0) std::abort();
  }
  // The input up to its first NUL is the filter; what follows a NUL, the sort.
  std::string input(reinterpret_cast<const char*>(data), size);
  std::string filter = input.substr(0, input.find('\0'));
  std::string sort = input.size() > filter.size() ? input.substr(filter.size() + 1) : "";
  CMyRec rs(&db);
  (void)rs.SetSort(sort, false);  // a refused sort keeps the keys before the error: still ordered
  if (rs.Select(filter) <= 0) {
    rs.FindNext();
    rs.Find(filter.c_str(), 1, false);
    rs.FindPrev();
  }
  // The selection must be ordered by the plain key comparison, whatever
  // shortcut the sort takes.
  for (int i = 1; i < rs.Count(); ++i) {
    for (const auto& k : rs.SortKeys()) {
      std::string a = db.Value(k.field, rs.Items()[i - 1]), b = db.Value(k.field, rs.Items()[i]);
      if (k.prefix > 0) {
        a = a.substr(0, static_cast<size_t>(k.prefix));
        b = b.substr(0, static_cast<size_t>(k.prefix));
      }
      int c = (k.flags & CMyRec::kNumeric) ? (std::atoll(a.c_str()) > std::atoll(b.c_str())) -
                                                 (std::atoll(a.c_str()) < std::atoll(b.c_str()))
                                           : collate::CompareNoCase(a, b);
      if (k.flags & CMyRec::kDescending) c = -c;
      if (c > 0) std::abort();
      if (c < 0) break;
    }
  }
  // any result is fair here: only that the compiled nodes evaluate safely
  (void)rs.MakeSql(filter, CMyRec::kListFind);
  for (int r = 0; r < db.RecordCount(); ++r) (void)rs.Evaluate(r, CMyRec::kListFind);
  return 0;
}
