// Calculated fields: a text editor whose control record holds a formula is
// filled from the other editors ("=DAT001*DAT002", strictly left to right),
// from a constant (&TM) or from a look-up table (&TB(...)). The relation
// table says which field's change recomputes which target.
#pragma once
#include <string>
#include <vector>

#include "input/FormFields.h"
#include "screens/InputDef.h"

class Beeper;
class CMyMaster;
class Prompter;

struct CalcResult {
  bool written = false;  // the target was written (or emptied)
  // Field references ("DAT002") whose editor was empty or did not hold a
  // number and so counted as 0: worth a tooltip on the target.
  std::vector<std::string> notNumbers;
};

class Calculator {
 public:
  static constexpr int kMaxFormula = 63;

  // `divisionDir` holds the look-up tables; prompter and beeper may be null.
  Calculator(std::string divisionDir, Prompter* prompter, Beeper* beeper = nullptr)
      : dir_(std::move(divisionDir)), prompter_(prompter), beeper_(beeper) {}

  // Recomputes `target` from its formula into `fields`. False after a
  // message; the target then keeps its text.
  CalcResult Calculate(const jsc::Control& target, FormFields& fields) const;

  // After the user left the editor of field `source` with a changed text:
  // every relation of kind 1 or 2 from `source` recomputes its target
  // among `controls`. Returns one result per target calculated (with the
  // target's slot), stopping at a malformed relation.
  struct Computed {
    int slot;
    CalcResult result;
  };
  std::vector<Computed> RunCalculations(const std::string& source, const CMyMaster& relations,
                                        const std::vector<jsc::Control>& controls, FormFields& fields) const;

  // A function call at `text` ("&TM", "&TB(1,3,DAT001)"): false when
  // malformed; otherwise `result` and the characters it took in `used`.
  bool EvaluateFunction(const std::string& text, FormFields& fields, std::string& result, size_t& used) const;

  // The accumulator as the target shows it: `decimals` fixed places, or
  // none fixed with -1.
  static std::string FormatResult(double value, int decimals);
  // The leading decimal number of a text (0 when none); `whole` tells
  // whether the text was nothing but that number.
  static double LeadingNumber(const std::string& text, bool* whole = nullptr);

 private:
  void Warn(const char* utf8) const;

  std::string dir_;
  Prompter* prompter_;
  Beeper* beeper_;
};
