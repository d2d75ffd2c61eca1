// The fixed 43-field memo record every division keeps its entries in, with
// named indexes so code never spells field positions as numbers.
#pragma once
#include <string>

class CMyDB;

namespace memo {
constexpr int kKubun = 0;       // 区分: record class, one character
constexpr int kKey = 1;         // キー項目: "yyyy/mm/dd" or "%05d/%05d"
constexpr int kDateTo = 2;      // 年月日_TO
constexpr int kWeekday = 3;     // 曜日: "1" Sunday .. "7" Saturday
constexpr int kLineSerial = 4;  // 行連番: "%05d", unique within a data file
constexpr int kMark = 5;        // MARK
constexpr int kTimeF = 6;       // TIME_F
constexpr int kTimeT = 7;       // TIME_T
constexpr int kTimeOnOff = 8;   // TIME_ONOFF
constexpr int kNoData = 9;      // NODATA: "0" or "1"
constexpr int kFlag = 10;       // FLAG
constexpr int kMem001L = 11;    // MEM001L: memo line setting
constexpr int kMem001 = 12;     // MEM001: the memo text
constexpr int kImg001 = 13;     // IMG001: attached image file
constexpr int kIms001 = 14;     // IMS001: image settings
constexpr int kChk001 = 15;
constexpr int kChk002 = 16;
constexpr int kHis001 = 17;
constexpr int kHis002 = 18;
constexpr int kCr001 = 19;   // CR001: text colour, decimal 0x00BBGGRR or empty
constexpr int kCr002 = 20;   // CR002: background colour, same form
constexpr int kDat001 = 21;  // DAT001 .. DAT020 follow in order
constexpr int kDatCount = 20;
constexpr int kUpdated = 41;  // 更新日: "yyyy/mm/dd"
constexpr int kCreated = 42;  // 登録日: "yyyy/mm/dd"
constexpr int kFieldCount = 43;

// DATnnn for n = 1..20.
constexpr int Dat(int n) { return kDat001 + n - 1; }

// CP932 name and maximum length of memo field i (0 <= i < kFieldCount).
std::string FieldName(int i);
int FieldMaxLength(int i);

// The key of a notebook line: "ppppp/lllll".
std::string PageKey(int page, int line);
}  // namespace memo

// Defines the memo fields on `table`, emptying it. The result of Define.
[[nodiscard]] int DefineMemoSchema(CMyDB& table);
