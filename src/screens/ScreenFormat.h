// The display-screen file (".jos") layout, shared by the reader (CMyScr) and
// the writer (catalogue/ScreenWriter), so both agree on every offset. All
// integers are signed 32-bit little-endian; lengths are 1/100 mm.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "platform/Canvas.h"
#include "screens/ByteCursor.h"

namespace jos {

constexpr int kMinVersion = 200;
constexpr int kMaxItems = 102;  // the model's fixed item array
constexpr int kFontImageSize = 144;
constexpr int kItemHeaderSize = 108;
constexpr int kViewBlockSize = 212;
constexpr int kHeaderSize = 489;  // up to the item count
constexpr int kLogFontSize = 60;
// Longest text the reader accepts, for the three screen texts and an item's
// text; real screens stay far below (conditions, captions).
constexpr int kMaxTextLength = 65536;

struct PenEntry {
  int32_t style = 0, width = 0, colour = 0;
  bool operator==(const PenEntry&) const = default;
};
struct FillEntry {
  int32_t a = 0, b = 0, colour = 0;  // a, b: carried, not used
  bool operator==(const FillEntry&) const = default;
};

// A key column of the sheet: width in pixels and the item kind drawn in it.
struct KeyColumn {
  int32_t width = 0, kind = 0;
  bool operator==(const KeyColumn&) const = default;
};

// The 212-byte view block the main view interprets.
struct ViewBlock {
  int32_t mode = 0;                                      // 0 sheet of rows, 10 extraction list
  std::array<int32_t, 3> raw4{};                         // offset 4, carried
  std::array<int32_t, 2> bandWidth{};                    // key area width for mode 0 and mode 10
  std::array<std::array<KeyColumn, 4>, 2> keyColumns{};  // mode 0, mode 10; width 0 ends a list
  std::array<uint8_t, 10> fillOn{};                      // colour slots: fill that slot's rows
  std::array<uint8_t, 2> raw98{};
  std::array<int32_t, 10> fillColour{};
  std::array<int32_t, 10> textColour{};
  int32_t linesPerPage = 30;
  int32_t listRows = 30;
  int32_t monthOffset = 0;
  int32_t firstDay = 1;
  std::array<int32_t, 2> raw196{};
  int32_t monthsBefore = 4;
  int32_t monthsAfter = 3;
  ViewBlock() { fillColour.fill(0xFFFFFF); }
  bool operator==(const ViewBlock&) const = default;
};

// Everything before the item list, with the values a screen has before any
// file is read.
struct ScreenLayout {
  int32_t version = 200;
  int32_t word6 = 0;
  int32_t word14 = 0;
  int32_t word18 = -1;
  int32_t sheetWidth = 19000;
  int32_t rowHeight = 500;
  uint8_t byte30 = 0;
  uint8_t ruledPage = 1;  // 1: footer band under the rows, first-row frame sets
  int32_t paperWidth = 21000;
  int32_t pageHeight = 29700;
  int32_t word40 = 1000;
  int32_t headerHeight = 0;
  int32_t word48 = 0, word52 = 0, word56 = 1;
  int32_t rowsPerPage = 46;
  int32_t options = 0;  // bits tested by the main view
  int32_t word68 = 0;
  uint8_t byte72 = 1;
  std::array<PenEntry, 8> pens = DefaultPens();
  std::array<FillEntry, 8> fills = DefaultFills();
  std::array<int32_t, 3> words265{};
  ViewBlock view;

  static std::array<PenEntry, 8> DefaultPens();
  static std::array<FillEntry, 8> DefaultFills();
  bool operator==(const ScreenLayout&) const = default;
};

// The 108-byte item header; the parts nothing reads are not kept.
struct ItemHeader {
  uint8_t visible = 1;  // 1: drawn and hit-tested
  int32_t kind = 0;     // 1 caption, 201 image, else data item
  int32_t word8 = 0;
  std::string field;                // at most 29 bytes
  std::string aggregate;            // "SUM" marks a total item; at most 5 bytes
  std::array<int32_t, 15> words{};  // offsets 48..104

  int32_t Decimals() const { return words[7]; }    // offset 76
  int32_t BandBits() const { return words[8]; }    // offset 80: 2 header, 4 footer
  int32_t FrameFill() const { return words[10]; }  // offset 88
  int32_t RowFrames() const { return words[11]; }  // offset 92
  void SetBandBits(int32_t v) { words[8] = v; }
  void SetFrameFill(int32_t v) { words[10] = v; }
  void SetRowFrames(int32_t v) { words[11] = v; }
  bool operator==(const ItemHeader&) const = default;
};

// The persistent 144-byte part of a screen item's font object.
struct FontRecord {
  int32_t x = 0, y = 0, width = 0, height = 0;  // box, logical units
  int32_t fontHeight = -562;                    // logical units, negative = character height
  int32_t word20 = 0;
  double hscale = 0, vscale = 0;  // replaced at run time
  int32_t align = 0;              // 0 left, 1 centre, 2 right
  int32_t vplace = 0;             // 0 multi-line top, 1 centre, 2 bottom, else top
  int32_t vertical = 0;           // 1: top to bottom
  int32_t background = 0;         // 1 opaque
  int32_t flags = 1;              // bit 0: own text colour
  int32_t bkColour = 0xFFFFFF;
  int32_t textColour = 0;
  LogFont font;
  int32_t textLength = 0;
  int32_t capacity = 0;
  std::array<uint8_t, 8> tail{};
  bool operator==(const FontRecord&) const = default;
};

// Field-by-field readers; false on a short read. ParseFontRecord reads
// exactly kFontImageSize bytes.
// The layout from offset 10 on (after version, magic and word 6).
bool ParseLayoutBody(ByteCursor& in, ScreenLayout& out);
bool ParseItemHeader(ByteCursor& in, ItemHeader& out);
void ParseFontRecord(const uint8_t* p, FontRecord& out);
void ParseLogFont(const uint8_t* p, LogFont& out);

void AppendLayout(std::string& out, const ScreenLayout& l);
void AppendItemHeader(std::string& out, const ItemHeader& h);
void AppendFontRecord(std::string& out, const FontRecord& f);
void AppendLogFont(std::string& out, const LogFont& f);

}  // namespace jos
