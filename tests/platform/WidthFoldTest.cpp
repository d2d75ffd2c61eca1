#include <gtest/gtest.h>

#include "platform/Cp932.h"
#include "platform/WidthFold.h"

TEST(WidthFold, BothWidthsOfACharacterFoldToOneForm) {
  struct Case {
    const char* utf8;
    const char* folded;
  } cases[] = {
      {"ＡＢＣｘｙｚ０９", "ABCxyz09"},
      {"ｶﾀｶﾅ", "カタカナ"},
      {"カタカナ", "カタカナ"},
      {"ｶﾞｷﾞｸﾞ ﾀﾞﾁﾞ ﾊﾞﾊﾟﾎﾟ", "ガギグ ダヂ バパポ"},
      {"ｳﾞｧｲｵﾘﾝ", "ヴァイオリン"},
      {"ﾜﾞ", "ワ゛"},  // no joined form in CP932: the mark stays a mark
      {"ｱﾞ", "ア゛"},
      {"ﾟ", "゜"},
      {"ｶｰﾄﾞ", "カード"},
      {"｡｢｣､･ｦｯｬ", "。「」、・ヲッャ"},
      {"（１）＋－＝！？＠＃＄％＆＊／＼￥～｜＿＾｀；：，．［］｛｝＜＞＂＇",
       "(1)+-=!?@#$%&*/\\\\~|_^`;:,.[]{}<>\"'"},
      {"　", " "},
      {"ー々〆", "ー々〆"},  // never folded: ー is no hyphen
      {"日記を書いた。", "日記を書いた。"},
      {"ａｂｃ", "abc"},  // case is the caller's
  };
  for (const auto& c : cases) {
    const std::string got = widthfold::Fold(cp932::FromUtf8(c.utf8));
    EXPECT_EQ(cp932::FromUtf8(c.folded), got) << c.utf8 << " -> " << cp932::ToUtf8(got);
  }
}

TEST(WidthFold, EveryFullWidthAsciiFormFoldsToItsAsciiByte) {
  // U+FF01..U+FF5E are the full-width forms of "!" .. "~"
  for (char32_t u = 0xFF01; u <= 0xFF5E; ++u) {
    char utf8[4] = {static_cast<char>(0xE0 | (u >> 12)), static_cast<char>(0x80 | ((u >> 6) & 0x3F)),
                    static_cast<char>(0x80 | (u & 0x3F)), 0};
    std::string sj;
    if (cp932::FromUtf8(utf8, sj) != 0) continue;
    EXPECT_EQ(std::string(1, static_cast<char>(u - 0xFEE0)), widthfold::Fold(sj)) << utf8;
  }
}

TEST(WidthFold, EveryHalfWidthByteBecomesOneValidCharacterAndNothingElseChanges) {
  for (int b = 0xA1; b <= 0xDF; ++b) {
    const std::string folded = widthfold::Fold(std::string(1, static_cast<char>(b)));
    ASSERT_EQ(2u, folded.size()) << b;
    EXPECT_TRUE(cp932::IsLead(folded[0])) << b;
    EXPECT_TRUE(cp932::IsValid(folded)) << b;
  }
  // a lead byte at the end and bytes that are no characters come through as they are
  EXPECT_EQ("a\x81", widthfold::Fold("a\x81"));
  EXPECT_EQ("\x80\xA0\xFD", widthfold::Fold("\x80\xA0\xFD"));
  EXPECT_EQ("", widthfold::Fold(""));
  // the trail byte of a double-byte character is never read as half-width kana
  EXPECT_EQ("\x83\xB1", widthfold::Fold("\x83\xB1"));
}

TEST(WidthFold, ATextWithoutFoldedFormsMatchesFoldedOrNot) {
  // what folding can give: ASCII, katakana and the kana marks
  for (const char* utf8 : {"a", " ", "カ", "ヴ", "ー", "。", "「", "・", "゛", "歯医者a"})
    EXPECT_TRUE(widthfold::HasFoldedForms(widthfold::Fold(cp932::FromUtf8(utf8)))) << utf8;
  for (const char* utf8 : {"歯医者", "鰻", "ひらがな", "々", "〆", "★", "－"})
    EXPECT_FALSE(widthfold::HasFoldedForms(cp932::FromUtf8(utf8))) << utf8;
  // so for such a text, folding the searched text never changes a match: every
  // character folding changes becomes one of those forms
  for (int b = 0xA1; b <= 0xDF; ++b)
    EXPECT_TRUE(widthfold::HasFoldedForms(widthfold::Fold(std::string(1, static_cast<char>(b))))) << b;
  for (char32_t u = 0xFF01; u <= 0xFF5E; ++u) {
    char utf8[4] = {static_cast<char>(0xE0 | (u >> 12)), static_cast<char>(0x80 | ((u >> 6) & 0x3F)),
                    static_cast<char>(0x80 | (u & 0x3F)), 0};
    std::string sj;
    if (cp932::FromUtf8(utf8, sj) != 0) continue;
    EXPECT_TRUE(widthfold::HasFoldedForms(widthfold::Fold(sj))) << utf8;
  }
}
