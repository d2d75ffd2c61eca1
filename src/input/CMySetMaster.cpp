#include "input/CMySetMaster.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <tuple>

#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "platform/SharedFile.h"

namespace {

bool IsWholeNumber(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

// ---- CMySetMaster -------------------------------------------------------------

CMySetMaster::CMySetMaster(std::string dir, int comboSlot, Prompter* prompter, Beeper* beeper,
                           const CMyHyo* pair, int childSlot)
    : dir_(std::move(dir)),
      slot_(comboSlot),
      prompter_(prompter),
      beeper_(beeper),
      hasPair_(pair != nullptr),
      childSlot_(childSlot) {
  sellist::LoadComboList(dir_ + "/" + sellist::ComboFile(slot_), list_);
  if (pair) pair_ = *pair;
}

void CMySetMaster::Warn(const char* utf8) {
  if (prompter_) prompter_->Warn(cp932::FromUtf8(utf8));
}

void CMySetMaster::Beep() {
  if (beeper_) beeper_->Beep();
}

void CMySetMaster::SetLearn(bool on) {
  if (on != list_.learn) changed_ = true;
  list_.learn = on;
}

bool CMySetMaster::Check(const std::string& name, int self) {
  if (name.empty()) {
    Warn("項目名を設定して下さい。");
    return false;
  }
  if (name.compare(0, 3, "$$$") == 0) {
    Warn("頭３文字に＄はシステムで予約されています。");
    return false;
  }
  for (int i = 0; i < static_cast<int>(list_.items.size()); ++i) {
    if (i != self && list_.items[static_cast<size_t>(i)] == name) {
      Warn("既に同じ項目名が登録されています。");
      return false;
    }
  }
  return true;
}

int CMySetMaster::Add(const std::string& name, int selected) {
  if (!Check(name, -1)) return -1;
  int n = static_cast<int>(list_.items.size());
  int at = selected >= 0 && selected < n ? selected : n;
  list_.items.insert(list_.items.begin() + at, name);
  changed_ = true;
  return at;
}

int CMySetMaster::Update(const std::string& name, int selected) {
  if (selected < 0 || selected >= static_cast<int>(list_.items.size())) {
    Warn("項目を選択して下さい。");
    return -1;
  }
  if (!Check(name, selected)) return -1;
  std::string old = list_.items[static_cast<size_t>(selected)];
  list_.items[static_cast<size_t>(selected)] = name;
  changed_ = true;
  if (hasPair_ && old != name) {
    for (int r = 0; r < pair_.RowCount(); ++r) {
      if (pair_.Cell(1, r) == old) {
        pair_.SetCell(1, r, name);
        pairChanged_ = true;
      }
    }
  }
  return selected;
}

int CMySetMaster::Delete(int selected) {
  if (selected < 0 || selected >= static_cast<int>(list_.items.size())) {
    Warn("項目を選択して下さい。");
    return -1;
  }
  list_.items.erase(list_.items.begin() + selected);
  changed_ = true;
  int n = static_cast<int>(list_.items.size());
  return selected < n ? selected : n - 1;
}

int CMySetMaster::MoveUp(int selected) {
  if (selected <= 0 || selected >= static_cast<int>(list_.items.size())) {
    Beep();
    return selected;
  }
  std::swap(list_.items[static_cast<size_t>(selected)], list_.items[static_cast<size_t>(selected - 1)]);
  changed_ = true;
  return selected - 1;
}

int CMySetMaster::MoveDown(int selected) {
  if (selected < 0 || selected + 1 >= static_cast<int>(list_.items.size())) {
    Beep();
    return selected;
  }
  std::swap(list_.items[static_cast<size_t>(selected)], list_.items[static_cast<size_t>(selected + 1)]);
  changed_ = true;
  return selected + 1;
}

CMySetMaster::Closed CMySetMaster::Close() {
  Closed out;
  out.changed = changed_;
  out.learn = list_.learn;
  out.items = list_.items;
  if (!changed_) return out;
  const std::string path = dir_ + "/" + sellist::ComboFile(slot_);
  const std::string pairPath = dir_ + "/" + sellist::PairFile(childSlot_);
  // the editor's list replaces the file whole: one another program wrote
  // while the editor was open is not written over
  fileops::WriteLock lock;
  if (!sharedfile::Lock(lock, sharedfile::LockOfDivision(fileops::DirName(path)), prompter_)) {
    out.failed = true;
    return out;
  }
  fileops::FileId now;
  const bool pairMoved = pairChanged_ && childSlot_ >= 0 && pair_.ChangedOnDisk(pairPath);
  if (sharedfile::Compare(path, list_.seen, now) != 0 || pairMoved) {
    lock.Release();  // never held while a message is up
    if (prompter_) prompter_->Warn(sharedfile::ChangedText(pairMoved ? pairPath : path));
    out.failed = true;
    return out;
  }
  if (sellist::SaveComboList(path, list_) < 0) {
    lock.Release();
    Warn("保存に失敗しました。");
    out.failed = true;
    return out;
  }
  out.saved = true;
  sellist::ComboList back;
  if (sellist::LoadComboList(path, back) == 0) out.items = back.items;
  if (pairChanged_ && childSlot_ >= 0) {
    if (pair_.Save(pairPath) < 0) {
      lock.Release();
      Warn("保存に失敗しました。");
      out.failed = true;
      return out;  // changed_ stays set: a retry writes both files again
    }
    pairChanged_ = false;
  }
  changed_ = false;
  return out;
}

// ---- CMySetMaster2 ------------------------------------------------------------

CMySetMaster2::CMySetMaster2(const Args& args, Prompter* prompter, Beeper* beeper)
    : args_(args), prompter_(prompter), beeper_(beeper), hasTable_(args.table != nullptr) {
  if (args_.table) table_ = *args_.table;
  if (args_.child) child_ = *args_.child;
  auto_ = table_.Switch(1);
  if (args_.parentSlot != -1) {
    if (args_.mode == kPairChild) {
      sellist::ComboList parent;
      sellist::LoadComboList(args_.dir + "/" + sellist::ComboFile(args_.parentSlot), parent);
      parentValues_ = parent.items;
    } else {
      CMyHyo parent;
      parent.Load(args_.dir + "/" + sellist::ListFile(args_.parentSlot));
      for (int r = 0; r < parent.RowCount(); ++r) parentValues_.push_back(parent.Cell(2, r));
    }
    parentOn_ = table_.Switch(2);
    if (std::find(parentValues_.begin(), parentValues_.end(), args_.parentValue) != parentValues_.end())
      parent_ = args_.parentValue;
  }
  LoadWork();
}

void CMySetMaster2::Warn(const char* utf8) {
  if (prompter_) prompter_->Warn(cp932::FromUtf8(utf8));
}

void CMySetMaster2::Beep() {
  if (beeper_) beeper_->Beep();
}

void CMySetMaster2::LoadWork() {
  work_.Clear();
  int to = 0;
  for (int r = 0; r < table_.RowCount(); ++r) {
    if (parentOn_ && table_.Cell(1, r) != parent_) continue;
    table_.CopyRow(work_, to++, r);
  }
}

void CMySetMaster2::Merge() {
  if (!parentOn_) {
    table_.Clear();
  }
  table_.SetSwitch(0, true);
  table_.SetSwitch(1, auto_);
  table_.SetSwitch(2, parentOn_);
  if (parentOn_) {  // exactly the rows the working copy was made from
    for (int r = table_.RowCount() - 1; r >= 0; --r)
      if (table_.Cell(1, r) == parent_) table_.DeleteRow(r);
  }
  int to = table_.RowCount();
  for (int r = 0; r < work_.RowCount(); ++r) work_.CopyRow(table_, to++, r);
}

std::vector<std::string> CMySetMaster2::Lines() const {
  std::vector<std::string> out;
  for (int r = 0; r < work_.RowCount(); ++r) {
    std::string key = work_.Cell(0, r);
    char buf[16];
    if (!key.empty())
      std::snprintf(buf, sizeof buf, "%2d ", std::atoi(key.c_str()));
    else
      std::snprintf(buf, sizeof buf, " - ");
    out.push_back(buf + work_.Cell(2, r));
  }
  return out;
}

void CMySetMaster2::SetAuto(bool on) {
  if (on != auto_) changed_ = true;
  auto_ = on;
}

void CMySetMaster2::SetParentOn(bool on) {
  if (!ParentEnabled() || on == parentOn_) return;
  Merge();
  parentOn_ = on;
  changed_ = true;
  LoadWork();
}

void CMySetMaster2::SetParentValue(const std::string& value) {
  if (value == parent_) return;
  Merge();
  parent_ = value;
  LoadWork();
}

bool CMySetMaster2::Check(const std::string& name, const std::string& key, int self) {
  if (!hasTable_) {
    Warn("設定がされていません。");
    return false;
  }
  if (parentOn_ && parent_.empty()) {
    Warn("親データを選択して下さい。");
    return false;
  }
  if (name.empty()) {
    Warn("項目名を設定して下さい。");
    return false;
  }
  if (name == "*") {
    Warn("システムで使用されています。");
    return false;
  }
  if (!key.empty() && (!IsWholeNumber(key) || key.size() > 2)) {
    Warn("正数を入力して下さい。");
    return false;
  }
  for (int r = 0; r < work_.RowCount(); ++r) {
    if (r == self) continue;
    if (work_.Cell(2, r) == name) {
      Warn("既に同じ項目名が登録されています。");
      return false;
    }
  }
  if (!key.empty()) {
    for (int r = 0; r < work_.RowCount(); ++r) {
      if (r != self && !work_.Cell(0, r).empty() &&
          std::atoi(work_.Cell(0, r).c_str()) == std::atoi(key.c_str())) {
        Warn("既に同じ数字キーが登録されています。");
        return false;
      }
    }
  }
  return true;
}

int CMySetMaster2::Add(const std::string& name, const std::string& key) {
  const std::string k = KeyEnabled() ? key : std::string();
  if (!Check(name, k, -1)) return -1;
  int row = work_.RowCount();
  work_.SetCell(0, row, k);
  work_.SetCell(1, row, parentOn_ ? parent_ : std::string("NoP"));
  work_.SetCell(2, row, name);
  changed_ = true;
  return row;
}

int CMySetMaster2::Update(int selected, const std::string& name, const std::string& key) {
  if (hasTable_ && (selected < 0 || selected >= work_.RowCount())) {
    Warn("項目を選択して下さい。");
    return -1;
  }
  const std::string k = KeyEnabled() ? key : work_.Cell(0, selected);
  if (!Check(name, k, selected)) return -1;
  const std::string old = work_.Cell(2, selected);
  work_.SetCell(0, selected, k);
  work_.SetCell(1, selected, parentOn_ ? parent_ : std::string("NoP"));
  work_.SetCell(2, selected, name);
  changed_ = true;
  if (args_.child && old != name) {
    for (int r = 0; r < child_.RowCount(); ++r) {
      if (child_.Cell(1, r) == old) {
        child_.SetCell(1, r, name);
        childChanged_ = true;
      }
    }
  }
  return selected;
}

int CMySetMaster2::Delete(int selected) {
  if (selected < 0 || selected >= work_.RowCount()) {
    Beep();
    return -1;
  }
  work_.DeleteRow(selected);
  changed_ = true;
  return selected < work_.RowCount() ? selected : work_.RowCount() - 1;
}

int CMySetMaster2::MoveUp(int selected) {
  if (selected <= 0 || selected >= work_.RowCount()) {
    Beep();
    return selected;
  }
  work_.MoveRow(selected, selected - 1);
  changed_ = true;
  return selected - 1;
}

int CMySetMaster2::MoveDown(int selected) {
  if (selected < 0 || selected + 1 >= work_.RowCount()) {
    Beep();
    return selected;
  }
  work_.MoveRow(selected, selected + 1);
  changed_ = true;
  return selected + 1;
}

CMySetMaster2::Closed CMySetMaster2::Close() {
  Closed out;
  const std::string name =
      args_.mode == kPairChild ? sellist::PairFile(args_.slot) : sellist::ListFile(args_.slot);
  const std::string path = args_.dir + "/" + name,
                    childPath = args_.dir + "/" + sellist::ListFile(args_.childSlot);
  // the editor's lists replace their files whole: one another program
  // wrote while the editor was open is not written over
  fileops::WriteLock lock;
  if ((changed_ && hasTable_) || (childChanged_ && args_.childSlot >= 0)) {
    if (!sharedfile::Lock(lock, sharedfile::LockOfDivision(fileops::DirName(path)), prompter_)) {
      out.failed = true;
      return out;
    }
    for (const auto& [on, list, at] :
         {std::tuple{changed_ && hasTable_, &table_, &path},
          std::tuple{childChanged_ && args_.childSlot >= 0, &child_, &childPath}}) {
      if (on && list->ChangedOnDisk(*at)) {
        lock.Release();  // never held while a message is up
        if (prompter_) prompter_->Warn(sharedfile::ChangedText(*at));
        out.failed = true;
        return out;
      }
    }
  }
  if (changed_ && hasTable_) {
    Merge();
    LoadWork();  // a second Close must not append the rows again
    out.saved = table_.Save(path) >= 0;
    out.failed = !out.saved;
    changed_ = !out.saved;  // a failed save stays pending for the next Close
  }
  if (childChanged_ && args_.childSlot >= 0) {
    out.childSaved = child_.Save(childPath) >= 0;
    out.failed = out.failed || !out.childSaved;
    childChanged_ = !out.childSaved;
  }
  lock.Release();
  if (out.failed) Warn("保存に失敗しました。");
  return out;
}
