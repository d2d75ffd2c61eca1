// Condition files ("pickout.pit", "*.pic") and saved extraction methods.
#include <gtest/gtest.h>

#include "PickupFixture.h"
#include "extract/ConditionFile.h"
#include "platform/FileOps.h"

namespace {

// A state that touches every field of the file.
void Busy(PickupFixture& f) {
  f.m.SetMode(CMyPickup::kGroupDisplay);
  f.m.SetNoData(false);
  f.m.SetLineText("12");
  f.m.SetFromText("2026/01/01");
  f.m.SetToText("2026/06/30");
  f.m.SetKeyDown(true);
  f.m.SetSimpleName("品目"_sj);
  f.m.SetSimpleText("食"_sj);
  f.m.SetSimpleKind(CMyPickup::kBegins);
  f.m.SetCaseSensitive(true);
  f.m.SetSimpleSort("金額"_sj);
  f.m.SetSimpleSortDown(true);
  f.SortBy("分類", '1', true);
  f.m.SetCellText(f.Row("分類"), 5, "4");
  f.Where("品目", "*パン*");
  f.m.TypeKey(f.Row("税率"), 4, '4');
}

TEST(ConditionFile, TheStateSurvivesAWriteAndARead) {
  PickupFixture f;
  Busy(f);
  const std::string path = f.dir / "x.pic";
  ASSERT_TRUE(pickfile::Write(path, f.m.SaveImage()));
  const std::string bytes = ReadBytes(path);
  EXPECT_EQ("2\t0\t12\t5\t2026/01/01\t2026/06/30\t1\t品目\t食\t1\t1\t金額\t1\t1\t0",
            U(bytes.substr(0, bytes.find("\r\n"))));
  PickupFixture g;
  ASSERT_EQ(pickfile::kRead, g.m.LoadFile(path));
  EXPECT_EQ(pickfile::Format(f.m.SaveImage()), pickfile::Format(g.m.SaveImage()));
  ASSERT_EQ(0, f.m.BuildExtraction());
  ASSERT_EQ(0, g.m.BuildExtraction());
  EXPECT_EQ(f.m.Filter(), g.m.Filter());
  EXPECT_EQ(f.m.Sort(), g.m.Sort());
}

TEST(ConditionFile, ReadingFallsBackToDefaultsAndMatchesLinesByCaption) {
  struct Case {
    const char* what;
    const char* file;  // UTF-8, "|" for TAB
    const char* check;
  } cases[] = {
      {"only a mode", "1",
       "mode 1 nodata 1 lines 25 period 0 detail 0 name （全て） kind 3 sort （指定なし）"},
      {"odd values", "9|0||7|||1|||9|||",
       "mode 2 nodata 0 lines 25 period 0 detail 1 name （全て） kind 3 sort （指定なし）"},
      {"extra tabs", "0|1|40|5|2026/1/1|||||2||||1|0|x|y|z",
       "mode 0 nodata 1 lines 40 period 5 detail 0 name （全て） kind 2 sort （指定なし）"},
  };
  for (const Case& c : cases) {
    std::string text = c.file;
    for (char& ch : text)
      if (ch == '|') ch = '\t';
    pickfile::Image img;
    ASSERT_EQ(pickfile::kRead, pickfile::Parse(cp932::FromUtf8(text), img)) << c.what;
    PickupFixture f;
    f.m.LoadImage(img);
    char got[512];
    std::snprintf(got, sizeof got, "mode %d nodata %d lines %s period %d detail %d name %s kind %d sort %s",
                  f.m.Mode(), f.m.NoData(), f.m.LineText().c_str(), f.m.GetPeriod(), f.m.DetailPage(),
                  U(f.m.SimpleName()).c_str(), f.m.SimpleKind(), U(f.m.SimpleSort()).c_str());
    EXPECT_EQ(c.check, std::string(got)) << c.what;
  }
}

TEST(ConditionFile, GridLinesFillTheRowsTheyNameInOrder) {
  // a field that is gone ("旧項目"), a sort number of 7, an aggregate size
  // "x", lines with fewer fields, rows without a line ("金額", new fields)
  const std::string file =
      "2\t1\t\t0\t\t\t1\t\t\t3\t0\t\t0\t0\t0\r\n"
      "旧項目\t1\t0:昇順\tzzz\t\t(ｸﾞﾙｰﾌﾟ)\t0\r\n"
      "年月日\t\t\t\r\n"
      "品目\t7\t1:降順\t*パン*\t\t\t\r\n"
      "分類\t1\t1:降順\t\t\t(ｸﾞﾙｰﾌﾟ)\tx\r\n"
      "税率\t\t\t\t\t4:AVG\r\n"
      "色種類\t\t\t赤\r\n"
      "\r\n"_sj;
  pickfile::Image img;
  ASSERT_EQ(pickfile::kRead, pickfile::Parse(file, img));
  PickupFixture f;
  f.Where("金額", "old");
  f.m.LoadImage(img);
  EXPECT_EQ(CMyPickup::kGroupDisplay, f.m.Mode());
  for (int r = 0; r < f.m.RowCount(); ++r) EXPECT_NE("zzz", f.m.GetRow(r).value);
  const auto& item = f.m.GetRow(f.Row("品目"));
  EXPECT_EQ("*パン*", U(item.value));
  EXPECT_EQ("", item.sortNo) << "7 is no sort number";
  EXPECT_EQ("", item.order);
  const auto& kind = f.m.GetRow(f.Row("分類"));
  EXPECT_EQ("1", kind.sortNo);
  EXPECT_EQ("1:降順", U(kind.order));
  EXPECT_EQ("x", kind.aggSize);
  EXPECT_EQ("(ｸﾞﾙｰﾌﾟ)", U(kind.aggregate));
  EXPECT_EQ("4:AVG", f.m.GetRow(f.Row("税率")).aggregate);
  EXPECT_EQ("", f.m.GetRow(f.Row("金額")).value) << "a row without a line comes up empty";
  EXPECT_EQ("", f.m.GetRow(f.Row("金額")).aggregate);
  EXPECT_EQ("赤", U(f.m.GetRow(f.Row("色種類")).value));
  EXPECT_EQ(CMyPickup::kCellRefused, f.m.BuildExtraction());
  EXPECT_EQ("不正な集約サイズです。", U(f.m.Message()));

  // lines out of row order: the later row's line was passed over
  pickfile::Image swapped;
  ASSERT_EQ(pickfile::kRead, pickfile::Parse("1\r\n分類\t\t\tA\r\n品目\t\t\tB\r\n"_sj, swapped));
  f.m.LoadImage(swapped);
  EXPECT_EQ("B", f.m.GetRow(f.Row("品目")).value);
  EXPECT_EQ("", f.m.GetRow(f.Row("分類")).value);
}

TEST(ConditionFile, DamagedFilesAreRefusedAndTheStateKept) {
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"a NUL byte", std::string("1\t1\0\t30", 7)},
      {"not CP932", "1\t1\t30\t\x81\r\n"},
      {"too large", std::string(pickfile::kMaxBytes + 1, 'a')},
  };
  for (const Case& c : cases) {
    PickupFixture f;
    f.m.SetLineText("77");
    WriteBytes(f.dir / "pickout.pit", c.bytes);
    EXPECT_EQ(pickfile::kDamaged, f.m.LoadFile(f.dir / "pickout.pit")) << c.what;
    EXPECT_EQ("77", f.m.LineText()) << c.what;
  }
  PickupFixture f;
  EXPECT_EQ(pickfile::kMissing, f.m.LoadFile(f.dir / "none.pic"));
}

