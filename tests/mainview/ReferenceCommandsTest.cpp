// The reference window's commands against a recording host: the month it is
// given, the main window left where it was, the copy source, the refusals.
#include "mainview/FakeMainPorts.h"

namespace {

struct Reference : FakeMain {
  EditCommands edit{ctx, *this};
  ReferenceCommands ref{ctx, *this};
  explicit Reference(int package = kDiary) { OpenNew(package); }
};

TEST(ReferenceCommands, AYearBackIsShownBesideTheMainSheetWhichStaysWhereItWas) {
  Reference r;
  ASSERT_TRUE(r.edit.SelectRow("2026/12/15", {}));
  const int cursor = r.View().CursorRow(), top = r.View().TopRow();
  r.told.clear();
  r.ref.ShowReference(-12);
  EXPECT_EQ("CreateReference;ViewChanged;", r.Told());
  ASSERT_TRUE(r.reference);
  EXPECT_EQ("2025/12", r.reference->view.Label());
  EXPECT_EQ(1, r.reference->presented);
  EXPECT_EQ("2026/12", r.ref.CurrentMonthText());
  EXPECT_EQ(cursor, r.View().CursorRow());
  EXPECT_EQ(top, r.View().TopRow());
  // stepped a month on, then closed by an edit of the month it shows
  r.ref.StepMonth(1);
  EXPECT_EQ("2026/01", r.reference->view.Label());
  r.ref.CloseReferenceIfSameMonth("2026/02/01");
  EXPECT_TRUE(r.reference);
  r.ref.CloseReferenceIfSameMonth("202601");
  EXPECT_FALSE(r.reference);
  // closed by the user: shown again in a new window
  r.ref.ShowReference(-24);
  r.reference->open = false;
  r.told.clear();
  r.ref.ShowReference(-12);
  EXPECT_EQ("DestroyReference;CreateReference;ViewChanged;", r.Told());
}

TEST(ReferenceCommands, CopiesIntoTheCopySourceAndRefusesEveryEdit) {
  Reference r;
  const std::string s = AddEntry(r, r.edit, "2025/12/24", "去年のイブ");
  r.ref.Copy();  // no reference window yet
  EXPECT_EQ(1, r.beeper.Count());
  r.ref.ShowReference(-12);
  ASSERT_TRUE(r.reference);
  ReferenceView& v = r.reference->view;
  for (int row = 0; row < v.RowCount(); ++row)
    if (v.Rows()[static_cast<size_t>(row)].key == std::string("2025/12/24")) v.MoveCursorTo(row);
  r.ref.Copy();
  EXPECT_EQ(0, r.o.copySource.mode);
  EXPECT_EQ("2025/12/24", r.o.copySource.key);
  EXPECT_EQ(s, r.o.copySource.serial);
  v.MoveCursorTo(0);  // the 1st: no entry
  r.ref.Copy();
  EXPECT_EQ(2, r.beeper.Count());
  EXPECT_EQ("2025/12/24", r.o.copySource.key) << "an empty row keeps the last copy";
  r.ref.RefusePaste();
  r.ref.RefuseCut();
  r.ref.RefuseEdit();
  EXPECT_EQ(
      (std::vector<std::string>{"参照画面への貼り付けは出来ません。", "参照画面からの切り取りは出来ません。",
                                "参照画面では編集出来ません。"}),
      r.prompter.ShownUtf8());
}

TEST(ReferenceCommands, OnlyADatedBookInSheetModeHasOne) {
  Reference note(kNotebook);
  EXPECT_FALSE(note.ref.Applies());
  note.ref.ShowReference(-12);
  note.ref.CloseReferenceIfSameMonth("2026/12");
  EXPECT_EQ("", note.Told());
  Reference list;
  list.View().SetDisplayMode(CMyView::kListMode);
  EXPECT_FALSE(list.ref.Applies());
  list.ref.ShowReference(-12);
  EXPECT_FALSE(list.reference);
}

}  // namespace
