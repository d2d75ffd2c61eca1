// Field definitions of a table: the 116-byte definition record and the
// validated list `CMyField` a table is defined from.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// Layout of one field definition as stored in ".jdt" files.
namespace fielddef {
constexpr int kSize = 116;
constexpr int kNameOffset = 0;
constexpr int kNameSize = 31;  // at most 30 bytes of text + NUL
constexpr int kAliasOffset = 31;
constexpr int kAliasSize = 30;  // at most 29 bytes of text + NUL
constexpr int kTypeOffset = 80;
constexpr int kMaxLengthOffset = 84;
constexpr int kFlagOffset = 88;
constexpr int kTypeText = 0;
constexpr int kTypeNumber = 1;
constexpr int kMaxText = 5000;  // longest value of a text field
constexpr int kMaxNumber = 9;   // most digits of a number field
}  // namespace fielddef

// One field: name and alias are CP932, compared without ASCII case.
struct FieldDef {
  std::string name;   // at most 30 bytes
  std::string alias;  // at most 29 bytes; empty = none
  int type = fielddef::kTypeText;
  int maxLength = 0;  // bytes
  int flag = 0;       // 0 or 1, kept but not interpreted by the store

  // Writes the 116-byte form into `out` (reserved bytes zero).
  void Encode(char* out) const;
  // Reads the 116-byte form; over-long texts are cut to their limits.
  static FieldDef Decode(const char* in);
};

// An ordered list of validated field definitions.
class CMyField {
 public:
  static constexpr int kOk = 0;
  static constexpr int kDuplicate = 200;  // a field of that name exists
  static constexpr int kBadType = 400;
  static constexpr int kBadLength = 401;
  static constexpr int kBadFlag = 402;

  void Clear() { defs_.clear(); }
  // 0; 400 type not text/number; 401 length above 5000 (text) / 9 (number)
  // or negative; 402 flag not 0/1; 200 name taken (ASCII case ignored).
  [[nodiscard]] int Add(const FieldDef& def);
  int Count() const { return static_cast<int>(defs_.size()); }
  // REQUIRES: 0 <= i < Count().
  const FieldDef& Get(int i) const { return defs_[static_cast<size_t>(i)]; }
  const std::vector<FieldDef>& All() const { return defs_; }

 private:
  std::vector<FieldDef> defs_;
};
