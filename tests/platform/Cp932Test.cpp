#include <gtest/gtest.h>

#include "platform/Collate.h"
#include "platform/Cp932.h"

TEST(Cp932, WindowsCharactersRoundTripAsWindowsWritesThem) {
  struct Case {
    const char* utf8;
    const char* sj;
  } cases[] = {
      {"～", "\x81\x60"},  // FULLWIDTH TILDE, not WAVE DASH
      {"①", "\x87\x40"},
      {"∥", "\x81\x61"},
      {"￢", "\x81\xCA"},
      {"\\", "\\"},  // backslash stays backslash, not yen
      {"日記", "\x93\xFA\x8B\x4C"},
      {"ｱ", "\xB1"},  // half-width katakana is one byte
  };
  for (const auto& c : cases) {
    std::string sj;
    ASSERT_EQ(0, cp932::FromUtf8(c.utf8, sj)) << c.utf8;
    EXPECT_EQ(std::string(c.sj), sj) << c.utf8;
    std::string back;
    ASSERT_EQ(0, cp932::ToUtf8(sj, back));
    EXPECT_EQ(std::string(c.utf8), back);
  }
}

TEST(Cp932, BadInputIsReportedNotCrashed) {
  std::string out;
  size_t bad = 99;
  EXPECT_EQ(-1, cp932::FromUtf8("ab\xF0\x9F\x98\x80", out, &bad));  // emoji has no CP932 form
  EXPECT_EQ(2u, bad);
  EXPECT_EQ(-1, cp932::FromUtf8("\xC3", out));  // truncated UTF-8
  // A lone lead byte and an undefined byte come back with replacement marks.
  EXPECT_EQ(-1, cp932::ToUtf8("a\x81", out));
  EXPECT_EQ(-1, cp932::ToUtf8("a\xA0z", out));
  EXPECT_NE(std::string::npos, out.find('z'));
  EXPECT_FALSE(cp932::IsValid("\x81"));
  EXPECT_TRUE(cp932::IsValid("\x93\xFA"));
}

TEST(Cp932, CharStartNeverLandsOnATrailByte) {
  std::string s = "a" + "日"_sj + "b";  // a, lead, trail, b
  EXPECT_EQ(0u, cp932::CharStart(s, 0));
  EXPECT_EQ(1u, cp932::CharStart(s, 1));
  EXPECT_EQ(1u, cp932::CharStart(s, 2));
  EXPECT_EQ(3u, cp932::CharStart(s, 3));
}

TEST(Collate, AsciiCaseFoldsButTrailBytesDoNot) {
  EXPECT_EQ(0, collate::CompareNoCase("MEM001", "mem001"));
  EXPECT_NE(0, collate::Compare("MEM001", "mem001"));
  // "ア" is 83 41 and "ャ" is 83 61: folding the trail byte 0x41 would make
  // them equal.
  EXPECT_NE(0, collate::CompareNoCase("ア"_sj, "ャ"_sj));
  EXPECT_LT(collate::CompareNoCase("ア"_sj, "ャ"_sj), 0);
}

TEST(Collate, OrdersKeysAsBytes) {
  EXPECT_LT(collate::Compare("2020/01/31", "2020/02/01"), 0);
  EXPECT_LT(collate::Compare("00001/00030", "00002/00001"), 0);
  EXPECT_LT(collate::Compare("abc", "abcd"), 0);
  EXPECT_GT(collate::Compare("b", "abcd"), 0);
  EXPECT_LT(collate::Compare("z", "日"_sj), 0);  // double-byte after ASCII
  EXPECT_LT(collate::CompareNoCase("", "a"), 0);
  EXPECT_TRUE(collate::EqualNoCase("Key", "kEY"));
  EXPECT_FALSE(collate::EqualNoCase("Key", "Keys"));
}
