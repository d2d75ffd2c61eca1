// jbx date / jbx time: the date and time helpers on texts from the command line.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/WidthFold.h"
#include "shell/CMyPublic.h"

namespace {

// The text as the helpers read it: full-width characters folded, CP932.
// False when it holds a character CP932 cannot hold.
bool Prepare(const std::string& utf8, std::string& sj) {
  return cp932::FromUtf8(widthfold::FoldAscii(utf8), sj) == 0;
}

}  // namespace

int CmdDate(int argc, char** argv) {
  cli::Args args(argc, argv);
  const bool era = args.Flag("--era");
  const bool json = args.Flag("--json");
  const std::vector<std::string> texts = args.Rest();
  if (!args.Ok()) return cli::UsageError("date", args.Error());
  if (texts.empty()) return cli::UsageError("date", "日付のテキストがありません");
  SystemClock clock;
  CMyPublic pub(clock);
  int status = cli::kSuccess;
  nlohmann::ordered_json records = nlohmann::ordered_json::array();
  for (const auto& t : texts) {
    std::string sj, date;
    if (Prepare(t, sj)) date = cp932::ToUtf8(pub.FormatDate(sj, era));
    if (date.empty()) {
      cli::Fail("date", "日付ではありません: " + t);
      status = cli::kFailed;
    }
    if (json)
      records.push_back(
          {{"text", t}, {"date", date.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(date)}});
    else
      std::printf("%s\n", date.c_str());
  }
  if (json) std::printf("%s\n", records.dump(2).c_str());
  return status;
}

int CmdTime(int argc, char** argv) {
  cli::Args args(argc, argv);
  const bool max23 = args.Flag("--max23");
  const bool json = args.Flag("--json");
  const std::vector<std::string> texts = args.Rest();
  if (!args.Ok()) return cli::UsageError("time", args.Error());
  if (texts.empty()) return cli::UsageError("time", "時刻のテキストがありません");
  int status = cli::kSuccess;
  nlohmann::ordered_json records = nlohmann::ordered_json::array();
  for (const auto& t : texts) {
    std::string sj;
    const bool ok = Prepare(t, sj);
    const std::string norm = ok ? CMyPublic::NormalizeTime(sj) : std::string();
    // the empty text passes the helper's check but is no time to report
    const bool isTime = ok && !norm.empty() && CMyPublic::IsTime(sj, max23);
    if (!isTime) {
      cli::Fail("time", "時刻ではありません: " + t);
      status = cli::kFailed;
    }
    if (json)
      records.push_back({{"text", t},
                         {"time", norm.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(norm)},
                         {"isTime", isTime}});
    else
      std::printf("%s\t%s\n", norm.c_str(), isTime ? "yes" : "no");
  }
  if (json) std::printf("%s\n", records.dump(2).c_str());
  return status;
}
