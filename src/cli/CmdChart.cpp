// jbx chart: the chart window's chart without a display: the group rows of
// `jbx pickout`'s conditions drawn as bars, a pie or lines into a PNG or SVG
// file, or the series themselves as JSON, through the window's own code.
#include <QApplication>
#include <QPageLayout>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/PickoutSession.h"
#include "extract/ChartSeries.h"
#include "extract/QtChart.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"

namespace {

constexpr const char* kSub = "chart";

nlohmann::ordered_json PointJson(const chart::Point& p) {
  nlohmann::ordered_json j;
  j["label"] = cp932::ToUtf8(p.label);
  if (std::isnan(p.value))
    j["value"] = nullptr;
  else
    j["value"] = p.value;
  j["count"] = p.count;
  nlohmann::ordered_json keys = nlohmann::ordered_json::array();
  for (const auto& k : p.keys) keys.push_back(cp932::ToUtf8(k));
  j["keys"] = std::move(keys);
  return j;
}

void PrintJson(const chart::Chart& c) {
  nlohmann::ordered_json j;
  const char* kinds[] = {"bar", "pie", "line"};
  j["kind"] = kinds[static_cast<int>(c.kind)];
  j["title"] = cp932::ToUtf8(c.title);
  j["value"] = cp932::ToUtf8(c.valueCaption);
  j["category"] = cp932::ToUtf8(c.categoryCaption);
  if (!c.categories.empty()) {
    nlohmann::ordered_json cats = nlohmann::ordered_json::array();
    for (const auto& k : c.categories) cats.push_back(cp932::ToUtf8(k));
    j["categories"] = std::move(cats);
    nlohmann::ordered_json labels = nlohmann::ordered_json::array();
    for (const auto& k : c.axisLabels) labels.push_back(cp932::ToUtf8(k));
    j["axisLabels"] = std::move(labels);
  }
  nlohmann::ordered_json series = nlohmann::ordered_json::array();
  for (const auto& s : c.series) {
    nlohmann::ordered_json o;
    o["name"] = cp932::ToUtf8(s.name);
    nlohmann::ordered_json points = nlohmann::ordered_json::array();
    for (const auto& p : s.points) points.push_back(PointJson(p));
    o["points"] = std::move(points);
    series.push_back(std::move(o));
  }
  j["series"] = std::move(series);
  if (!c.note.empty()) j["note"] = cp932::ToUtf8(c.note);
  std::printf("%s\n", j.dump(2).c_str());
}

}  // namespace

int CmdChart(int argc, char** argv) {
  // the chart's own options; the rest are pickout's
  std::string kind = "bar", by, order = "value", value, png, svg;
  bool json = false;
  int width = 800, height = 500;
  std::vector<char*> rest{argv[0]};
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto take = [&](const char* name, std::string& out) {
      if (a != name) return false;
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string number;
    if (take("--kind", kind) || take("--by", by) || take("--order", order) || take("--value", value) ||
        take("--png", png) || take("--svg", svg))
      continue;
    if (take("--width", number) || take("--height", number)) {
      const int n = std::atoi(number.c_str());
      if (n < 100 || n > 8000) return cli::UsageError(kSub, "--width と --height は 100 から 8000 です");
      (a == "--width" ? width : height) = n;
      continue;
    }
    if (a == "--json") {
      json = true;
      continue;
    }
    if (a == "--run" || a == "--header") return cli::UsageError(kSub, "余分なオプションです: " + a);
    rest.push_back(argv[i]);
  }
  chart::Options options;
  bool doughnut = false;
  if (kind == "bar")
    options.kind = chart::Kind::kBar;
  else if (kind == "pie" || kind == "doughnut")
    options.kind = chart::Kind::kPie, doughnut = kind == "doughnut";
  else if (kind == "line")
    options.kind = chart::Kind::kLine;
  else
    return cli::UsageError(kSub, "--kind は bar、pie、doughnut、line です: " + kind);
  if (by == "month")
    options.by = chart::By::kMonth;
  else if (by == "day")
    options.by = chart::By::kDay;
  else if (!by.empty())
    return cli::UsageError(kSub, "--by は month か day です: " + by);
  if (options.kind == chart::Kind::kLine && options.by == chart::By::kNone) options.by = chart::By::kMonth;
  if (order != "value" && order != "key")
    return cli::UsageError(kSub, "--order は value か key です: " + order);
  options.byKey = order == "key";
  if (!value.empty() && cp932::FromUtf8(value, options.valueCaption) != 0)
    return cli::Fail(kSub, "項目名に CP932 で書けない文字があります: " + value);
  if (static_cast<int>(json) + !png.empty() + !svg.empty() != 1)
    return cli::UsageError(kSub, "--png FILE、--svg FILE、--json のどれか 1 つが要ります");
  const std::string out = png.empty() ? svg : png;
  if (!out.empty()) {
    const std::string dir = fileops::DirName(out);
    if (!dir.empty() && !fileops::IsDir(dir))
      return cli::Fail(kSub, "出力先のフォルダが見つかりません: " + dir);
  }

  // a chart is of group rows: --agg applies without a --group of its own (--by)
  static char mode[] = "--mode", group[] = "group";
  bool haveMode = false;
  for (char* a : rest) haveMode = haveMode || std::string(a) == "--mode";
  if (!haveMode) rest.insert(rest.end(), {mode, group});
  PickoutSession s(kSub);
  std::string why;
  const int opened = s.Open(static_cast<int>(rest.size()), rest.data(), true, [&](CMyPickup& m) {
    if (chart::PrepareConditions(m, options, why)) return true;
    cli::Fail(kSub, cp932::ToUtf8(why));
    return false;
  });
  if (opened != cli::kSuccess) return opened;
  if (const int rc = s.Run(); rc != cli::kSuccess) return rc;
  chart::Chart c;
  if (chart::Build(s.group, options, s.setup.colors, c, why) != 0) return cli::Fail(kSub, cp932::ToUtf8(why));
  if (!c.note.empty()) std::fprintf(stderr, "jbx %s: %s\n", kSub, cp932::ToUtf8(c.note).c_str());
  if (json) {
    PrintJson(c);
    return cli::kSuccess;
  }
  static int qtArgc = 1;
  static char qtName[] = "jbx";
  static char* qtArgv[] = {qtName, nullptr};
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(qtArgc, qtArgv);  // Qt Charts draws with graphics widgets
  if (!qtchart::Save(c, doughnut, QSize(width, height), QPageLayout(), out))
    return cli::Fail(kSub, "書込に失敗しました: " + out);
  return cli::kSuccess;
}
