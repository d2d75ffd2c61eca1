// The CSV reader on arbitrary bytes. The first byte chooses how it reads
// (header line, definitions of every type, UTF-8, the formula guard); the
// rest is the file. Every record read must have at most 256 fields of
// valid CP932 without a NUL, within the field limit and its definition's
// size; and what a plain read gives, written back by the writer, must read
// back as the same values.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzFile.h"
#include "exchange/CMyCSV.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"

namespace {

// Inside quotes a lone LF reads as CR LF: that is what comes back.
std::string AsReadBack(const std::string& v) {
  std::string out;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] == '\n' && (i == 0 || v[i - 1] != '\r')) out += '\r';
    out += v[i];
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t mode = data[0];
  const bool header = mode & 1, defs = mode & 2, utf8 = mode & 4, guard = mode & 8;
  FuzzFile file(data + 1, size - 1);
  if (!file.ok()) return 0;
  ScriptedPrompter prompter;
  FixedClock clock;
  CMyCSV csv(prompter, clock);
  csv.UseDefinitions(defs);
  if (defs) {
    const int types[] = {CMyCSV::kText, CMyCSV::kInteger, CMyCSV::kDecimal,
                         CMyCSV::kDate, CMyCSV::kTime,    CMyCSV::kTimeOfDay};
    const char* names[] = {"T", "I", "D", "YMD", "TIME", "HHMM"};
    for (int i = 0; i < 6; ++i)
      if (csv.AddDefinition(names[i], types[i], i == 0 ? 20 : 10, 2, 0, i == 3, i) != 0) std::abort();
  }
  csv.SetEncoding(utf8 ? CsvEncoding::kUtf8 : CsvEncoding::kShiftJis);
  csv.SetFormulaGuard(guard);
  if (csv.Open(file.path(), header) != 0) return 0;
  const bool plain = !header && !defs && !guard && csv.FileEncoding() == CsvEncoding::kShiftJis;
  std::vector<std::vector<std::string>> records;
  size_t bytes = 0;
  for (int k = 0; k < 20000; ++k) {
    const int n = csv.ReadRecord();
    if (n == 0) break;
    if (n < 0) {
      if (csv.FieldCount() != 0 || csv.ErrorText().empty()) std::abort();
      continue;
    }
    if (n > CMyCSV::kMaxColumns) std::abort();
    std::vector<std::string> rec;
    for (int c = 0; c < n; ++c) {
      const std::string& v = csv.Value(c);
      if (v.find('\0') != std::string::npos || !cp932::IsValid(v)) std::abort();
      // a UTF-8 character takes at least as many bytes as its CP932 form
      if (v.size() > static_cast<size_t>(CMyCSV::kMaxFieldBytes)) std::abort();
      const int d = csv.DefinitionOf(c);
      if (defs && d >= 0 && v.size() > static_cast<size_t>(csv.DefinitionAt(d).size)) std::abort();
      // the guard gives back exactly what it was given
      if (CMyCSV::Unguard(CMyCSV::Guard(v)) != v) std::abort();
      rec.push_back(v);
      bytes += v.size();
    }
    if (csv.Value(n).size() != 0) std::abort();
    if (plain && bytes < (1u << 20)) records.push_back(std::move(rec));
  }
  csv.Close();
  if (!plain || records.empty()) return 0;
  FuzzDir dir;
  if (!dir.ok()) return 0;
  CsvWriter w(dir / "back.csv", CsvEncoding::kShiftJis);
  if (!w.Open()) return 0;
  for (const auto& rec : records) {
    for (const auto& v : rec) w.Field(v);
    w.EndRecord();
  }
  if (!w.Commit()) return 0;
  CMyCSV back(prompter, clock);
  if (back.Open(dir / "back.csv", false) != 0) std::abort();
  for (const auto& rec : records) {
    if (back.ReadRecord() != static_cast<int>(rec.size())) std::abort();
    for (size_t c = 0; c < rec.size(); ++c)
      if (back.Value(static_cast<int>(c)) != AsReadBack(rec[c])) std::abort();
  }
  if (back.ReadRecord() != 0) std::abort();
  return 0;
}
