// Opening the input form from the sheet, against a recording window: which
// record or key the form is asked for, and the refusals.
#include "mainview/FakeMainPorts.h"

namespace {

TEST(EntryCommands, TheFormIsAskedForTheRowsRecordOrANewOneAtTheRightKey) {
  struct Case {
    const char* name;
    int package;
    std::function<void(FakeMain&, EntryCommands&, EditCommands&)> run;
    const char* told;
  };
  const Case cases[] = {
      {"an empty row: a new record at its key", kDiary,
       [](FakeMain&, EntryCommands& e, EditCommands& edit) {
         ASSERT_TRUE(edit.SelectRow("2026/12/03", {}));
         e.EditCursorRow();
       },
       "ShowEntry 2026/12/03 -1;"},
      {"a row with a record: that record", kDiary,
       [](FakeMain& m, EntryCommands& e, EditCommands& edit) {
         const std::string s = AddEntry(m, edit, "2026/12/04", "既存");
         ASSERT_TRUE(edit.SelectRow("2026/12/04", s));
         m.told.clear();
         e.EditCursorRow();
       },
       "ShowEntry 2026/12/04 0;"},
      {"Insert at the cursor", kDiary,
       [](FakeMain&, EntryCommands& e, EditCommands& edit) {
         ASSERT_TRUE(edit.SelectRow("2026/12/20", {}));
         e.NewAtCursor();
       },
       "ShowEntry 2026/12/20 -1;"},
      {"today from another month: the sheet goes there first", kDiary,
       [](FakeMain& m, EntryCommands& e, EditCommands& edit) {
         ASSERT_TRUE(edit.SelectRow("2026/03/01", {}));
         e.NewForToday();
         EXPECT_EQ(std::string("2026/12/09"), m.View().Rows()[static_cast<size_t>(m.View().CursorRow())].key);
       },
       "ViewChanged;ShowEntry 2026/12/09 -1;"},
      {"group rows open nothing", kHousehold,
       [](FakeMain& m, EntryCommands& e, EditCommands&) {
         m.o.groupShown = true;
         e.EditCursorRow();
         e.NewAtCursor();
         e.NewForToday();
         EXPECT_EQ(3, m.beeper.Count());
       },
       ""},
      {"a row without a picture says so and starts no viewer", kDiary,
       [](FakeMain& m, EntryCommands& e, EditCommands& edit) {
         ASSERT_TRUE(edit.SelectRow("2026/12/21", {}));
         e.EditCursorRow("IMG001");
         EXPECT_EQ("画像が存在しません。", m.prompter.ShownUtf8().back());
         EXPECT_TRUE(m.launcher.started.empty());
       },
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMain m;
    m.OpenNew(c.package);
    EditCommands edit(m.ctx, m);
    EntryCommands entry(m.ctx, m);
    m.told.clear();
    c.run(m, entry, edit);
    EXPECT_EQ(c.told, m.Told());
  }
}

TEST(EntryCommands, ANotebookTakesANewEntryOnTheNextFreeLine) {
  FakeMain m;
  m.OpenNew(kNotebook);
  EditCommands edit(m.ctx, m);
  EntryCommands entry(m.ctx, m);
  AddEntry(m, edit, memo::PageKey(1, 1), "一行目");
  m.told.clear();
  entry.NewForToday();  // a notebook has no today: no move
  EXPECT_EQ("ShowEntry " + m.View().NewRecordKey(true) + " -1;", m.Told());
  EXPECT_NE(memo::PageKey(1, 1), m.View().NewRecordKey(true));
}

}  // namespace
