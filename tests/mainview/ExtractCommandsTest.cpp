// The main window's extraction against a recording window: what the sheet
// shows, what the window is told, and the display that comes back.
#include "extract/CMyPickup.h"
#include "mainview/FakeMainPorts.h"

namespace {

struct Extract : FakeMain {
  EditCommands edit{ctx, *this};
  ExtractCommands extract{ctx, *this};
  Extract() {
    OpenNew(kDiary);
    for (const char* key : {"2026/04/01", "2026/04/10", "2026/05/10"}) AddEntry(*this, edit, key, "花見");
    AddEntry(*this, edit, "2026/04/03", "雨");
    EXPECT_TRUE(edit.SelectRow("2026/12/15", {}));
    told.clear();
  }
  // The dialog confirmed with "日記" containing `word`, as a compact list.
  void Word(const char* word) {
    conditions = [word](CMyPickup& m) {
      m.SetMode(CMyPickup::kCompactList);
      m.SetPeriod(CMyPickup::kAll);
      m.SetSimpleName("日記"_sj);
      m.SetSimpleText(cp932::FromUtf8(word));
      m.SetSimpleKind(CMyPickup::kContains);
      EXPECT_EQ(0, m.Apply()) << cp932::ToUtf8(m.Message());
      return true;
    };
  }
  std::vector<std::string> Keys() {
    std::vector<std::string> k;
    for (const SheetRow& r : View().Rows())
      if (r.record >= 0) k.push_back(r.key);
    return k;
  }
};

TEST(ExtractCommands, TheToggleShowsTheListAndEndsWithTheSheetAsItWas) {
  Extract x;
  const int cursor = x.View().CursorRow();
  x.extract.Toggle();  // cancelled: the button pops up again
  EXPECT_EQ("NotShown;", x.Told());
  EXPECT_FALSE(x.extract.Shown());
  EXPECT_EQ("抽出実行..."_sj, x.extract.MenuCaption());

  x.Word("花見");
  x.told.clear();
  x.extract.Toggle();
  EXPECT_EQ("ViewChanged;Shown;", x.Told());
  EXPECT_EQ("抽出解除"_sj, x.extract.MenuCaption());
  EXPECT_EQ(CMyView::kListMode, x.View().DisplayMode());
  EXPECT_EQ((std::vector<std::string>{"2026/04/01", "2026/04/10", "2026/05/10"}), x.Keys())
      << "the whole book, not only the months loaded";

  x.conditions = nullptr;  // the settings cancelled leave the extraction
  x.told.clear();
  x.extract.Settings();
  EXPECT_EQ("Shown;", x.Told());
  EXPECT_EQ(3u, x.Keys().size());

  x.told.clear();
  x.extract.Toggle();
  EXPECT_EQ("NotShown;ViewChanged;", x.Told());
  EXPECT_EQ(CMyView::kSheetMode, x.View().DisplayMode());
  EXPECT_EQ(cursor, x.View().CursorRow());
  x.told.clear();
  x.extract.Drop();  // nothing shown: nothing to tell
  EXPECT_EQ("", x.Told());
}

TEST(ExtractCommands, AScreensUnknownMethodIsToldAndTheScreenShownWithoutExtraction) {
  Extract x;
  ViewScreen screen = x.View().Screen();
  screen.filter = "=ない"_sj;
  x.View().SetScreen(screen);
  EXPECT_NE(0, x.extract.RunScreenExtraction());
  EXPECT_FALSE(x.prompter.Shown().empty());
  EXPECT_EQ(PromptIcon::Warning, x.prompter.Shown().back().icon);
  EXPECT_FALSE(x.extract.Shown());
  EXPECT_EQ("", x.Told());
  screen.filter.clear();  // a screen without one runs nothing
  x.View().SetScreen(screen);
  EXPECT_EQ(0, x.extract.RunScreenExtraction());
  EXPECT_EQ("", x.Told());
}

}  // namespace