TEST(ConditionFile, TabsAndLineBreaksInAValueCannotShiftTheFile) {
  PickupFixture f;
  f.m.SetDetailPage(true);
  f.Where("品目", "a\tb\r\nc");
  pickfile::Image img;
  ASSERT_EQ(pickfile::kRead, pickfile::Parse(pickfile::Format(f.m.SaveImage()), img));
  PickupFixture g;
  g.m.LoadImage(img);
  EXPECT_EQ("a b  c", g.m.GetRow(g.Row("品目")).value);
  EXPECT_EQ(f.m.RowCount(), static_cast<int>(img.rows.size()));
}

TEST(ConditionFile, ApplyWritesTheLastConditionsAndKeepsADamagedOneAside) {
  PickupFixture f;
  f.m.SetDetailPage(true);
  f.Where("品目", "*x*");
  WriteBytes(f.dir / "pickout.pit", std::string("\0\0", 2));
  ASSERT_EQ(0, f.m.Apply());
  EXPECT_TRUE(f.m.Applied());
  EXPECT_EQ(std::string("\0\0", 2), ReadBytes(f.dir / "pickout.pit.damaged-20260517"));
  PickupFixture g;
  g.m.Setup(f.setup);
  g.m.OpenDialog();
  EXPECT_EQ("*x*", U(g.m.GetRow(g.Row("品目")).value));
  EXPECT_TRUE(g.prompter.Shown().empty());

  // a refused state writes nothing and is not applied
  g.Where("品目", "");
  g.m.SetPeriod(CMyPickup::kRange);
  const std::string before = ReadBytes(f.dir / "pickout.pit");
  EXPECT_EQ(CMyPickup::kPeriodRefused, g.m.Apply());
  EXPECT_FALSE(g.m.Applied());
  EXPECT_EQ(before, ReadBytes(f.dir / "pickout.pit"));
}

