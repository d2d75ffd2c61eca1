// Comma-separated files as records leave and enter the program: CMyCSV reads
// one record at a time, optionally under a header line whose column names
// are matched against field definitions, and checks and normalises each
// value by its definition; CsvWriter writes values by the fixed writing rules
// (every value quoted, inner quotes doubled, CR LF after each record).
//
// The dialect: a double quote outside quotes switches quoting on (also in
// the middle of a field: a"b,c"d is the one value ab,cd); inside quotes two
// double quotes are one, a single one switches quoting off, CR LF is kept
// and a lone LF becomes CR LF. Outside quotes a comma ends the field and a CR
// ends the record (the LF after it is skipped); a lone LF is data. A file
// with no CR anywhere outside quotes (lines ended by LF alone, as
// spreadsheets on Linux save them) would then be one record: there a LF
// outside quotes ends the record instead, and a LF inside quotes is still
// kept as CR LF. Files with CR line ends read the same either way.
//
// Text inside the program is CP932. A Shift-JIS file is read byte for byte
// with double-byte characters taken whole; a UTF-8 file (chosen, or any file
// that starts with the UTF-8 byte order mark) is converted value by value,
// and a character CP932 cannot hold is refused, never replaced.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileOps.h"

class Clock;
class Prompter;

enum class CsvEncoding { kShiftJis = 0, kUtf8 = 1 };

// What ends the lines of a file, told by its first CR outside quotes (or
// the lack of one).
enum class CsvLineEnds { kNone = 0, kCrLf, kCr, kLf };

class CMyCSV {
 public:
  static constexpr int kMaxColumns = 256;
  static constexpr int kMaxNameBytes = 30;
  static constexpr int kBlockSize = 2004;  // bytes read from the file at a time
  // Longest value taken from a file, in bytes as read; a longer one is
  // refused (kFieldFailed, or kTooLong when its definition has a size)
  // without holding more of it. The longest field of a record is 5000.
  static constexpr int kMaxFieldBytes = 65536;

  // Definition types.
  enum Type { kText = 0, kInteger = 1, kDecimal = 2, kDate = 10, kTime = 15, kTimeOfDay = 16 };

  // Open results.
  static constexpr int kOk = 0;
  static constexpr int kCannotOpen = 1;  // "ファイルが見つかりません。"
  static constexpr int kNoFields = 2;    // "フィールドが存在しません。"
  static constexpr int kUndefined = 3;   // "フィールド【%s】は定義出来ません。"
  static constexpr int kNoMemory = 5;    // "メモリが足りません。(-070407)"

  // ReadRecord errors (a header line that fails to read makes Open return
  // the same code).
  static constexpr int kTooManyFields = -2;  // "フィールド数をオーバーしました。"
  static constexpr int kFieldFailed = -3;    // "フィールドデータ取得失敗"
  static constexpr int kTooLong = -4;        // "【%s】のサイズがオーバーしました。"
  static constexpr int kRequired = -5;       // "【%s】は必須項目です。"
  static constexpr int kBadNumber = -6;      // "【%s】は不正な数値です。"
  static constexpr int kBadDate = -7;        // "【%s】は不正な日付です。"
  static constexpr int kBadTime = -8;        // "【%s】は不正な時間です。"
  static constexpr int kNoMemoryRecord = -9;
  static constexpr int kBadBytes = -10;     // bytes that are not text of the file's encoding, or a NUL
  static constexpr int kNotShiftJis = -11;  // a UTF-8 character CP932 cannot hold
  static constexpr int kOpenQuote = -12;    // the file ends inside a quoted field (it was cut short)

  struct Definition {
    std::string name;  // CP932, at most 30 bytes; header names match it without ASCII case
    int type = kText;
    int size = 0;  // most bytes of the value (CP932); 0 unlimited
    int decimals = 0;
    int flag = 0;           // kept for the caller
    bool required = false;  // an empty value is an error
    int id = 0;             // the caller's
  };

  // `prompter` shows the two messages the reader gives itself (an over-long
  // definition name, lack of memory); `clock` is the year of a date written
  // without one.
  CMyCSV(Prompter& prompter, const Clock& clock);
  ~CMyCSV();
  CMyCSV(const CMyCSV&) = delete;
  CMyCSV& operator=(const CMyCSV&) = delete;

  // Switches definition checking on or off and clears the definitions.
  void UseDefinitions(bool on);
  // 0, or -1 after "P:フィールド名のサイズが大きい" (caption "エラー") for a
  // name over 30 bytes.
  [[nodiscard]] int AddDefinition(const std::string& name, int type, int size, int decimals, int flag,
                                  int required, int id);
  int DefinitionCount() const { return static_cast<int>(defs_.size()); }
  const Definition& DefinitionAt(int i) const { return defs_[static_cast<size_t>(i)]; }

