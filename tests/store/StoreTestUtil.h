// Helpers shared by the record store tests: small tables built in one line.
#pragma once
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/Cp932.h"
#include "store/CMyDB.h"

struct FieldSpec {
  const char* nameUtf8;
  int type;
  int maxLength;
};

inline int DefineFields(CMyDB& db, std::initializer_list<FieldSpec> specs) {
  CMyField f;
  for (const auto& s : specs) {
    FieldDef d;
    d.name = cp932::FromUtf8(s.nameUtf8);
    d.type = s.type;
    d.maxLength = s.maxLength;
    EXPECT_EQ(0, f.Add(d));
  }
  return db.Define(f);
}

// Appends one record whose values (UTF-8) are given in field order; the
// record number, or -1.
inline int AddRecord(CMyDB& db, const std::vector<std::string>& utf8Values) {
  db.New();
  for (size_t i = 0; i < utf8Values.size(); ++i)
    if (db.SetValue(static_cast<int>(i), cp932::FromUtf8(utf8Values[i])) != 0) return -1;
  if (db.Store() != 0) return -1;
  return db.RecordCount() - 1;
}
