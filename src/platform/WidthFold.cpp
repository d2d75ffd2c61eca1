#include "platform/WidthFold.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "platform/Cp932.h"

namespace widthfold {
namespace {

// Full-width forms of the ASCII characters, by their CP932 codes (the
// characters U+FF01..U+FF5E, U+3000 and U+FFE5, which Japanese keyboards
// give for "\"; the two quotes have an NEC and an IBM code each).
struct Wide {
  uint16_t code;
  char ascii;
};
constexpr Wide kWide[] = {
    {0x8140, ' '}, {0x8143, ','},  {0x8144, '.'},  {0x8146, ':'}, {0x8147, ';'},  {0x8148, '?'},
    {0x8149, '!'}, {0x814D, '`'},  {0x814F, '^'},  {0x8151, '_'}, {0x815E, '/'},  {0x815F, '\\'},
    {0x8160, '~'}, {0x8162, '|'},  {0x8169, '('},  {0x816A, ')'}, {0x816D, '['},  {0x816E, ']'},
    {0x816F, '{'}, {0x8170, '}'},  {0x817B, '+'},  {0x817C, '-'}, {0x8181, '='},  {0x8183, '<'},
    {0x8184, '>'}, {0x818F, '\\'}, {0x8190, '$'},  {0x8193, '%'}, {0x8194, '#'},  {0x8195, '&'},
    {0x8196, '*'}, {0x8197, '@'},  {0xEEFB, '\''}, {0xEEFC, '"'}, {0xFA56, '\''}, {0xFA57, '"'},
};

// Full-width katakana (and punctuation) of the half-width bytes 0xA1..0xDF.
constexpr uint16_t kKana[63] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348,  // ｡ .. ｫ
    0x8383, 0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349,          // ｬ .. ｵ
    0x834A, 0x834C, 0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C,          // ｶ .. ｿ
    0x835E, 0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C, 0x836D,          // ﾀ .. ﾉ
    0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382,          // ﾊ .. ﾓ
    0x8384, 0x8386, 0x8388, 0x8389, 0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393,          // ﾔ .. ﾝ
    0x814A, 0x814B,                                                                          // ﾞ ﾟ
};
constexpr unsigned char kVoiced = 0xDE;
constexpr unsigned char kSemiVoiced = 0xDF;

// The half-width byte a full-width kana or mark is folded from (alone or
// with the mark after it), by the code's trail byte; 0 when none. Every
// such code has the lead byte 0x81 or 0x83.
struct HalfTables {
  std::array<unsigned char, 256> lead81{};
  std::array<unsigned char, 256> lead83{};
  constexpr void Put(unsigned code, unsigned char half) {
    (code >> 8 == 0x81 ? lead81 : lead83)[code & 0xFF] = half;
  }
};
constexpr HalfTables MakeHalfTables() {
  HalfTables t{};
  for (unsigned h = 0xA1; h <= 0xDF; ++h) {
    const unsigned base = kKana[h - 0xA1];
    const auto half = static_cast<unsigned char>(h);
    t.Put(base, half);
    if (h == 0xB3) t.Put(0x8394, half);  // ｳﾞ
    if ((h >= 0xB6 && h <= 0xC4) || (h >= 0xCA && h <= 0xCE)) t.Put(base + 1, half);
    if (h >= 0xCA && h <= 0xCE) t.Put(base + 2, half);
  }
  return t;
}
constexpr HalfTables kHalf = MakeHalfTables();

// ASCII byte of a full-width code, 0 when it has none; two tables by lead byte.
struct WideTables {
  std::array<char, 256> lead81{};
  std::array<char, 256> lead82{};
  std::array<char, 256> leadEE{};
  std::array<char, 256> leadFA{};
};
constexpr WideTables MakeTables() {
  WideTables t{};
  for (const Wide& w : kWide) {
    const unsigned lead = w.code >> 8, trail = w.code & 0xFF;
    if (lead == 0x81) t.lead81[trail] = w.ascii;
    if (lead == 0xEE) t.leadEE[trail] = w.ascii;
    if (lead == 0xFA) t.leadFA[trail] = w.ascii;
  }
  for (unsigned c = 0; c < 10; ++c) t.lead82[0x4F + c] = static_cast<char>('0' + c);
  for (unsigned c = 0; c < 26; ++c) {
    t.lead82[0x60 + c] = static_cast<char>('A' + c);
    t.lead82[0x81 + c] = static_cast<char>('a' + c);
  }
  return t;
}
constexpr WideTables kTables = MakeTables();

inline char AsciiOf(unsigned char lead, unsigned char trail) {
  switch (lead) {
    case 0x81:
      return kTables.lead81[trail];
    case 0x82:
      return kTables.lead82[trail];
    case 0xEE:
      return kTables.leadEE[trail];
    case 0xFA:
      return kTables.leadFA[trail];
    default:
      return 0;
  }
}

// The full-width kana of half-width `c` with the mark that follows it
// joined in when CP932 has the joined character; `joined` tells.
inline uint16_t Kana(unsigned char c, unsigned char next, bool& joined) {
  const uint16_t base = kKana[c - 0xA1];
  joined = false;
  if (next == kVoiced) {
    if (c == 0xB3) {  // ｳﾞ
      joined = true;
      return 0x8394;
    }
    if ((c >= 0xB6 && c <= 0xC4) || (c >= 0xCA && c <= 0xCE)) {  // ｶ..ﾄ, ﾊ..ﾎ
      joined = true;
      return static_cast<uint16_t>(base + 1);
    }
  } else if (next == kSemiVoiced && c >= 0xCA && c <= 0xCE) {
    joined = true;
    return static_cast<uint16_t>(base + 2);
  }
  return base;
}

}  // namespace