  // The encoding of the files opened next (Shift-JIS unless set). A file
  // that starts with the UTF-8 byte order mark is read as UTF-8 whatever
  // this says.
  void SetEncoding(CsvEncoding e) { encoding_ = e; }
  // Takes the formula guard's "'" off values before they are checked
  // (see Guard); off unless set.
  void SetFormulaGuard(bool on) { unguard_ = on; }
  // The encoding the open file is read in.
  CsvEncoding FileEncoding() const { return fileEncoding_; }
  // The line ends of the open file; kLf: a LF outside quotes ends records.
  CsvLineEnds LineEnds() const { return lineEnds_; }
  // "CR LF", "LF", "CR" or "なし" (a single line), CP932.
  [[nodiscard]] static std::string LineEndsText(CsvLineEnds e);
  // True while every byte read so far forms UTF-8 and some of it was not
  // ASCII: a Shift-JIS reading of such a file gives mojibake.
  bool LooksLikeUtf8() const { return utf8Valid_ && utf8Seen_ && utf8Need_ == 0; }

  // Opens `path` (file-system spelling). With `header`, the first record
  // is read as the column names; with definitions in use each must name a
  // definition. 0, an Open result or a ReadRecord error (for the header
  // line); the text is in ErrorText and the file is closed again.
  [[nodiscard]] int Open(const std::string& path, bool header);
  // The number of fields of the next record (> 0), 0 at the end of the
  // file, or a ReadRecord error; after an error the record's field count is
  // 0 and the reader stands at the next record.
  [[nodiscard]] int ReadRecord();
  // The value of a column of the current record; "" for a column the
  // record does not have.
  const std::string& Value(int column) const;
  int FieldCount() const { return fieldCount_; }
  // Records read so far, the header line included.
  int RecordsRead() const { return records_; }
  const std::string& ColumnName(int column) const;
  int ColumnCount() const { return static_cast<int>(names_.size()); }
  // The definition a header column was matched to, -1 when none.
  int DefinitionOf(int column) const;
  const std::string& ErrorText() const { return error_; }
  bool IsOpen() const { return fp_ != nullptr; }
  void Close();

  // The formula guard. A spreadsheet takes a cell that begins with "=",
  // "+", "-" or "@" (or "＝＋－＠") for a formula; written with a "'" before
  // it, it stays text. So that reading gives back exactly what was
  // written, a value that is such a text behind "'"s gets one more "'" too:
  // Guard adds one "'" to every value of the form "'"* trigger ..., Unguard
  // takes one off every value of the form "'"+ trigger ... A number ("-500",
  // "+1.5": CMyPublic::IsNumber with a digit) is never guarded: the
  // spreadsheet must count it, and it runs nothing.
  [[nodiscard]] static bool NeedsGuard(std::string_view value);
  [[nodiscard]] static std::string Guard(std::string_view value);
  [[nodiscard]] static std::string Unguard(std::string_view value);

 private:
  int Fail(int code, const std::string& text);
  bool Fill();  // at least two unread bytes in the window unless at the end
  // Looks ahead from the read position for the first CR outside quotes,
  // then goes back; sets lineEnds_.
  void ScanLineEnds();
  int Get();
  int Peek();
  void Append(char c);
  // Checks and stores the field just ended as column `column`.
  void EndField(int column);
  int Check(int column, std::string& value);
  std::string Label(int column) const;
  void TrackUtf8(unsigned char c);

  Prompter& prompter_;
  const Clock& clock_;
  FILE* fp_ = nullptr;
  bool eof_ = false;
  std::string window_;  // the block being read and the carried-over rest
  size_t pos_ = 0;
  std::string field_;  // the field being read
  bool overflow_ = false;
  std::vector<std::string> values_;
  std::vector<std::string> names_;
  std::vector<Definition> defs_;
  std::vector<int> map_;  // column -> definition, -1 none
  bool header_ = false;
  bool useDefs_ = false;
  bool unguard_ = false;
  CsvEncoding encoding_ = CsvEncoding::kShiftJis;
  CsvEncoding fileEncoding_ = CsvEncoding::kShiftJis;
  CsvLineEnds lineEnds_ = CsvLineEnds::kNone;
  int fieldCount_ = 0;
  int records_ = 0;
  int recordError_ = 0;
  std::string error_;
  // UTF-8 plausibility of what was read
  bool utf8Valid_ = true, utf8Seen_ = false;
  int utf8Need_ = 0;
};

// Writes a CSV file by the writing rules through the atomic writer: the
// file appears (or replaces the old one) only when Commit succeeds. UTF-8
// output starts with the byte order mark, as spreadsheets expect.
class CsvWriter {
 public:
  CsvWriter(std::string path, CsvEncoding encoding);
  [[nodiscard]] bool Open();
  // One value (CP932), quoted; a comma before every value but the first of
  // a record.
  void Field(std::string_view value);
  void EndRecord();
  // Flushes, syncs and renames into place; false (old file intact) on any
  // failure.
  [[nodiscard]] bool Commit();
  // A value between double quotes with its inner double quotes doubled.
  [[nodiscard]] static std::string Quote(std::string_view value);

 private:
  void Flush();
  fileops::AtomicFile file_;
  CsvEncoding encoding_;
  std::string chunk_;
  bool first_ = true;
  bool failed_ = false;
};
