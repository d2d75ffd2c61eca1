// Searching the book against a recording window: the whole book is searched
// whatever months are loaded, each hit is brought into view, and a miss or
// an incomplete query is told.
#include "mainview/FakeMainPorts.h"

namespace {

struct Search : FakeMain {
  EditCommands edit{ctx, *this};
  SearchCommands search{ctx, *this};
  Search() {
    OpenNew(kDiary);
    for (const char* key : {"2026/04/01", "2026/05/10", "2026/12/20"}) AddEntry(*this, edit, key, "花見");
    AddEntry(*this, edit, "2026/04/03", "aあいうえおかきくけこさ\n二行目");
    jsc::InputDef def;
    EXPECT_EQ(0, jsc::LoadInputDef(G().DivisionPath("scrin.jsc"), def, &prompter));
    search.SetFields(def.controls);
    search.query = {SearchCommands::AllFields(), "花見"_sj, SearchCommands::kContains, false, false};
    told.clear();
  }
  std::string CursorKey() { return View().Rows()[static_cast<size_t>(View().CursorRow())].key; }
};

TEST(SearchCommands, HitsComeFromTheWholeBookInTurnAndAMissIsTold) {
  Search s;
  ASSERT_TRUE(s.edit.SelectRow("2026/12/01", {}));
  s.search.FindStep(1);  // no condition yet: the dialog
  EXPECT_EQ("ShowFindDialog;", s.Told());
  const struct {
    std::function<bool(SearchCommands&)> step;
    const char* key;  // the cursor's day after it; null: a miss
  } steps[] = {
      {[](SearchCommands& c) { return c.RunSearch(1); }, "2026/04/01"},
      {[](SearchCommands& c) { return c.RunSearch(1); }, "2026/05/10"},
      {[](SearchCommands& c) { return c.FindStep(1), true; }, "2026/12/20"},
      {[](SearchCommands& c) { return c.FindStep(-1), true; }, "2026/05/10"},
      {[](SearchCommands& c) { return c.FindStep(1), true; }, "2026/12/20"},
      {[](SearchCommands& c) { return c.RunSearch(1); }, nullptr},
  };
  for (const auto& st : steps) {
    s.told.clear();
    const int beeps = s.beeper.Count();
    const bool hit = st.step(s.search);
    SCOPED_TRACE(s.Told());
    if (!st.key) {
      EXPECT_FALSE(hit);
      EXPECT_EQ(beeps + 1, s.beeper.Count());
      EXPECT_NE(std::string::npos, s.Told().find("Note 見つかりませんでした;"));
      continue;
    }
    EXPECT_EQ(st.key, s.CursorKey());
    EXPECT_EQ("ViewChanged;", s.Told().substr(s.Told().size() - 12));
  }
  EXPECT_TRUE(s.search.HasCondition());
}

TEST(SearchCommands, AnIncompleteOrUnsearchableQueryChangesNothing) {
  Search s;
  s.search.query.text.clear();
  EXPECT_FALSE(s.search.RunSearch(1));
  EXPECT_EQ(1, s.beeper.Count());
  s.search.query = {"ない"_sj, "花見"_sj, SearchCommands::kContains, false, false};
  EXPECT_FALSE(s.search.RunSearch(1));
  EXPECT_EQ("『ない』は検索できません。", s.prompter.ShownUtf8().back());
  EXPECT_EQ("", s.Told());
  EXPECT_FALSE(s.search.HasCondition());
}

TEST(SearchCommands, TheFieldUnderTheMouseGivesTheTextWithoutSplittingACharacter) {
  Search s;
  ASSERT_TRUE(s.edit.SelectRow("2026/04/03", {}));
  s.search.changed = false;
  s.search.FindFieldText("MEM001");
  // 20 bytes at most, the first line only, never half a character: a + 9 kana = 19 bytes
  EXPECT_EQ("aあいうえおかきくけ"_sj, s.search.query.text);
  EXPECT_TRUE(s.search.changed);
  ASSERT_TRUE(s.edit.SelectRow("2026/04/02", {}));  // no record: the text stays
  s.search.FindFieldText("MEM001");
  EXPECT_EQ("aあいうえおかきくけ"_sj, s.search.query.text);
  EXPECT_EQ("ShowFindDialog;ShowFindDialog;", s.Told());
}

}  // namespace
