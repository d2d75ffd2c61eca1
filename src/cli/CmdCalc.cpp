// jbx calc: one calculated field worked out through the input form's own
// calculator, with the division's look-up tables.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/Commands.h"
#include "input/Calculator.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"

namespace {

const char kUsage[] =
    "usage: jbx calc --division-dir DIR --formula TEXT [--decimals N] [DATnnn=VALUE...]\n"
    "  prints the value the formula gives; a field that is empty or not a number\n"
    "  counts as 0 and is named on stderr\n";

}  // namespace

int CmdCalc(int argc, char** argv) {
  std::string dir, formula;
  int decimals = -1;
  bool haveFormula = false;
  MapFields fields;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if ((a == "--division-dir" || a == "--formula" || a == "--decimals") && i + 1 < argc) {
      std::string v = argv[++i];
      if (a == "--division-dir") {
        dir = v;
      } else if (a == "--formula") {
        if (cp932::FromUtf8(v, formula) != 0) {
          std::fprintf(stderr, "jbx calc: the formula holds a character CP932 cannot store\n");
          return 2;
        }
        haveFormula = true;
      } else {
        char* end = nullptr;
        long n = std::strtol(v.c_str(), &end, 10);
        if (!end || *end || n < 0 || n > 15) {
          std::fprintf(stderr, "jbx calc: --decimals wants 0 to 15\n");
          return 2;
        }
        decimals = static_cast<int>(n);
      }
      continue;
    }
    size_t eq = a.find('=');
    int n = 0;
    if (eq == 6 && a.compare(0, 3, "DAT") == 0 && std::sscanf(a.c_str() + 3, "%3d", &n) == 1 && n >= 1 &&
        n <= 20) {
      std::string sj;
      if (cp932::FromUtf8(a.substr(eq + 1), sj) != 0) {
        std::fprintf(stderr, "jbx calc: %s holds a character CP932 cannot store\n", a.substr(0, 6).c_str());
        return 2;
      }
      fields.values[n - 1] = sj;
      continue;
    }
    std::fprintf(stderr, "jbx calc: unexpected argument '%s'\n%s", a.c_str(), kUsage);
    return 2;
  }
  if (dir.empty() || !haveFormula) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  jsc::Control target;
  target.field = "DAT000";  // a target no formula can name
  target.kind = jsc::kText;
  target.slot = 20;
  target.formula = formula;
  target.dataType = decimals >= 0 ? jsc::kDecimal : 0;
  target.decimals = decimals;
  StderrPrompter prompter;
  Calculator calc(dir, &prompter);
  CalcResult r = calc.Calculate(target, fields);
  if (!r.written) {
    if (formula.empty() || (formula[0] != '=' && formula[0] != '&'))
      std::fprintf(stderr, "jbx calc: a formula starts with \"=\" or \"&\"\n");
    return 1;
  }
  for (const auto& name : r.notNumbers)
    std::fprintf(stderr, "jbx calc: %s is not a number (counted as 0)\n", name.c_str());
  std::printf("%s\n", cp932::ToUtf8(fields.Text(20)).c_str());
  return 0;
}
