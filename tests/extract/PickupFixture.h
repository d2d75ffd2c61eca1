// A household-like division for the extraction tests: a memo table with the
// form's display names as aliases, a few field rows (text, combo, number,
// decimal), two colour kinds and a temporary division folder.
#pragma once
#include <string>
#include <vector>

#include "extract/CMyPickup.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "store/CMyDB.h"
#include "store/MemoSchema.h"
#include "support/TempDir.h"

inline std::string U(const std::string& sj) { return cp932::ToUtf8(sj); }

struct PickupFixture {
  TempDir dir;
  CMyDB db;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2026, 5, 17}};
  CMyPickup m{db, prompter, beeper, clock};
  PickupSetup setup;

  explicit PickupFixture(int dataKind = 0) {
    EXPECT_EQ(0, DefineMemoSchema(db));
    auto field = [this](const char* name, const char* caption, bool numeric, int decimals, int list) {
      PickupField f;
      f.name = name;
      f.caption = cp932::FromUtf8(caption);
      f.numeric = numeric;
      f.decimals = decimals;
      f.list = list;
      (void)db.SetAlias(f.name, f.caption);
      setup.fields.push_back(f);
    };
    field("DAT001", "品目", false, 0, -1);
    field("DAT002", "分類", false, 0, 0);
    field("DAT004", "金額", true, 0, -1);
    field("DAT005", "税率", true, 2, -1);
    field("DAT006", "税込", true, 0, -1);
    ColorKind red;
    red.name = "赤"_sj;
    red.useText = true;
    red.textColor = 255;
    ColorKind both;
    both.name = "ToDo";
    both.useText = both.useBack = true;
    both.textColor = 0;
    both.backColor = 65535;
    setup.colors = {red, both};
    setup.dataKind = dataKind;
    setup.divisionDir = dir.path();
    setup.defaultLines = 25;
    setup.shownDate = {2026, 5, 17};
    setup.shownPage = 3;
    m.Setup(setup);
  }
  int Row(const char* captionUtf8) const { return m.RowOfCaption(cp932::FromUtf8(captionUtf8)); }
  void Where(const char* captionUtf8, const char* valueUtf8) {
    m.SetCellText(Row(captionUtf8), m.ValueColumn(), cp932::FromUtf8(valueUtf8));
  }
  void SortBy(const char* captionUtf8, char number, bool down = false) {
    m.TypeKey(Row(captionUtf8), m.ColumnOf(CMyPickup::kSortNo), number);
    if (down) m.TypeKey(Row(captionUtf8), m.ColumnOf(CMyPickup::kOrder), '1');
  }
  std::string SortNo(const char* captionUtf8) const { return m.GetRow(Row(captionUtf8)).sortNo; }
};
