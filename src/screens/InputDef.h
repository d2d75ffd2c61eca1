// The input definition "scrin.jsc" of a division: an "LI" list whose item 0
// is a 164-byte header and whose items F..F+N-1 are 392-byte control records
// that place the controls of the record input form.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CMyLine;
class Prompter;

namespace jsc {

// Where the header keeps its fields.
enum HeaderOffset {
  kFirstControlAt = 4,
  kControlCountAt = 8,
  kFormWidthAt = 44,
  kInputHeightAt = 48,
  kDataKindAt = 52,
  kFontModeAt = 120,
  kReservedAt = 152,  // skipped by the reader, written as 0
  kPackageIdAt = 156,
};

constexpr int kHeaderSize = 164;
constexpr int kControlSize = 392;

enum ControlKind { kText = 0, kCombo = 1, kMemo = 2, kPhoto = 3, kListStrip = 4, kCaption = 99 };
enum DataType { kNumber = 1, kDecimal = 2, kDate = 10, kTime = 15, kTime2 = 16, kFlatCaption = 90 };

struct Header {
  int32_t firstControl = 1;  // F
  int32_t controlCount = 0;  // N; F + N = items in the file
  int32_t formWidth = 0;     // pixels (the form is never narrower than 350)
  int32_t inputHeight = 0;
  int32_t dataKind = 0;                    // 0 by date, 100 by page and line
  int32_t fontMode = 0;                    // 1: each control's own face and height
  int32_t packageId = 0;                   // package number x 1000
  std::array<uint8_t, kHeaderSize> raw{};  // the whole item, for what is not interpreted
  bool operator==(const Header&) const = default;
};

struct Control {
  std::string field;  // record field, at most 31 bytes
  std::string alias;  // display name; the field name when stored empty
  int32_t kind = 0;
  int32_t slot = 0;
  int32_t tabMode = 0;       // -1 no tab stop, -2 read-only
  std::string defaultValue;  // "=NOW" (any case) for today
  int32_t dataType = 0;
  int32_t decimals = 0;
  std::string formula;  // calculation, empty when not calculated
  int32_t left = 0, top = 0, width = 0, height = 0;
  int32_t maxLength = 0;  // 0: the kind's default
  uint8_t imeMode = 0;
  int32_t listFlag = 0;
  int32_t linkedSlot = -1;
  int32_t fontHeight = 0;
  std::string faceName;
  std::array<uint8_t, kControlSize> raw{};  // the whole record as stored
  bool operator==(const Control&) const = default;

  bool IsField() const { return kind >= kText && kind <= kPhoto; }
};

struct InputDef {
  Header header;
  std::vector<Control> controls;  // accepted records, in file order
};

// The slots the form offers for a kind: 20 text editors, 10 combo boxes,
// one memo and one photo box, 20 captions; -1 for other kinds, 0 for the strip
// (position only, any slot).
int SlotCount(int kind);

void ParseHeader(const uint8_t* p, Header& h);
void ParseControl(const uint8_t* p, Control& c);
// Writes the interpreted fields over `raw` (so carried bytes survive).
void PutHeader(uint8_t* p, const Header& h);
void PutControl(uint8_t* p, const Control& c);

// Registers a display name as the alias of a field; nonzero when refused.
using AliasSink = std::function<int(const std::string& field, const std::string& alias)>;

// Reads the definition from a loaded list. 0; 1 no items; -2 header not 164
// bytes; -3 counts do not match the items; -4 a control record not 392 bytes.
// Refusals are told through `prompter` ("注意"); so is a refused alias, after
// which reading goes on.
int ReadInputDef(const CMyLine& list, InputDef& out, Prompter* prompter, const AliasSink& aliases = {});
// Loads "scrin.jsc" from `path`: 1 also when the file is missing.
int LoadInputDef(const std::string& path, InputDef& out, Prompter* prompter, const AliasSink& aliases = {});

}  // namespace jsc