TEST(SavedMethods, SaveReopenOverwriteAndDelete) {
  PickupFixture f;
  f.m.OpenDialog();
  EXPECT_EQ((std::vector<std::string>{"（前の内容）"_sj}), f.m.MethodItems());
  EXPECT_FALSE(f.m.DeleteEnabled());
  f.m.SetDetailPage(true);
  f.Where("分類", "食費");
  ASSERT_EQ(0, f.m.SaveMethod("食費"_sj));
  EXPECT_EQ(1, f.m.SelectedMethod());
  EXPECT_EQ("（前の内容）\r\n食費\r\n"_sj, ReadBytes(f.dir / "pickout.lst"));
  EXPECT_TRUE(fileops::IsFile(f.dir / "食費.pic"));
  EXPECT_EQ("食費", U(f.m.SaveNamePrefill()));

  // the same name: No keeps the file, Yes replaces it and keeps one entry
  const std::string saved = ReadBytes(f.dir / "食費.pic");
  f.Where("分類", "外食");
  f.prompter.Queue(kAnswerNo);
  EXPECT_EQ(1, f.m.SaveMethod("食費"_sj));
  EXPECT_EQ(saved, ReadBytes(f.dir / "食費.pic"));
  f.prompter.Queue(kAnswerYes);
  EXPECT_EQ(0, f.m.SaveMethod("食費"_sj));
  EXPECT_NE(saved, ReadBytes(f.dir / "食費.pic"));
  EXPECT_EQ(2u, f.m.MethodItems().size());
  EXPECT_EQ((std::vector<std::string>{"既に登録されている名前です。上書きしてよろしいですか？",
                                      "既に登録されている名前です。上書きしてよろしいですか？"}),
            f.prompter.ShownUtf8());
  f.prompter.ClearShown();

  // reopened: the method is in the combo and loads its state
  PickupFixture g;
  g.m.Setup(f.setup);
  g.m.OpenDialog();
  ASSERT_EQ(2u, g.m.MethodItems().size());
  g.m.SelectMethod(1);
  EXPECT_TRUE(g.m.DeleteEnabled());
  EXPECT_EQ("外食", U(g.m.GetRow(g.Row("分類")).value));

  // delete: No keeps it; a file already gone goes without a message
  g.prompter.Queue(kAnswerNo);
  EXPECT_EQ(1, g.m.DeleteMethod());
  EXPECT_EQ(kAnswerNo, g.prompter.Shown().back().defaultButton);
  ASSERT_TRUE(fileops::Remove(f.dir / "食費.pic"));
  EXPECT_EQ(0, g.m.DeleteMethod());
  EXPECT_EQ(0, g.m.SelectedMethod());
  EXPECT_EQ("（前の内容）\r\n"_sj, ReadBytes(f.dir / "pickout.lst"));
  EXPECT_EQ(2u, g.prompter.Shown().size());  // the two questions, nothing else
  EXPECT_EQ(1, g.m.DeleteMethod());          // entry 0 cannot be deleted
  EXPECT_EQ(1, g.beeper.Count());
}

