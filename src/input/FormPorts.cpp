#include "input/FormPorts.h"

#include "input/CMyInput.h"
#include "platform/FileOps.h"

namespace {
std::string Join(const std::string& dir, const std::string& name) {
  return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}
}  // namespace

CalcFormPort::CalcFormPort(const std::string& divisionDir, Prompter* prompter, Beeper* beeper)
    : dir_(divisionDir), calc_(divisionDir, prompter, beeper), relations_("RELATION", prompter) {}

void CalcFormPort::Load() {
  if (relations_.Read(Join(dir_, "relation.dat")) != 0) relations_.Init("RELATION");
}

void CalcFormPort::RunCalculations(CMyInput& form, int control) {
  const auto& controls = form.ControlList();
  if (control < 0 || control >= static_cast<int>(controls.size())) return;
  FunctionFields fields([&form](int slot) { return form.Value(form.ControlOf(jsc::kText, slot)); },
                        [&form](int slot, const std::string& text) {
                          const int c = form.ControlOf(jsc::kText, slot);
                          if (c >= 0) form.SetValue(c, text);
                        });
  for (const auto& done :
       calc_.RunCalculations(controls[static_cast<size_t>(control)].field, relations_, controls, fields)) {
    const int target = form.ControlOf(jsc::kText, done.slot);
    if (target >= 0) notNumbers_[target] = done.result.notNumbers;
  }
}

const std::vector<std::string>& CalcFormPort::NotNumbers(int control) const {
  static const std::vector<std::string> kNone;
  auto it = notNumbers_.find(control);
  return it == notNumbers_.end() ? kNone : it->second;
}

// failed learning saves are counted for the caller to tell, not shown here
ListFormPort::ListFormPort(const std::string& divisionDir, Prompter* /*prompter*/) : dir_(divisionDir) {}

void ListFormPort::Load(const CMyInput& form) {
  combos_.clear();
  lists_.clear();
  pair_.reset();
  pairChild_ = form.PairChild();
  for (const auto& c : form.ControlList()) {
    if (c.kind == jsc::kCombo && c.slot != pairChild_) {
      sellist::ComboList list;
      (void)sellist::LoadComboList(Join(dir_, sellist::ComboFile(c.slot)), list);  // missing: empty
      combos_[c.slot] = std::move(list);
    } else if (c.kind == jsc::kCombo) {
      pair_ = std::make_unique<CMyHyo>();
      if (pair_->Load(Join(dir_, sellist::PairFile(c.slot))) != 0 || !pair_->Switch(0)) {
        // a list never set up learns from the start
        pair_->SetSwitch(0, true);
        pair_->SetSwitch(1, true);
        pair_->SetSwitch(2, true);
      }
    } else if (c.kind == jsc::kText && c.listFlag != 0) {
      auto list = std::make_unique<CMyHyo>();
      if (list->Load(Join(dir_, sellist::ListFile(c.slot))) != 0 || !list->Switch(0)) {
        list->SetSwitch(0, true);
        list->SetSwitch(1, true);
        list->SetSwitch(2, c.linkedSlot != -1);
      }
      lists_[c.slot] = std::move(list);
    }
  }
}

std::vector<std::string> ListFormPort::ComboItems(int slot, const std::string& parentText) {
  if (slot == pairChild_ && pair_) return sellist::FillChildCombo(*pair_, parentText);
  auto it = combos_.find(slot);
  return it == combos_.end() ? std::vector<std::string>() : it->second.items;
}

CMyHyo* ListFormPort::List(int slot) {
  auto it = lists_.find(slot);
  return it == lists_.end() ? nullptr : it->second.get();
}

std::optional<std::string> ListFormPort::CodeEntry(const CMyInput& form, int control) {
  const auto& controls = form.ControlList();
  if (control < 0 || control >= static_cast<int>(controls.size()) || !form.Strip().shown) return std::nullopt;
  const jsc::Control& c = controls[static_cast<size_t>(control)];
  CMyHyo* list = c.kind == jsc::kText ? List(c.slot) : nullptr;
  if (!list) return std::nullopt;
  const int linked = c.linkedSlot;
  const int parent = linked >= 0 && linked < 20 ? form.ControlOf(jsc::kText, linked) : -1;
  return sellist::CodeEntry(*list, form.Value(control), parent >= 0,
                            parent >= 0 ? form.Value(parent) : std::string());
}

void ListFormPort::LearnComboValue(int comboSlot, const std::string& text) {
  auto it = combos_.find(comboSlot);
  if (it == combos_.end()) return;
  if (sellist::LearnComboValue(it->second, text, Join(dir_, sellist::ComboFile(comboSlot))) < 0) ++failed_;
}

void ListFormPort::LearnListValue(int textSlot, const std::string& text, const std::string& parentText) {
  CMyHyo* list = List(textSlot);
  if (list && sellist::LearnListValue(false, *list, text, parentText, textSlot, dir_) < 0) ++failed_;
}

void ListFormPort::LearnPairValue(const std::string& parentText, const std::string& childText) {
  if (pair_ && sellist::LearnListValue(true, *pair_, childText, parentText, pairChild_, dir_) < 0) ++failed_;
}
