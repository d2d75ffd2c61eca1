// The models behind the two list editors ("マスタ設定"): CMySetMaster edits a
// combo box's history list, CMySetMaster2 a table list (a text editor's
// "selms" list or the child table of a combo pair) with numeric keys and
// parent values. Both work on copies, tell refusals through the Prompter
// ("注意") and write their files only when closed. Indices are positions in
// the editor's list box; -1 means nothing selected.
#pragma once
#include <string>
#include <vector>

#include "input/CMyHyo.h"
#include "input/SelectionLists.h"

class Beeper;
class Prompter;

class CMySetMaster {
 public:
  // `pair` (with `childSlot`) when the combo box is the parent of a pair:
  // renamed items are carried into the child table's parent values.
  CMySetMaster(std::string dir, int comboSlot, Prompter* prompter, Beeper* beeper = nullptr,
               const CMyHyo* pair = nullptr, int childSlot = -1);

  const std::vector<std::string>& Items() const { return list_.items; }
  bool Learn() const { return list_.learn; }
  void SetLearn(bool on);

  // Each returns the index to select afterwards, or -1 after a refusal.
  int Add(const std::string& name, int selected);
  int Update(const std::string& name, int selected);
  int Delete(int selected);
  int MoveUp(int selected);
  int MoveDown(int selected);

  struct Closed {
    bool changed = false;
    bool saved = false;              // the combo list file was written
    bool failed = false;             // a save failed; Close may be called again
    bool learn = false;              // the combo slot's learning switch
    std::vector<std::string> items;  // the combo box's items, from the file
  };
  // Saves when anything changed ("保存に失敗しました。" when that fails).
  // After a failure the edits stay pending, so a second Close tries again.
  Closed Close();
  const CMyHyo& Pair() const { return pair_; }

 private:
  bool Check(const std::string& name, int self);
  void Warn(const char* utf8);
  void Beep();

  std::string dir_;
  int slot_;
  Prompter* prompter_;
  Beeper* beeper_;
  sellist::ComboList list_;
  bool hasPair_;
  CMyHyo pair_;
  int childSlot_;
  bool changed_ = false, pairChanged_ = false;
};

class CMySetMaster2 {
 public:
  enum Mode { kEditorList = 0, kPairChild = 1 };
  struct Args {
    std::string dir;
    Mode mode = kEditorList;
    const CMyHyo* table = nullptr;  // null: "設定がされていません。" on editing
    int slot = 0;                   // the list's slot (file name)
    int parentSlot = -1;            // parent editor (mode 0) or parent combo (mode 1)
    std::string parentValue;        // the parent's current value
    const CMyHyo* child = nullptr;  // a list using this list's items as parents
    int childSlot = -1;
  };
  CMySetMaster2(const Args& args, Prompter* prompter, Beeper* beeper = nullptr);

  // Set-up state for the dialog.
  bool ParentEnabled() const { return args_.parentSlot != -1; }
  bool KeyEnabled() const { return args_.mode == kEditorList; }
  const std::vector<std::string>& ParentValues() const { return parentValues_; }
  const std::string& ParentValue() const { return parent_; }  // "" none chosen
  bool ParentOn() const { return parentOn_; }
  bool Auto() const { return auto_; }

  // The list box lines: "%2d %s" with a key, " - %s" without.
  std::vector<std::string> Lines() const;
  int RowCount() const { return work_.RowCount(); }
  std::string Name(int row) const { return work_.Cell(2, row); }
  std::string Key(int row) const { return work_.Cell(0, row); }

  void SetAuto(bool on);
  void SetParentOn(bool on);
  void SetParentValue(const std::string& value);

  // Index to select afterwards, or -1 after a refusal.
  int Add(const std::string& name, const std::string& key);
  int Update(int selected, const std::string& name, const std::string& key);
  int Delete(int selected);
  int MoveUp(int selected);
  int MoveDown(int selected);

  struct Closed {
    bool saved = false;       // the list file was written
    bool childSaved = false;  // the child list was written
    bool failed = false;      // a save failed ("保存に失敗しました。")
  };
  // After a failure the edits stay pending, so a second Close tries again.
  Closed Close();
  const CMyHyo& Table() const { return table_; }
  const CMyHyo& Child() const { return child_; }

 private:
  void LoadWork();
  void Merge();
  bool Check(const std::string& name, const std::string& key, int self);
  void Warn(const char* utf8);
  void Beep();

  Args args_;
  Prompter* prompter_;
  Beeper* beeper_;
  bool hasTable_;
  CMyHyo table_, work_, child_;
  std::vector<std::string> parentValues_;
  std::string parent_;
  bool parentOn_ = false, auto_ = false;
  bool changed_ = false, childChanged_ = false;
};
