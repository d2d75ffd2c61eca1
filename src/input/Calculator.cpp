#include "input/Calculator.h"

#include <cmath>
#include <cstdio>

#include "catalogue/CMyMaster.h"
#include "input/HyoLookup.h"
#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "shell/CMyPublic.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "DATnnn" at `p` with nnn in 1..20 -> the editor slot (nnn - 1), else -1.
int FieldRef(const std::string& s, size_t p) {
  if (p + 6 > s.size() || s.compare(p, 3, "DAT") != 0) return -1;
  if (!IsDigit(s[p + 3]) || !IsDigit(s[p + 4]) || !IsDigit(s[p + 5])) return -1;
  int n = (s[p + 3] - '0') * 100 + (s[p + 4] - '0') * 10 + (s[p + 5] - '0');
  return n >= 1 && n <= 20 ? n - 1 : -1;
}

std::string RefName(int slot) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "DAT%03d", slot + 1);
  return buf;
}

}  // namespace

void Calculator::Warn(const char* utf8) const {
  if (prompter_) prompter_->Warn(cp932::FromUtf8(utf8));
}

double Calculator::LeadingNumber(const std::string& text, bool* whole) {
  size_t i = 0;
  double sign = 1;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) sign = text[i++] == '-' ? -1 : 1;
  double value = 0;
  size_t digits = 0;
  for (; i < text.size(); ++i) {
    // the number check writes amounts as "1,000": a comma between digits
    // is a thousands separator, not the end of the number
    if (text[i] == ',' && digits > 0 && i + 1 < text.size() && IsDigit(text[i + 1])) continue;
    if (!IsDigit(text[i])) break;
    value = value * 10 + (text[i] - '0');
    ++digits;
  }
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits, scale /= 10)
      value += (text[i] - '0') * scale;
  }
  if (whole) *whole = digits > 0 && i == text.size();
  return digits ? sign * value : 0;
}

std::string Calculator::FormatResult(double value, int decimals) {
  if (!std::isfinite(value)) value = 0;
  // the shortest plain text that keeps the value, without an exponent
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.10f", value);
  std::string s = buf;
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  std::string fixed = CMyPublic::FixDecimals(s, decimals);
  // the formatter gives up on long texts; a long number is still a number
  if (fixed.empty()) fixed = decimals < 0 ? s : CMyPublic::FormatFixed(value, decimals);
  return fixed;
}

bool Calculator::EvaluateFunction(const std::string& text, FormFields& fields, std::string& result,
                                  size_t& used) const {
  result.clear();
  used = 0;
  if (text.compare(0, 3, "&TM") == 0) {
    result = "0.5";
    used = 3;
    return true;
  }
  if (text.compare(0, 4, "&TB(") != 0) {
    used = text.size();  // an unknown function yields nothing
    return true;
  }
  size_t p = 4;
  if (p + 2 > text.size() || (text[p] != '1' && text[p] != '2') || text[p + 1] != ',') return false;
  const int d = text[p] - '0';
  p += 2;
  if (text.size() - p < (d == 1 ? 9u : 16u)) return false;
  if (text[p] < '1' || text[p] > '9' || text[p + 1] != ',') return false;
  const int table = text[p] - '0';
  p += 2;
  std::string keys[2];
  for (int k = 0; k < d; ++k) {
    if (k > 0) {
      if (text[p] != ',') return false;
      ++p;
    }
    int slot = FieldRef(text, p);
    if (slot < 0) return false;
    keys[k] = fields.Text(slot);
    if (keys[k].size() > 30) return false;
    p += 6;
  }
  if (p >= text.size() || text[p] != ')') return false;
  used = p + 1;
  result = hyo::Lookup(dir_, d, table, keys[0], keys[1]);
  return true;
}

CalcResult Calculator::Calculate(const jsc::Control& target, FormFields& fields) const {
  CalcResult out;
  if (target.kind != jsc::kText) {
    if (beeper_) beeper_->Beep();
    Warn("P)計算処理のコントロールはテキストエディタのみ可能です。");
    return out;
  }
  const std::string& f = target.formula;
  if (f.size() > static_cast<size_t>(kMaxFormula)) {
    Warn("P:計算式が不正です。");
    return out;
  }
  if (!f.empty() && f[0] == '=') {
    double acc = 0;
    size_t p = 0;
    while (p + 1 < f.size()) {
      const char op = f[p];
      double operand = 0;
      if (f[p + 1] == 'D') {
        if (f.size() - p < 7) break;
        int slot = FieldRef(f, p + 1);
        if (slot < 0) {
          Warn("P:計算式が不正です。");
          return out;
        }
        bool whole = false;
        operand = LeadingNumber(fields.Text(slot), &whole);
        if (!whole) out.notNumbers.push_back(RefName(slot));
        p += 7;
      } else if (f[p + 1] == '&') {
        std::string r;
        size_t used = 0;
        if (!EvaluateFunction(f.substr(p + 1), fields, r, used)) {
          Warn("P:関数式が不正です。(2)");
          return out;
        }
        if (r.empty()) {
          fields.SetText(target.slot, std::string());
          out.written = true;
          return out;
        }
        operand = LeadingNumber(r);
        p += 1 + used;
      } else {
        break;
      }
      switch (op) {
        case '*':
          acc *= operand;
          break;
        case '+':
          acc += operand;
          break;
        case '-':
          acc -= operand;
          break;
        case '/':
          if (operand != 0) acc /= operand;
          break;
        default:
          acc = operand;
      }
    }
    fields.SetText(target.slot, FormatResult(acc, target.dataType == jsc::kDecimal ? target.decimals : -1));
    out.written = true;
    return out;
  }
  if (!f.empty() && f[0] == '&') {
    std::string r;
    size_t used = 0;
    if (!EvaluateFunction(f, fields, r, used)) {
      Warn("P:関数式が不正です。(1)");
      return out;
    }
    fields.SetText(target.slot, r);
    out.written = true;
  }
  return out;
}

std::vector<Calculator::Computed> Calculator::RunCalculations(const std::string& source,
                                                              const CMyMaster& relations,
                                                              const std::vector<jsc::Control>& controls,
                                                              FormFields& fields) const {
  std::vector<Computed> done;
  for (int i = 0; i < relations.RecordCount(); ++i) {
    const char* rec = relations.Record(i);
    std::string from = le::GetFixedText(rec + CMyMaster::kRText2, 32);
    int kind = le::GetI32(rec + CMyMaster::kRKey11);
    if (!collate::EqualNoCase(from, source) || (kind != 1 && kind != 2)) continue;
    std::string to = le::GetFixedText(rec + CMyMaster::kRText3, 20);
    if (to.size() != 6) {
      Warn("PG:計算先フィールド名が不正です。");
      break;
    }
    for (const auto& c : controls) {
      if (c.IsField() && collate::EqualNoCase(c.field, to)) {
        done.push_back({c.slot, Calculate(c, fields)});
        break;
      }
    }
  }
  return done;
}
