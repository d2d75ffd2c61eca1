// CMyDB: an in-memory table of variable-length records over a fixed list of
// fields, with an edit buffer for one record and the ".jdt" file format.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/CMyField.h"
#include "store/CMyLine.h"

class Prompter;
namespace fileops {
class AtomicFile;
}

// Layout constants of ".jdt" files and of records in memory.
namespace jdt {
constexpr int kFlagWithFields = 0;     // field definitions follow the count
constexpr int kFlagWithoutFields = 1;  // definitions omitted (data files)
constexpr int kHeaderInts = 2;         // flag, field count
constexpr int kReservedInts = 2;       // two zero integers before the records
constexpr unsigned char kDeletedBit = 0x80;
constexpr unsigned char kMatchedBit = 0x01;
constexpr int kBuildSlack = 24;  // extra bytes of the build buffer
}  // namespace jdt

class CMyDB {
 public:
  // Result codes.
  static constexpr int kOk = 0;
  static constexpr int kEmptyFields = 50;  // Define: no fields; SetValue: field out of range
  static constexpr int kNoMemory = 51;
  static constexpr int kTooWide = 52;  // Define: records could not be addressed by 16-bit offsets
  static constexpr int kTooLong = 100;
  static constexpr int kNotNumber = 101;
  static constexpr int kNoRecord = 201;
  static constexpr int kNoField = 202;
  static constexpr int kCannotOpen = 300;  // cannot open / create / write the file
  static constexpr int kFieldCountDiffers = 301;
  static constexpr int kBadStructure = 302;  // flag, count or definitions unreadable
  static constexpr int kNoNumbers = 303;
  static constexpr int kDamagedRecord = 304;  // a record that cannot be valid; reading stopped there
  static constexpr int kEndsEarly = 305;      // the file stops before its terminating 0

  // `prompter` shows the few messages of the table and of record sets over
  // it; may be null (messages are then dropped).
  explicit CMyDB(Prompter* prompter = nullptr);
  CMyDB(const CMyDB&) = delete;
  CMyDB& operator=(const CMyDB&) = delete;

  void SetPrompter(Prompter* p) { prompter_ = p; }
  Prompter* GetPrompter() const { return prompter_; }

  // Replaces the fields and empties the table. 0; 50 empty list; 51 out of
  // memory; 52 the largest record would not fit 16-bit offsets.
  [[nodiscard]] int Define(const CMyField& fields);
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  const FieldDef* Fields() const { return fields_.data(); }
  // Index of the field whose name or alias equals `name` (ASCII case
  // ignored), -1 when none.
  int FindField(std::string_view name) const;
  // 0; -3 alias of 30 bytes or more; -2 alias taken by a name or another
  // alias; -1 no field named `name`. An empty alias changes nothing.
  [[nodiscard]] int SetAlias(std::string_view name, std::string_view alias);
  void ClearAliases();
  // Bytes of the largest valid record.
  int MaxRecordSize() const { return maxRecord_; }

  int RecordCount() const { return records_.Count(); }
  // Counts every change other than appending records: a record replaced or
  // deleted, the records cleared, the fields or aliases changed. A record set
  // whose selection was made at the same count and record count k holds, for
  // the records below k, what a new selection would find.
  uint64_t Changes() const { return changes_; }
  int LiveCount() const { return liveCount_; }
  // Record r, status byte first; empty when r does not exist.
  std::string_view RecordBytes(int r) const { return records_.View(r); }
  // Raw access for record sets; null when r does not exist. Every record in
  // the table has a complete offset table whose offsets lie inside it.
  const char* RecordData(int r) const { return records_.Item(r); }
  // The same for record sets that set the selection mark while scanning;
  // only the status byte may be changed through it.
  char* MutableRecordData(int r) { return records_.MutableItem(r); }
  bool IsDeleted(int r) const;
  // Sets or clears bit 0 of record r's status byte (the selection mark).
  void SetMatched(int r, bool on);
  // NUL-terminated value; null when field or r is out of range.
  const char* Value(int field, int r) const;
  const char* ValueByName(std::string_view name, int r) const;

