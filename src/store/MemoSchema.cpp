#include "store/MemoSchema.h"

#include <cstdio>

#include "platform/Cp932.h"
#include "store/CMyDB.h"

namespace memo {
namespace {
struct Column {
  const char* utf8;
  int maxLength;
};
// DAT001..DAT020 are generated; the rest are spelled out in field order.
constexpr Column kHead[] = {
    {"区分", 1},      {"キー項目", 16}, {"年月日_TO", 16}, {"曜日", 5},     {"行連番", 5},   {"MARK", 10},
    {"TIME_F", 5},    {"TIME_T", 5},    {"TIME_ONOFF", 5}, {"NODATA", 5},   {"FLAG", 30},    {"MEM001L", 5},
    {"MEM001", 5000}, {"IMG001", 250},  {"IMS001", 250},   {"CHK001", 100}, {"CHK002", 100}, {"HIS001", 100},
    {"HIS002", 100},  {"CR001", 15},    {"CR002", 15},
};
constexpr Column kTail[] = {{"更新日", 20}, {"登録日", 20}};
constexpr int kDatLength = 250;
static_assert(sizeof(kHead) / sizeof(kHead[0]) == kDat001);
}  // namespace

std::string PageKey(int page, int line) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%05d/%05d", page, line);
  return buf;
}

std::string FieldName(int i) {
  if (i >= 0 && i < kDat001) return cp932::FromUtf8(kHead[i].utf8);
  if (i >= kDat001 && i < kUpdated) {
    char name[8];
    std::snprintf(name, sizeof name, "DAT%03d", i - kDat001 + 1);
    return name;
  }
  if (i >= kUpdated && i < kFieldCount) return cp932::FromUtf8(kTail[i - kUpdated].utf8);
  return {};
}

int FieldMaxLength(int i) {
  if (i >= 0 && i < kDat001) return kHead[i].maxLength;
  if (i >= kDat001 && i < kUpdated) return kDatLength;
  if (i >= kUpdated && i < kFieldCount) return kTail[i - kUpdated].maxLength;
  return 0;
}
}  // namespace memo

int DefineMemoSchema(CMyDB& table) {
  CMyField fields;
  for (int i = 0; i < memo::kFieldCount; ++i) {
    FieldDef d;
    d.name = memo::FieldName(i);
    d.type = fielddef::kTypeText;
    d.maxLength = memo::FieldMaxLength(i);
    d.flag = 0;
    (void)fields.Add(d);  // fixed names and lengths, none of which Add refuses
  }
  return table.Define(fields);
}
