// jbx import: a CSV file into a division through the import dialog's own
// model (checking pass, the day's safety copy, all-or-nothing writing).
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/CliBook.h"
#include "cli/Commands.h"
#include "exchange/CMyImport.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "shell/CivilDays.h"

int CmdImport(int argc, char** argv) {
  cli::Args a(argc, argv);
  std::string root, user, division = "0", today;
  a.Value("--root", root);
  a.Value("--user", user);
  a.Value("--division", division);
  a.Value("--today", today);
  const bool replace = a.Flag("--replace");
  const bool utf8 = a.Flag("--utf8");
  const bool guard = a.Flag("--formula-guard");
  const std::vector<std::string> rest = a.Rest();
  if (!a.Ok()) return cli::UsageError("import", a.Error());
  if (root.empty()) return cli::UsageError("import", "--root がありません");
  if (user.empty()) return cli::UsageError("import", "--user がありません");
  if (rest.size() != 1) return cli::UsageError("import", "取り込むファイルを 1 つ指定してください");
  CivilDate todayDate = SystemClock().Today();
  if (!today.empty() && !civil::ParseYmd(today, todayDate))
    return cli::UsageError("import", "--today が日付ではありません: " + today);
  const std::string problem = cli::FileProblem(AbsolutePath(rest[0]));
  if (!problem.empty()) return cli::Fail("import", problem);

  StderrPrompter prompter;
  CliBook b(prompter, todayDate);
  const std::string missing = b.Open(root, user, division, true);
  if (!missing.empty()) return cli::Fail("import", missing);
  ExchangeBook book = b.Book();
  CMyImport importer(book, prompter, b.clock);
  ImportOptions o;
  o.path = AbsolutePath(rest[0]);
  o.replaceAll = replace;
  o.encoding = utf8 ? CsvEncoding::kUtf8 : CsvEncoding::kShiftJis;
  o.formulaGuard = guard;
  o.interactive = false;
  o.remember = false;
  o.commandLine = true;
  ImportResult r;
  if (importer.Run(o, &r) != CMyImport::kOk) return cli::kFailed;
  std::printf("added\t%d\nskipped\t%d\ndeleted\t%d\nsafety-copy\t%s\nline-ends\t%s\n", r.added, r.skipped,
              r.deleted, r.safetyCopy.c_str(), cp932::ToUtf8(CMyCSV::LineEndsText(r.lineEnds)).c_str());
  return cli::kSuccess;
}
