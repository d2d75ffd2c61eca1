// The sheet's records while no group rows are shown must be the main record
// set in every respect, its cheaper ways included: the sheet walks them on
// every rebuild, and search positions the record set through them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extract/CMyGroup.h"
#include "mainview/sheet/GroupPorts.h"
#include "platform/Prompter.h"

namespace {

struct Main : ViewRecords {
  std::vector<std::string> calls;
  int Requery(const std::string&, const std::string&) override {
    calls.push_back("requery");
    return 0;
  }
  int RequeryAppended(const std::string&, const std::string&) override {
    calls.push_back("appended");
    return 0;
  }
  int SkipKeysBelow(std::string_view) const override { return 42; }
  int Count() const override { return 100; }
  std::string_view Key(int) const override { return "2026/01/01"; }
  std::string_view Value(int, int) const override { return "v"; }
  int FieldIndex(const std::string&) const override { return 3; }
  int Step(int direction) override { return direction > 0 ? 7 : 6; }
  void GoTo(int i) override { calls.push_back("goto " + std::to_string(i)); }
};

TEST(SwitchRecords, WithoutGroupRowsEveryCallReachesTheMainSet) {
  Main main;
  SwitchRecords sheet(main);
  EXPECT_EQ(0, sheet.RequeryAppended("", ""));
  EXPECT_EQ(42, sheet.SkipKeysBelow("2026/05/01")) << "the main set's search by halves";
  EXPECT_EQ(7, sheet.Step(1));
  sheet.GoTo(5);
  EXPECT_EQ(0, sheet.Requery("", ""));
  EXPECT_EQ((std::vector<std::string>{"appended", "goto 5", "requery"}), main.calls);

  // group rows shown: the main set is left alone
  ScriptedPrompter prompter;
  CMyGroup group(prompter);
  GroupRecords rows(group);
  sheet.Use(&rows);
  main.calls.clear();
  sheet.GoTo(3);
  (void)sheet.RequeryAppended("", "");
  EXPECT_TRUE(main.calls.empty());
  EXPECT_EQ(0, sheet.Count());
  EXPECT_EQ(0, sheet.SkipKeysBelow("2026/05/01"));
}

}  // namespace
