#include "screens/ScreenFormat.h"

#include <cstring>

#include "platform/LittleEndian.h"

namespace jos {

std::array<PenEntry, 8> ScreenLayout::DefaultPens() {
  return {{{0, 35, 0},
           {0, 30, 0},
           {0, 70, 0},
           {2, 1, 0},
           {2, 1, 0x7D7D7D},
           {0, 30, 0x7D0000},
           {0, 30, 0x007D00},
           {0, 30, 0x00007D}}};
}
std::array<FillEntry, 8> ScreenLayout::DefaultFills() {
  return {{{0, 0, 0x7D7D7D},
           {0, 0, 0x5A5A5A},
           {0, 0, 0x7D7D7D},
           {0, 0, 0xBEBEBE},
           {0, 0, 0xDCDCDC},
           {0, 0, 0xF9E7DF},
           {0, 0, 0xBDF1FA},
           {0, 0, 0xBDCDFA}}};
}

namespace {

bool ParseView(ByteCursor& in, ViewBlock& v) {
  const uint8_t* p = in.Take(kViewBlockSize);
  if (!p) return false;
  v.mode = le::GetI32(p);
  for (int i = 0; i < 3; ++i) v.raw4[i] = le::GetI32(p + 4 + 4 * i);
  for (int i = 0; i < 2; ++i) v.bandWidth[i] = le::GetI32(p + 16 + 4 * i);
  for (int m = 0; m < 2; ++m)
    for (int c = 0; c < 4; ++c) {
      const uint8_t* q = p + 24 + 32 * m + 8 * c;
      v.keyColumns[m][c] = {le::GetI32(q), le::GetI32(q + 4)};
    }
  for (int i = 0; i < 10; ++i) v.fillOn[i] = p[88 + i];
  v.raw98 = {p[98], p[99]};
  for (int i = 0; i < 10; ++i) v.fillColour[i] = le::GetI32(p + 100 + 4 * i);
  for (int i = 0; i < 10; ++i) v.textColour[i] = le::GetI32(p + 140 + 4 * i);
  v.linesPerPage = le::GetI32(p + 180);
  v.listRows = le::GetI32(p + 184);
  v.monthOffset = le::GetI32(p + 188);
  v.firstDay = le::GetI32(p + 192);
  v.raw196 = {le::GetI32(p + 196), le::GetI32(p + 200)};
  v.monthsBefore = le::GetI32(p + 204);
  v.monthsAfter = le::GetI32(p + 208);
  return true;
}

void AppendView(std::string& out, const ViewBlock& v) {
  le::AppendI32(out, v.mode);
  for (int32_t w : v.raw4) le::AppendI32(out, w);
  for (int32_t w : v.bandWidth) le::AppendI32(out, w);
  for (const auto& mode : v.keyColumns)
    for (const auto& c : mode) {
      le::AppendI32(out, c.width);
      le::AppendI32(out, c.kind);
    }
  for (uint8_t b : v.fillOn) out.push_back(static_cast<char>(b));
  for (uint8_t b : v.raw98) out.push_back(static_cast<char>(b));
  for (int32_t w : v.fillColour) le::AppendI32(out, w);
  for (int32_t w : v.textColour) le::AppendI32(out, w);
  for (int32_t w : {v.linesPerPage, v.listRows, v.monthOffset, v.firstDay, v.raw196[0], v.raw196[1],
                    v.monthsBefore, v.monthsAfter})
    le::AppendI32(out, w);
}

double GetF64(const uint8_t* p) {
  uint64_t u = 0;
  for (int i = 7; i >= 0; --i) u = (u << 8) | p[i];
  double d;
  std::memcpy(&d, &u, sizeof d);
  return d;
}
void AppendF64(std::string& out, double d) {
  uint64_t u;
  std::memcpy(&u, &d, sizeof u);
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

}  // namespace

bool ParseLayoutBody(ByteCursor& in, ScreenLayout& l) {
  int32_t skip;
  uint8_t b;
  if (!in.I32(skip) || !in.I32(l.word14) || !in.I32(l.word18) || !in.I32(l.sheetWidth) ||
      !in.I32(l.rowHeight) || !in.U8(l.byte30) || !in.U8(l.ruledPage) || !in.I32(l.paperWidth) ||
      !in.I32(l.pageHeight) || !in.I32(l.word40) || !in.I32(l.headerHeight) || !in.I32(l.word48) ||
      !in.I32(l.word52) || !in.I32(l.word56) || !in.I32(l.rowsPerPage) || !in.I32(l.options) ||
      !in.I32(l.word68) || !in.U8(b))
    return false;
  l.byte72 = b;
  for (auto& p : l.pens)
    if (!in.I32(p.style) || !in.I32(p.width) || !in.I32(p.colour)) return false;
  for (auto& f : l.fills)
    if (!in.I32(f.a) || !in.I32(f.b) || !in.I32(f.colour)) return false;
  for (auto& w : l.words265)
    if (!in.I32(w)) return false;
  return ParseView(in, l.view);
}

void AppendLayout(std::string& out, const ScreenLayout& l) {
  le::AppendI32(out, l.version);
  out += "MS";
  le::AppendI32(out, l.word6);
  le::AppendI32(out, 0);  // reserved
  for (int32_t w : {l.word14, l.word18, l.sheetWidth, l.rowHeight}) le::AppendI32(out, w);
  out.push_back(static_cast<char>(l.byte30));
  out.push_back(static_cast<char>(l.ruledPage));
  for (int32_t w : {l.paperWidth, l.pageHeight, l.word40, l.headerHeight, l.word48, l.word52, l.word56,
                    l.rowsPerPage, l.options, l.word68})
    le::AppendI32(out, w);
  out.push_back(static_cast<char>(l.byte72));
  for (const auto& p : l.pens)
    for (int32_t w : {p.style, p.width, p.colour}) le::AppendI32(out, w);
  for (const auto& f : l.fills)
    for (int32_t w : {f.a, f.b, f.colour}) le::AppendI32(out, w);
  for (int32_t w : l.words265) le::AppendI32(out, w);
  AppendView(out, l.view);
}

bool ParseItemHeader(ByteCursor& in, ItemHeader& h) {
  const uint8_t* p = in.Take(kItemHeaderSize);
  if (!p) return false;
  h.visible = p[0];
  h.kind = le::GetI32(p + 4);
  h.word8 = le::GetI32(p + 8);
  h.field = le::GetFixedText(p + 12, 30);
  h.aggregate = le::GetFixedText(p + 42, 6);
  for (int i = 0; i < 15; ++i) h.words[i] = le::GetI32(p + 48 + 4 * i);
  return true;
}

void AppendItemHeader(std::string& out, const ItemHeader& h) {
  char b[kItemHeaderSize] = {};
  b[0] = static_cast<char>(h.visible);
  le::PutI32(b + 4, h.kind);
  le::PutI32(b + 8, h.word8);
  le::PutFixedText(b + 12, 30, h.field);
  le::PutFixedText(b + 42, 6, h.aggregate);
  for (int i = 0; i < 15; ++i) le::PutI32(b + 48 + 4 * i, h.words[i]);
  out.append(b, sizeof b);
}

void ParseLogFont(const uint8_t* p, LogFont& f) {
  f.height = le::GetI32(p);
  f.width = le::GetI32(p + 4);
  f.escapement = le::GetI32(p + 8);
  f.orientation = le::GetI32(p + 12);
  f.weight = le::GetI32(p + 16);
  f.italic = p[20], f.underline = p[21], f.strikeOut = p[22], f.charSet = p[23];
  f.outPrecision = p[24], f.clipPrecision = p[25], f.quality = p[26], f.pitchAndFamily = p[27];
  f.faceName = le::GetFixedText(p + 28, 32);
}

void AppendLogFont(std::string& out, const LogFont& f) {
  char b[kLogFontSize] = {};
  le::PutI32(b, f.height);
  le::PutI32(b + 4, f.width);
  le::PutI32(b + 8, f.escapement);
  le::PutI32(b + 12, f.orientation);
  le::PutI32(b + 16, f.weight);
  const uint8_t bytes[8] = {f.italic,       f.underline,     f.strikeOut, f.charSet,
                            f.outPrecision, f.clipPrecision, f.quality,   f.pitchAndFamily};
  std::memcpy(b + 20, bytes, 8);
  le::PutFixedText(b + 28, 32, f.faceName);
  out.append(b, sizeof b);
}

void ParseFontRecord(const uint8_t* p, FontRecord& f) {
  f.x = le::GetI32(p);
  f.y = le::GetI32(p + 4);
  f.width = le::GetI32(p + 8);
  f.height = le::GetI32(p + 12);
  f.fontHeight = le::GetI32(p + 16);
  f.word20 = le::GetI32(p + 20);
  f.hscale = GetF64(p + 24);
  f.vscale = GetF64(p + 32);
  f.align = le::GetI32(p + 40);
  f.vplace = le::GetI32(p + 44);
  f.vertical = le::GetI32(p + 48);
  f.background = le::GetI32(p + 52);
  f.flags = le::GetI32(p + 56);
  f.bkColour = le::GetI32(p + 60);
  f.textColour = le::GetI32(p + 64);
  ParseLogFont(p + 68, f.font);
  f.textLength = le::GetI32(p + 128);
  f.capacity = le::GetI32(p + 132);
  std::memcpy(f.tail.data(), p + 136, 8);
}

void AppendFontRecord(std::string& out, const FontRecord& f) {
  for (int32_t w : {f.x, f.y, f.width, f.height, f.fontHeight, f.word20}) le::AppendI32(out, w);
  AppendF64(out, f.hscale);
  AppendF64(out, f.vscale);
  for (int32_t w : {f.align, f.vplace, f.vertical, f.background, f.flags, f.bkColour, f.textColour})
    le::AppendI32(out, w);
  AppendLogFont(out, f.font);
  le::AppendI32(out, f.textLength);
  le::AppendI32(out, f.capacity);
  out.append(reinterpret_cast<const char*>(f.tail.data()), 8);
}

}  // namespace jos
