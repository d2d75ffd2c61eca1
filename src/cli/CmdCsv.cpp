// jbx csv: what the CSV reader makes of a file, one JSON array a record.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "exchange/CMyCSV.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"

namespace {
std::string OneLine(std::string s) {
  for (char& c : s)
    if (c == '\n' || c == '\r') c = ' ';
  return s;
}
}  // namespace

int CmdCsv(int argc, char** argv) {
  cli::Args a(argc, argv);
  const bool header = a.Flag("--header");
  const bool utf8 = a.Flag("--utf8");
  const std::vector<std::string> rest = a.Rest();
  if (!a.Ok()) return cli::UsageError("csv", a.Error());
  if (rest.size() != 1) return cli::UsageError("csv", "読むファイルを 1 つ指定してください");
  const std::string problem = cli::FileProblem(rest[0]);
  if (!problem.empty()) return cli::Fail("csv", problem);
  StderrPrompter prompter;
  SystemClock clock;
  CMyCSV csv(prompter, clock);
  csv.UseDefinitions(false);
  csv.SetEncoding(utf8 ? CsvEncoding::kUtf8 : CsvEncoding::kShiftJis);
  const int rc = csv.Open(rest[0], header);
  // UTF-8 read as Shift-JIS gives names and values nobody wrote
  auto hint = [&] {
    return !utf8 && csv.FileEncoding() == CsvEncoding::kShiftJis && csv.LooksLikeUtf8()
               ? std::string(" ファイルはUTF-8で書かれているようです。--utf8 を付けてください。")
               : std::string();
  };
  if (rc != CMyCSV::kOk)
    return cli::Fail("csv", OneLine(cp932::ToUtf8(csv.ErrorText())) + hint() + ": " + rest[0]);
  // a file saved on another system may end its lines differently
  std::fprintf(stderr, "jbx csv: 行末: %s\n", cp932::ToUtf8(CMyCSV::LineEndsText(csv.LineEnds())).c_str());
  auto print = [](const nlohmann::json& row) { std::printf("%s\n", row.dump().c_str()); };
  if (header) {
    nlohmann::json names = nlohmann::json::array();
    for (int c = 0; c < csv.ColumnCount(); ++c) names.push_back(cp932::ToUtf8(csv.ColumnName(c)));
    print(names);
  }
  for (;;) {
    const int n = csv.ReadRecord();
    if (n == 0) break;
    if (n < 0) {
      std::fflush(stdout);
      return cli::Fail("csv", std::to_string(csv.RecordsRead()) + "レコード目でエラーが発生しました。" +
                                  OneLine(cp932::ToUtf8(csv.ErrorText())) + hint());
    }
    nlohmann::json row = nlohmann::json::array();
    for (int c = 0; c < n; ++c) row.push_back(cp932::ToUtf8(csv.Value(c)));
    print(row);
  }
  if (!hint().empty()) std::fprintf(stderr, "jbx csv:%s\n", hint().c_str());
  return cli::kSuccess;
}
