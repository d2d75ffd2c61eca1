#include <gtest/gtest.h>

#include "catalogue/CMyMaster.h"
#include "options/CMyColorKinds.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "support/TempDir.h"

namespace {
struct Fixture {
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  CMyMaster table{"COLOR", &prompter};
  CMyColorKinds kinds{table, prompter, beeper};
  ColorKind Kind(const char* name, int palette = 0, bool f6 = false) {
    ColorKind k;
    k.name = cp932::FromUtf8(name);
    k.useText = true;
    k.textColor = 255;
    k.palette = palette;
    k.f6 = f6;
    return k;
  }
};
}  // namespace

TEST(CMyColorKinds, BindingsMoveToTheLastKindThatAsksForThem) {
  Fixture f;
  ASSERT_EQ(0, f.kinds.Store(-1, f.Kind("重要", 2, true), false));
  ASSERT_EQ(0, f.kinds.Store(-1, f.Kind("予定", 2), false));
  ASSERT_EQ(0, f.kinds.Store(-1, f.Kind("済み", 0, true), false));
  auto lines = f.kinds.ListLines();
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ("     "_sj + "重要"_sj, lines[0]);
  EXPECT_EQ(" (2) "_sj + "予定"_sj, lines[1]);
  EXPECT_EQ("S    "_sj + "済み"_sj, lines[2]);
  EXPECT_EQ(1, f.kinds.PaletteKind(2));
  EXPECT_EQ(2, f.kinds.F6Kind());
  EXPECT_EQ(-1, f.kinds.PaletteKind(4));
}

TEST(CMyColorKinds, RefusalsLeaveEverythingAsItWas) {
  Fixture f;
  f.kinds.Store(-1, f.Kind("Red", 1), false);
  ColorKind dup = f.Kind("RED", 1);
  EXPECT_EQ(-3, f.kinds.Store(-1, dup, false));
  EXPECT_EQ("データが重複します。", f.prompter.ShownUtf8().back());
  EXPECT_EQ(0, f.kinds.PaletteKind(1));  // the refused kind took no binding
  ColorKind none = f.Kind("x");
  none.useText = false;
  EXPECT_EQ(1, f.kinds.Store(-1, none, false));
  EXPECT_EQ("テキスト・背景ともにチェックが有効になっていません。", f.prompter.ShownUtf8().back());
  EXPECT_EQ(1, f.kinds.Store(-1, f.Kind(""), false));
  EXPECT_EQ("色名を設定して下さい。", f.prompter.ShownUtf8().back());
  EXPECT_EQ(1, f.kinds.Store(-1, f.Kind("y"), true));
  EXPECT_EQ("選択して下さい。", f.prompter.ShownUtf8().back());
  // replacing a kind by itself in another case is fine
  EXPECT_EQ(0, f.kinds.Store(0, f.Kind("red", 3), true));
  EXPECT_EQ(0, f.kinds.PaletteKind(3));
}

TEST(CMyColorKinds, DeleteAsksAndMovesBeepAtTheEnds) {
  Fixture f;
  f.kinds.Store(-1, f.Kind("a"), false);
  f.kinds.Store(-1, f.Kind("b"), false);
  f.prompter.Queue(kAnswerNo);
  EXPECT_EQ(1, f.kinds.Delete(0));
  EXPECT_EQ(2, f.kinds.Count());
  EXPECT_EQ("確認"_sj, f.prompter.Shown().back().caption);
  EXPECT_EQ(1, f.kinds.MoveUp(0));
  EXPECT_EQ(1, f.kinds.MoveDown(1));
  EXPECT_EQ(2, f.beeper.Count());
  EXPECT_EQ(0, f.kinds.MoveDown(0));
  EXPECT_EQ("b", f.kinds.Get(0).name);
  f.prompter.Queue(kAnswerYes);
  EXPECT_EQ(0, f.kinds.Delete(0));
  EXPECT_EQ(1, f.kinds.Count());
}

TEST(CMyColorKinds, FileIsWrittenOnlyWhenChanged) {
  TempDir dir;
  Fixture f;
  EXPECT_EQ(1, f.kinds.SaveIfChanged(dir / "color.dat"));
  EXPECT_FALSE(fileops::Exists(dir / "color.dat"));
  f.kinds.Store(-1, f.Kind("a"), false);
  EXPECT_EQ(0, f.kinds.SaveIfChanged(dir / "color.dat"));
  EXPECT_TRUE(fileops::Exists(dir / "color.dat"));
  std::string cr1, cr2;
  ColorKind k = f.Kind("a");
  CMyColorKinds::Apply(k, cr1, cr2);
  EXPECT_EQ("255", cr1);
  EXPECT_EQ("", cr2);
}

TEST(CMyColorKinds, NamesTheFieldCannotHoldAreRefusedNotCut) {
  Fixture f;
  ASSERT_EQ(0, f.kinds.Store(-1, f.Kind("Red", 2), false));
  ColorKind first = f.Kind("Blue", 1);
  first.f6 = true;
  ASSERT_EQ(0, f.kinds.Store(-1, first, false));
  // 16 kanji = 32 bytes: one more than the field keeps
  ColorKind longer = f.Kind("一二三四五六七八九十一二三四五六", 2);
  longer.f6 = true;
  EXPECT_EQ(1, f.kinds.Store(-1, longer, false));
  EXPECT_EQ("色名が長すぎます。全角15文字（半角31文字）以内にして下さい。", f.prompter.ShownUtf8().back());
  EXPECT_EQ(2, f.kinds.Count());
  EXPECT_EQ(0, f.kinds.PaletteKind(2));  // no binding was taken away
  EXPECT_EQ(1, f.kinds.F6Kind());
  EXPECT_EQ(0, f.kinds.Store(-1, f.Kind("一二三四五六七八九十一二三四五", 3), false));

  struct Case {
    const char* typed;
    const char* message;  // "" accepted
  } cases[] = {
      {"薄紅", ""},
      {"赤\xF0\x9F\x8D\x8E", "入力された文字（U+1F34E）は保存できません。別の文字で入力して下さい。"},
      {"\xC3\xA9t\xC3\xA9", "入力された文字（U+00E9）は保存できません。別の文字で入力して下さい。"},
  };
  for (const auto& c : cases) {
    f.prompter.ClearShown();
    std::string sj = "x";
    EXPECT_EQ(*c.message ? 1 : 0, CMyColorKinds::NameFromUtf8(c.typed, sj, f.prompter)) << c.typed;
    EXPECT_EQ(*c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{},
              f.prompter.ShownUtf8());
    if (!*c.message) {
      EXPECT_EQ(cp932::FromUtf8(c.typed), sj);
    }
  }
}
