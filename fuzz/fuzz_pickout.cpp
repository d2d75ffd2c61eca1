// Feeds arbitrary bytes to the extraction dialog as a condition file and as
// its list of saved methods, then builds the filter and sort, groups a few
// records by what the file asked for, and checks that what the dialog would
// write back reads again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFile.h"
#include "extract/CMyGroup.h"
#include "extract/CMyPickup.h"
#include "extract/ConditionFile.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  FuzzDir dir;
  if (!dir.ok()) return 0;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock;
  CMyDB db(&prompter);
  if (DefineMemoSchema(db) != 0) std::abort();
  PickupSetup setup;
  setup.dataKind = size > 0 && (data[0] & 1) ? 100 : 0;
  const char* captions[] = {"品目", "分類", "金額"};
  const char* names[] = {"DAT001", "DAT002", "DAT004"};
  for (int i = 0; i < 3; ++i) {
    PickupField f;
    f.name = names[i];
    f.caption = cp932::FromUtf8(captions[i]);
    f.numeric = i == 2;
    f.list = i == 1 ? 0 : -1;
    (void)db.SetAlias(f.name, f.caption);
    setup.fields.push_back(f);
  }
  ColorKind red;
  red.name = cp932::FromUtf8("赤");
  red.useText = true;
  setup.colors.push_back(red);
  setup.divisionDir = dir.path();
  for (const char* key : {"2026/01/02", "2026/01/03", "00001/00002"}) {
    db.New();
    (void)db.SetValue(memo::kKey, key);
    (void)db.SetValue(memo::Dat(2), "x");
    (void)db.SetValue(memo::Dat(4), key + 8);
    (void)db.Store();
  }

  CMyPickup m(db, prompter, beeper, clock);
  m.Setup(setup);
  pickfile::Image img;
  if (pickfile::Parse(bytes, img) == pickfile::kRead) {
    m.LoadImage(img);
    if (m.BuildExtraction() == CMyPickup::kOk) {
      CMyRec rec(&db);
      if (rec.SetSort(m.Sort(), false) == 0 && rec.Select(m.Filter()) >= 0 &&
          m.Mode() == CMyPickup::kGroupDisplay) {
        CMyGroup group(prompter);
        if (group.Build(db, rec.Items(), rec.Count(), m.GroupColumns()) >= 0 && group.Show(m.Sort()) == 0)
          for (int i = 0; i < group.RowCount(); ++i) (void)group.DisplayValue(i, memo::Dat(2));
      }
    }
    // whatever was read is written back as a file that reads again
    pickfile::Image again;
    if (pickfile::Parse(pickfile::Format(m.SaveImage()), again) != pickfile::kRead) std::abort();
  }
  if (!fileops::WriteAtomic(dir / "pickout.lst", bytes) || !fileops::WriteAtomic(dir / "pickout.pit", bytes))
    return 0;
  m.OpenDialog();
  for (const std::string& name : m.MethodItems())
    if (!name.empty() && name != cp932::FromUtf8("（前の内容）") && !CMyPickup::ValidMethodName(name))
      std::abort();
  m.SelectMethod(static_cast<int>(m.MethodItems().size()) - 1);
  (void)m.RunSavedExtraction("=" + bytes.substr(0, 40));
  return 0;
}