  // Edit buffer.
  // Copies record r into the edit buffer and makes it current; 201 (edit
  // buffer cleared, current -1) when r does not exist.
  [[nodiscard]] int Load(int r);
  void New();
  // 0; 202 field -1; 50 field out of range; 100 longer than the field's
  // maximum; 101 a number field given a non-digit. The text ends at its
  // first NUL. A refused value leaves the old one.
  [[nodiscard]] int SetValue(int field, std::string_view text);
  [[nodiscard]] int SetValueByName(std::string_view name, std::string_view text);
  const char* EditValue(int field) const;  // "" when out of range
  int Current() const { return current_; }
  // Appends (current -1) or replaces record `current`. 0; -1 when current
  // does not exist or is deleted.
  [[nodiscard]] int Store();
  // 1, or 0 when r does not exist.
  [[nodiscard]] int MarkDeleted(int r);
  void ClearRecords();

  // Reads a ".jdt" file. define: load as a new table from the file's
  // definitions; else append to this table's fields. 0; 305 the file ends
  // before its terminator (the records before the break are kept, but the
  // file did not read whole); 300 cannot open;
  // 301 field count differs; 302 flag or count unreadable, a definition
  // short or refused by CMyField::Add (define only); 304 a damaged
  // record (its length or offsets impossible): reading stops there, the
  // records before it are kept.
  [[nodiscard]] int ReadFile(const std::string& path, bool define);
  // The same on a file image in memory.
  [[nodiscard]] int ReadBytes(std::string_view bytes, bool define);
  // Appends data files one after another, exactly as ReadFile(path, false)
  // on each in turn would (results[i] is its result for paths[i]), while a
  // second thread reads the next files: a whole book loads in the time of
  // its reads or of its indexing, whichever is longer. stopAtFailure: the
  // files after the first that fails are not appended (their results say
  // kCannotOpen).
  void ReadFiles(const std::vector<std::string>& paths, std::vector<int>& results,
                 bool stopAtFailure = false);
  // Every live record with field definitions. 0; 300 not written.
  [[nodiscard]] int WriteFile(const std::string& path) const;
  // The live records among `numbers`, in that order, without definitions.
  // 0; 300 not written; 303 (with a message) when `numbers` is null.
  [[nodiscard]] int WriteSubset(const std::string& path, const int* numbers, int count) const;
  // The same into a writer the caller commits (several files at once).
  [[nodiscard]] int WriteSubsetTo(fileops::AtomicFile& f, const int* numbers, int count) const;

 private:
  bool ValidRecord(const char* rec, int length) const;
  [[nodiscard]] bool WriteRecordsTo(fileops::AtomicFile& f, int flag, const int* numbers, int count) const;
  // Empties fields, records and edit buffer (a table about to be defined
  // from a file).
  void ResetTable();
  // Reads a whole ".jdt" image. `pooled`: the same bytes where they lie in
  // the pool, in the room reserved for them (block -1, ReadFile) or in a
  // block of their own (ReadFiles); null: the records are copied there.
  [[nodiscard]] int IndexImage(const char* data, size_t size, bool define, char* pooled, int block = -1);
  // Indexes the records of data[pos, size) as lines of the pool (in the
  // room, or in `block`), counting them in `adopted`; the result is that of
  // ReadFile.
  [[nodiscard]] int IndexRecords(char* data, size_t pos, size_t size, int block, int& adopted);
  void AppendHeader(std::string& out, int flag) const;
  [[nodiscard]] int WriteRecords(const std::string& path, int flag, const int* numbers, int count) const;
  void Message(const char* utf8) const;

  Prompter* prompter_;
  std::vector<FieldDef> fields_;
  std::vector<uint16_t> maxLengths_;  // of the fields, packed for checking records
  CMyLine records_{2048};
  CMyLine edit_{2048};
  std::vector<char> build_;  // the largest record plus slack
  int current_ = -1;
  int liveCount_ = 0;
  uint64_t changes_ = 0;
  int maxRecord_ = 0;
};
