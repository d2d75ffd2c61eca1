// jbx merge-conflicts: the copies a sync tool left beside a book's month
// files when two machines changed one month, merged into the book as the
// window offers at opening.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/CliBook.h"
#include "cli/Commands.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/SharedConflicts.h"

int CmdMergeConflicts(int argc, char** argv) {
  cli::Args a(argc, argv);
  std::string root, user, division = "0";
  a.Value("--root", root);
  a.Value("--user", user);
  a.Value("--division", division);
  const bool yes = a.Flag("--yes");
  if (!a.Ok()) return cli::UsageError("merge-conflicts", a.Error());
  if (root.empty()) return cli::UsageError("merge-conflicts", "--root がありません");
  if (user.empty()) return cli::UsageError("merge-conflicts", "--user がありません");
  if (!a.Rest().empty()) return cli::UsageError("merge-conflicts", "余分な引数があります");

  StderrPrompter prompter;
  CliBook book(prompter, SystemClock().Today());
  const std::string problem = book.Open(root, user, division, yes);
  if (!problem.empty()) return cli::Fail("merge-conflicts", problem);
  const std::vector<std::string> copies = book.periods.ConflictCopies();
  if (!yes) {
    // without --yes only what would be merged is listed
    for (const std::string& c : copies) std::printf("%s\n", c.c_str());
    for (const auto& c : sharedconflicts::Find(book.global))
      std::printf("%s%s\n", fileops::BaseName(c.copy).c_str(), c.mergeable ? "" : "（統合しません）");
    return cli::kSuccess;
  }
  std::vector<std::string> report;
  const bool failed = book.periods.MergeConflictCopies(report) < 0 ||
                      sharedconflicts::Merge(book.global, prompter, report) < 0;
  for (const std::string& line : report) std::printf("%s\n", cp932::ToUtf8(line).c_str());
  if (failed) return cli::kFailed;
  return cli::kSuccess;
}
