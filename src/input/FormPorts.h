// The input form's calculated fields and selection lists over the
// division's files: the relation table and look-up tables for the
// calculations, the combo histories and text-editor lists for learning.
// Used by the form window and by `jbx add`, so both learn the same way.
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/CMyMaster.h"
#include "input/CMyHyo.h"
#include "input/Calculator.h"
#include "input/InputPorts.h"
#include "input/SelectionLists.h"

class CMyInput;
class Prompter;
class Beeper;

class CalcFormPort : public InputCalcPort {
 public:
  CalcFormPort(const std::string& divisionDir, Prompter* prompter, Beeper* beeper = nullptr);
  // Reads "relation.dat"; a division without one calculates nothing.
  void Load();
  void RunCalculations(CMyInput& form, int control) override;
  // Operands of the last calculation of each target control that were
  // empty or not numbers (they counted as 0); none for a clean result.
  const std::vector<std::string>& NotNumbers(int control) const;

 private:
  std::string dir_;
  Calculator calc_;
  CMyMaster relations_;
  std::map<int, std::vector<std::string>> notNumbers_;
};

class ListFormPort : public InputListPort {
 public:
  ListFormPort(const std::string& divisionDir, Prompter* prompter);
  // Loads the histories and lists of the form's controls (after BuildForm).
  void Load(const CMyInput& form);
  // The items of combo `slot` (the pair's child: under the parent's text).
  std::vector<std::string> ComboItems(int slot, const std::string& parentText = {});
  // The list of text editor `slot`, null when it has none.
  CMyHyo* List(int slot);
  CMyHyo* Pair() { return pair_.get(); }
  // The row a whole number typed into text editor `control` is the code of,
  // when the form shows its list in the strip; nothing when the text is not
  // a code (it stays as typed). The form and jbx both take codes this way.
  std::optional<std::string> CodeEntry(const CMyInput& form, int control);
  // Learning saves that failed since the last call (to tell the user once).
  int TakeFailedSaves() {
    int n = failed_;
    failed_ = 0;
    return n;
  }

  void LearnComboValue(int comboSlot, const std::string& text) override;
  void LearnListValue(int textSlot, const std::string& text, const std::string& parentText) override;
  void LearnPairValue(const std::string& parentText, const std::string& childText) override;

 private:
  std::string dir_;
  int pairChild_ = -1;
  std::map<int, sellist::ComboList> combos_;
  std::map<int, std::unique_ptr<CMyHyo>> lists_;
  std::unique_ptr<CMyHyo> pair_;
  int failed_ = 0;
};