TEST(SavedMethods, NamesThatWouldLeaveTheFolderAreRefused) {
  PickupFixture f;
  f.m.OpenDialog();
  struct Case {
    std::string name;
    const char* message;
  } cases[] = {
      {"", "抽出方法名を入力して下さい。"},
      {"../x", "抽出方法名に「/」「\\」「..」や制御文字は使えません。"},
      {"a/b", "抽出方法名に「/」「\\」「..」や制御文字は使えません。"},
      {"..", "抽出方法名に「/」「\\」「..」や制御文字は使えません。"},
      {"a\\b", "抽出方法名に「/」「\\」「..」や制御文字は使えません。"},
      {"a\tb", "抽出方法名に「/」「\\」「..」や制御文字は使えません。"},
      {std::string(31, 'a'), "抽出方法名は30byte以内で入力して下さい。"},
  };
  for (const Case& c : cases) {
    f.prompter.ClearShown();
    EXPECT_EQ(1, f.m.SaveMethod(c.name)) << c.name;
    ASSERT_EQ(1u, f.prompter.ShownUtf8().size()) << c.name;
    EXPECT_EQ(c.message, f.prompter.ShownUtf8()[0]) << c.name;
  }
  EXPECT_FALSE(fileops::Exists(f.dir / "pickout.lst"));
  EXPECT_FALSE(fileops::Exists(f.dir.path() + "/../x.pic"));
  // a trail byte 0x5C ("表") is no separator, and "（前の内容）" is a name too
  EXPECT_EQ(0, f.m.SaveMethod("表"_sj));
  EXPECT_EQ(0, f.m.SaveMethod("（前の内容）"_sj));
  EXPECT_TRUE(fileops::IsFile(f.dir / "（前の内容）.pic"));
  EXPECT_EQ("（前の内容）\r\n表\r\n（前の内容）\r\n"_sj, ReadBytes(f.dir / "pickout.lst"));
}

TEST(SavedMethods, AListThatCannotBeReadIsNeverWrittenOver) {
  PickupFixture f;
  const std::string damaged = std::string("\x81\r\n", 3);
  WriteBytes(f.dir / "pickout.lst", damaged);
  f.m.OpenDialog();
  EXPECT_EQ((std::vector<std::string>{"（前の内容）"_sj}), f.m.MethodItems());
  ASSERT_EQ(1u, f.prompter.ShownUtf8().size());
  EXPECT_EQ(1, f.m.SaveMethod("x"));
  EXPECT_EQ(damaged, ReadBytes(f.dir / "pickout.lst"));
  EXPECT_FALSE(fileops::Exists(f.dir / "x.pic"));
}

TEST(SavedMethods, AListWithBadOrMissingEntriesOpensWithWhatItCanRead) {
  PickupFixture f;
  WriteBytes(f.dir / "pickout.lst", "（前の内容）\r\n消えた\r\n../外\r\n\r\n残る\r\n残る\r\n"_sj);
  WriteBytes(f.dir / "残る.pic", "0\t0\t9\r\n");
  f.m.OpenDialog();
  EXPECT_EQ((std::vector<std::string>{"（前の内容）"_sj, "消えた"_sj, "残る"_sj}), f.m.MethodItems());
  f.m.SetLineText("55");
  f.m.SelectMethod(1);  // its file is missing: nothing changes
  EXPECT_EQ("55", f.m.LineText());
  f.m.SelectMethod(2);
  EXPECT_EQ("9", f.m.LineText());
  EXPECT_TRUE(f.prompter.Shown().empty());
}