void Fold(std::string_view sj, std::string& out) {
  const size_t n = sj.size();
  // a half-width kana is the one character that can grow (one byte to two):
  // written through a pointer into room for the most, then cut to length
  out.resize(2 * n);
  char* o = out.data();
  const auto* s = reinterpret_cast<const unsigned char*>(sj.data());
  size_t i = 0;
  while (i < n) {
    const unsigned char c = s[i];
    if (c < 0x80) {
      *o++ = static_cast<char>(c);
      ++i;
    } else if (cp932::IsLead(c)) {
      if (i + 1 >= n) {
        *o++ = static_cast<char>(c);
        ++i;
        continue;
      }
      const unsigned char t = s[i + 1];
      if (char a = AsciiOf(c, t)) {
        *o++ = a;
      } else {
        o[0] = static_cast<char>(c);
        o[1] = static_cast<char>(t);
        o += 2;
      }
      i += 2;
    } else if (c >= 0xA1 && c <= 0xDF) {
      bool joined = false;
      const unsigned char next = i + 1 < n ? s[i + 1] : 0;
      const uint16_t code = Kana(c, next, joined);
      o[0] = static_cast<char>(code >> 8);
      o[1] = static_cast<char>(code & 0xFF);
      o += 2;
      i += joined ? 2 : 1;
    } else {
      *o++ = static_cast<char>(c);
      ++i;
    }
  }
  out.resize(static_cast<size_t>(o - out.data()));
}

bool HasFoldedForms(std::string_view folded) {
  const size_t n = folded.size();
  for (size_t i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(folded[i]);
    if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) return true;
    if (!cp932::IsLead(c) || i + 1 >= n) continue;
    const auto t = static_cast<unsigned char>(folded[++i]);
    if (c == 0x83 && t <= 0x96) return true;  // katakana
    if (c != 0x81) continue;
    for (int k = 0; k < 63; ++k)
      if (kKana[k] == (0x8100 | t)) return true;  // 。「」、・ー゛゜
  }
  return false;
}

bool MayGive(const char* sj, char lead, char trail) {
  const auto l = static_cast<unsigned char>(lead);
  const auto t = static_cast<unsigned char>(trail);
  const unsigned char half = l == 0x81 ? kHalf.lead81[t] : l == 0x83 ? kHalf.lead83[t] : 0;
  if (trail == '\0') return true;
  // one pass for the character's second byte and its half-width form, to
  // the end of the text
  const char set[3] = {trail, half ? static_cast<char>(half) : trail, '\0'};
  const char* walk = sj;  // a character start at or before p
  for (const char* p = std::strpbrk(sj, set); p; p = std::strpbrk(p + 1, set)) {
    if (*p == trail) {
      if (p > sj && p[-1] == lead) return true;
      continue;
    }
    // the half-width byte counts only where it starts a character: the
    // lead-range bytes just before it pair up when it does
    const char* q = p;
    while (q > walk && cp932::IsLead(q[-1])) --q;
    if (((p - q) & 1) == 0) return true;
    walk = p + 1;
  }
  return false;
}

std::string Fold(std::string_view sj) {
  std::string out;
  Fold(sj, out);
  return out;
}

std::string FoldAscii(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto b0 = static_cast<unsigned char>(utf8[i]);
    if (b0 == 0xEF && i + 2 < utf8.size()) {
      // U+FF01..U+FF5E are EF BC 81..EF BC BF and EF BD 80..EF BD 9E
      const auto b1 = static_cast<unsigned char>(utf8[i + 1]);
      const auto b2 = static_cast<unsigned char>(utf8[i + 2]);
      const unsigned cp = ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
      if ((b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80 && cp >= 0xFF01 && cp <= 0xFF5E) {
        out += static_cast<char>(cp - 0xFF01 + 0x21);
        i += 2;
        continue;
      }
    }
    if (b0 == 0xE3 && i + 2 < utf8.size() && utf8[i + 1] == '\x80' && utf8[i + 2] == '\x80') {
      out += ' ';  // U+3000
      i += 2;
      continue;
    }
    out += utf8[i];
  }
  return out;
}

}  // namespace widthfold
