// A name table: a small keyed list of fixed 132-byte records, each with an
// optional text, stored as an "LI" list file behind a signature and a
// 164-byte header. Division lists, screen lists, period lists, colour
// kinds and relations are name tables.
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/FileOps.h"
#include "store/CMyLine.h"

class Prompter;

class CMyMaster {
 public:
  static constexpr int kSignatureSize = 12;
  static constexpr int kHeaderSize = 164;
  static constexpr int kRecordSize = 132;
  static constexpr int kMaxText = 255;

  // Header offsets.
  static constexpr int kHCount = 0;  // number of records
  static constexpr int kHName = 4;   // table name, 32 bytes
  static constexpr int kHNextId = 44;
  static constexpr int kHText = 64;  // 50 bytes (periods: the latest key)
  static constexpr int kHTextSize = 50;
  static constexpr int kHAdded = 136;  // periods: records added
  // Record offsets.
  static constexpr int kRFlag = 0;   // run-time flag (periods: loaded), cleared on reading
  static constexpr int kRValue = 4;  // run-time value, cleared on reading
  static constexpr int kRId = 8;
  static constexpr int kRName = 12;  // 32 bytes, the key of the table
  static constexpr int kRNameSize = 32;
  static constexpr int kRText2 = 48;   // 32 bytes
  static constexpr int kRText3 = 80;   // 20 bytes
  static constexpr int kRKey11 = 100;  // periods: highest line serial
  static constexpr int kRKey12 = 104;
  static constexpr int kRKey13 = 108;
  static constexpr int kRKey14 = 112;
  static constexpr int kRKey21 = 120;
  static constexpr int kRKey22 = 124;
  static constexpr int kRTextAddress = 128;  // meaningless in files; written as 0

  enum PutMode { kAppend = 0, kInsert = 1, kReplace = 2, kStoreAt = 3 };

  explicit CMyMaster(const std::string& name = {}, Prompter* prompter = nullptr);
  void SetPrompter(Prompter* p) { prompter_ = p; }

  void Init(const std::string& name);
  // 0, or -1 (table re-initialised with an empty name) when the file is
  // missing, has fewer than two lines, a header of another size, or a line
  // count other than header count + 2.
  // Not [[nodiscard]] yet: the window still reads lists directly; callers
  // should use listrecovery, which tells a damaged file from a missing one.
  int Read(const std::string& path);
  // Read, telling why a table did not read: kLoaded; kMissing (no such
  // file: an empty table); kUnreadable (the file is there but could not be
  // read: never to be written over); kDamaged (read, but not a table).
  // The table is re-initialised with an empty name unless kLoaded.
  enum LoadResult { kLoaded = 0, kMissing = 1, kUnreadable = -2, kDamaged = -1 };
  [[nodiscard]] int Load(const std::string& path);
  // Line count, or -1; atomic. A shared table writes the file Load read
  // under the write lock `Share` named; when another program wrote it
  // meanwhile, it is read again and this table's changes since Load go on
  // top of it, record by name (a record another program added, changed or
  // removed while this one left it alone stays as it left it). -1 with a
  // message naming the file when it could not be read again.
  [[nodiscard]] int Write(const std::string& path);
  void Share(const std::string& lockPath) { lockPath_ = lockPath; }
  [[nodiscard]] std::string Bytes() const;  // the file's bytes

  [[nodiscard]] const char* Header() const { return lines_.Item(1); }
  [[nodiscard]] std::string TableName() const;
  [[nodiscard]] int RecordCount() const { return lines_.Count() - 2; }
  [[nodiscard]] const char* Record(int i) const;      // null when out of range
  [[nodiscard]] std::string Text(int i) const;        // the optional text, "" without
  [[nodiscard]] std::string Name(int i) const;        // the name field
  [[nodiscard]] int GetInt(int i, int offset) const;  // 0 when out of range
  // Changes one integer of a record or of the header in place (flags,
  // counters); false when out of range.
  [[nodiscard]] bool SetInt(int i, int offset, int value);
  [[nodiscard]] int HeaderInt(int offset) const;
  void SetHeaderInt(int offset, int value);
  [[nodiscard]] std::string HeaderText() const;  // the 50-byte text at 64
  void SetHeaderText(const std::string& text);

  // A record with its initial values.
  [[nodiscard]] static std::string Blank();
  static void SetName(std::string& record, const std::string& name);

  // Stores a record (132 bytes; a shorter one is completed with initial
  // values). 0; 1 mode 2 without record i; -3 duplicate name; -4 text over
  // 255 bytes; -10 unknown mode. Refusals show their message.
  [[nodiscard]] int Put(int mode, int i, const std::string& record, const char* text = nullptr);
  [[nodiscard]] int Append(const std::string& record, const char* text = nullptr) {
    return Put(kAppend, 0, record, text);
  }
  [[nodiscard]] int InsertAt(int i, const std::string& record, const char* text = nullptr) {
    return Put(kInsert, i, record, text);
  }
  [[nodiscard]] int ReplaceAt(int i, const std::string& record, const char* text = nullptr) {
    return Put(kReplace, i, record, text);
  }
  [[nodiscard]] int Swap(int i, int j);  // 1, or 0 when either is out of range
  // Integer key 11..14, 21 or 22.
  [[nodiscard]] int FindByInt(int key, int value) const;
  // which: 0 name, 1 second text, 2 third text; ASCII case ignored.
  [[nodiscard]] int FindByText(int which, std::string_view text) const;
  int Delete(int i);  // 0, or -2 with its message
  void ResetKeepName();

 private:
  void SetCount();
  void Warn(const char* utf8) const;
  void Remember(const std::string& path);
  [[nodiscard]] bool TakeOutside(const std::string& path);
  [[nodiscard]] int WriteBytes(const std::string& path) const;

  CMyLine lines_;
  Prompter* prompter_;
  std::string lockPath_;  // empty: not shared
  std::string readPath_;  // the file as last read or written, and its records
  fileops::FileId readId_;
  std::vector<std::pair<std::string, std::string>> base_;
};