TEST(SavedMethods, ADamagedMethodFileIsNotOverwritten) {
  PickupFixture f;
  WriteBytes(f.dir / "pickout.lst", "（前の内容）\r\nm\r\n"_sj);
  WriteBytes(f.dir / "m.pic", std::string("\0", 1));
  f.m.OpenDialog();
  f.m.SelectMethod(1);
  EXPECT_EQ("抽出条件の読み込み失敗", f.prompter.ShownUtf8().back());
  f.prompter.Queue(kAnswerYes);
  EXPECT_EQ(1, f.m.SaveMethod("m"));
  EXPECT_EQ(std::string("\0", 1), ReadBytes(f.dir / "m.pic"));
}

TEST(SavedMethods, AMethodAndTheListAreSavedTogetherOrNotAtAll) {
  PickupFixture f;
  f.m.OpenDialog();
  fileops::InjectFault(fileops::Fault::kRename, 2);  // the method's file, then the list fails
  EXPECT_EQ(1, f.m.SaveMethod("new"));
  fileops::ClearFaults();
  EXPECT_FALSE(fileops::Exists(f.dir / "new.pic"));
  EXPECT_EQ(1u, f.m.MethodItems().size());
  EXPECT_EQ("抽出条件リストの保存に失敗しました。", f.prompter.ShownUtf8().back());
}

TEST(SavedMethods, AScreensReferenceRunsASavedMethod) {
  PickupFixture f;
  f.m.SetDetailPage(true);
  f.Where("品目", "*会議*");
  ASSERT_EQ(0, f.m.SaveMethod("会議"_sj));  // saved as "会議.pic"
  PickupFixture g;
  g.m.Setup(f.setup);
  EXPECT_EQ(0, g.m.RunSavedExtraction("=会議"_sj));
  EXPECT_EQ("DAT001 = '*会議*' and NODATA = '1'", U(g.m.Filter()));
  EXPECT_TRUE(g.m.Applied());
  // a ".pit" of the name comes first
  WriteBytes(f.dir / "会議.pit", "1\t0\t\t0\t\t\t1\r\n");
  EXPECT_EQ(0, g.m.RunSavedExtraction("=会議"_sj));
  EXPECT_EQ("", g.m.Filter());
  EXPECT_EQ("キー項目,行連番", U(g.m.Sort()));
  // not a reference: nothing to do
  EXPECT_EQ(0, g.m.RunSavedExtraction("会議"_sj));
  EXPECT_EQ("", g.m.Sort());
  EXPECT_EQ(0, g.m.RunSavedExtraction("=" + std::string(59, 'a')));
  EXPECT_EQ("", g.m.Sort());
  // named but not there
  EXPECT_EQ(-1, g.m.RunSavedExtraction("=ない"_sj));
  EXPECT_EQ("抽出条件の読み込み失敗", U(g.m.Message()));
  EXPECT_EQ(-1, g.m.RunSavedExtraction("=../会議"_sj));
  EXPECT_FALSE(g.m.Applied());
  EXPECT_FALSE(fileops::Exists(f.dir / "pickout.pit"));
}

}  // namespace

TEST(ConditionFile, AMethodAnotherWindowSavedMeanwhileStaysInTheList) {
  PickupFixture window, other;
  ASSERT_TRUE(fileops::MakeDirs(window.dir / "u/d"));
  window.setup.divisionDir = window.dir / "u/d";
  window.m.Setup(window.setup);
  other.m.Setup(window.setup);
  window.m.OpenDialog();
  other.m.OpenDialog();
  ASSERT_EQ(0, other.m.SaveMethod("theirs"));
  ASSERT_EQ(0, window.m.SaveMethod("ours"));
  const std::vector<std::string> both = {window.m.MethodItems()[0], "theirs", "ours"};
  EXPECT_EQ(both, window.m.MethodItems());
  EXPECT_EQ(2, window.m.SelectedMethod());
  EXPECT_EQ(U(both[0]) + "\r\ntheirs\r\nours\r\n", U(ReadBytes(window.dir / "u/d/pickout.lst")));
}
