// jbx chart: the chart's series are the group rows `jbx pickout --run` prints
// for the same conditions, and its files are whole pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/JbxRun.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "support/TempDir.h"

namespace {

using nlohmann::json;

struct Book {
  TempDir dir;
  std::string root = dir / "root";
  std::string book, base;  // base: the book as shown in March 2026
  Book() {
    EXPECT_TRUE(MakeBooks(root, {{"PK3_家計簿", "kakei"}}));
    book = "--root " + root + " --user u --division kakei ";
    base = book + "--shown 2026/03/15 ";
  }
  // Entries "yyyy/mm/dd,分類,金額" lines, imported in one go.
  void Import(const std::string& lines) {
    const std::string csv = dir / "in.csv";
    WriteBytes(csv, "\xEF\xBB\xBF年月日,品目,分類,金額\r\n" + lines);
    RunResult r = Jbx("import " + book + "--utf8 " + csv);
    ASSERT_EQ(0, r.status) << r.err;
  }
};

// The numeric fields other than 金額 add nothing: only 金額 is drawn.
const char* kOnlyAmount = "--agg 税率=NONE --agg 税込=NONE ";

}  // namespace

TEST(JbxChart, TheSeriesAreThePickoutGroupRows) {
  Book b;
  b.Import(
      "2026/03/01,パン,食費,300\r\n2026/03/02,米,食費,2000\r\n2026/03/05,電車,交通,-150\r\n"
      "2026/03/06,返金,交通,500\r\n2026/03/07,何か,0,70\r\n2026/03/08,不明,,40\r\n"
      "2026/02/10,餅,食費,800\r\n2026/01/03,洗剤,日用品,450\r\n2025/12/30,酒,食費,999\r\n");
  struct Case {
    const char* conditions;  // pickout's, also given to chart
    const char* chart;       // chart's own
    const char* keyCaption;  // the group key's column in pickout's rows
  } cases[] = {
      {"--period month --group 分類 ", "--kind bar --order key", "分類"},
      {"--period month --group 分類 ", "--kind pie", "分類"},
      {"--period year --group 年月日:7 ", "--kind bar --order key", "年月日"},
      {"--period year --group 分類 --where 金額=IS\\ NOT\\ NULL ", "--kind bar", "分類"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.conditions + std::string(c.chart));
    RunResult rows = Jbx("pickout " + b.base + c.conditions + kOnlyAmount + "--run --json");
    ASSERT_EQ(0, rows.status) << rows.err;
    RunResult drawn = Jbx("chart " + b.base + c.conditions + kOnlyAmount + c.chart + " --json");
    ASSERT_EQ(0, drawn.status) << drawn.err;
    const json want = json::parse(rows.out);
    const json got = json::parse(drawn.out);
    const json& points = got["series"][0]["points"];
    size_t positive = 0;
    for (const json& row : want) {
      const std::string key = row[c.keyCaption].get<std::string>();
      const double value = std::stod(row["金額"].get<std::string>());
      positive += value > 0;
      const json* found = nullptr;
      for (const json& p : points)
        if (p["keys"][0] == (key == "（空白）" ? "" : key)) found = &p;
      if (got["kind"] == "pie" && value <= 0) {
        EXPECT_EQ(nullptr, found) << key << ": a pie has no negative slices";
        continue;
      }
      ASSERT_NE(nullptr, found) << key;
      EXPECT_DOUBLE_EQ(value, (*found)["value"].get<double>()) << key;
    }
    EXPECT_EQ(got["kind"] == "pie" ? positive : want.size(), points.size());
  }
  // the key 0 and the empty key are groups of their own, with their counts
  RunResult r = Jbx("chart " + b.base + "--period month --group 分類 " + kOnlyAmount + "--kind bar --json");
  ASSERT_EQ(0, r.status) << r.err;
  const json bars = json::parse(r.out);
  const json& points = bars["series"][0]["points"];
  ASSERT_EQ(4u, points.size());
  EXPECT_EQ("食費", points[0]["label"]);
  EXPECT_EQ(2, points[0]["count"]);
  EXPECT_EQ("交通", points[1]["label"]);  // -150 + 500
  EXPECT_DOUBLE_EQ(350, points[1]["value"].get<double>());
  EXPECT_EQ("0", points[2]["label"]);
  EXPECT_EQ("（空白）", points[3]["label"]);
  // a pie leaves out what has no share, and says so
  r = Jbx("chart " + b.base + "--period month --group 分類 --where 分類=交通 --where 金額=-150 " +
          kOnlyAmount + "--kind pie --json");
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.err.find("表示するデータがありません")) << r.err;
}

TEST(JbxChart, LinesOverAYearAndThirtyGroupsInAPie) {
  Book b;
  std::string lines;
  for (int m = 1; m <= 12; ++m) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "2026/%02d/10,a,食費,%d\r\n2026/%02d/11,b,交通,%d\r\n", m, 100 * m, m, 50);
    lines += buf;
  }
  for (int g = 0; g < 30; ++g)
    lines += "2026/03/20,x,分類" + std::to_string(g) + "," + std::to_string(1000 - g) + "\r\n";
  b.Import(lines);

  RunResult r = Jbx("chart " + b.base + "--period year --group 分類 --where 品目=a " + kOnlyAmount +
                    "--kind line --json");
  ASSERT_EQ(0, r.status) << r.err;
  json got = json::parse(r.out);
  ASSERT_EQ(12u, got["categories"].size());
  EXPECT_EQ("2026/01", got["categories"][0]);
  EXPECT_EQ("1月", got["axisLabels"][0]) << "the year is the same for every month";
  ASSERT_EQ(1u, got["series"].size());
  EXPECT_DOUBLE_EQ(1200, got["series"][0]["points"][11]["value"].get<double>());

  r = Jbx("chart " + b.base + "--period year --group 分類 --where 分類=*費 " + kOnlyAmount +
          "--kind line --by month --json");
  ASSERT_EQ(0, r.status) << r.err;
  got = json::parse(r.out);
  EXPECT_EQ(1u, got["series"].size()) << "交通 is no 費";
  // 32 groups: the seven largest lines, the rest added up as その他
  r = Jbx("chart " + b.base + "--period year --group 分類 " + kOnlyAmount + "--kind line --json");
  ASSERT_EQ(0, r.status) << r.err;
  got = json::parse(r.out);
  ASSERT_EQ(8u, got["series"].size());
  EXPECT_EQ("食費", got["series"][0]["name"]);
  EXPECT_EQ("分類0", got["series"][1]["name"]);
  EXPECT_EQ("その他", got["series"][7]["name"]);
  EXPECT_DOUBLE_EQ(50, got["series"][7]["points"][0]["value"].get<double>()) << "January: 交通 only";

  r = Jbx("chart " + b.base + "--period month --group 分類 --where 品目=x " + kOnlyAmount +
          "--kind pie --json");
  ASSERT_EQ(0, r.status) << r.err;
  got = json::parse(r.out);
  const json& slices = got["series"][0]["points"];
  ASSERT_EQ(8u, slices.size());
  EXPECT_EQ("分類0", slices[0]["label"]);
  EXPECT_EQ("その他", slices[7]["label"]);
  EXPECT_EQ(23, slices[7]["count"]);
  double rest = 0;
  for (int g = 7; g < 30; ++g) rest += 1000 - g;
  EXPECT_DOUBLE_EQ(rest, slices[7]["value"].get<double>());
  EXPECT_TRUE(slices[7]["keys"].empty()) << "その他 narrows to nothing";
}

TEST(JbxChart, FilesAreWholePicturesAndRefusalsAreClear) {
  Book b;
  RunResult r = Jbx("chart " + b.base + "--period month --group 分類 --kind pie --json");
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.err.find("表示するデータがありません")) << r.err;

  b.Import("2026/03/01,パン,食費,300\r\n2026/03/02,電車,交通,200\r\n");
  const std::string png = b.dir / "pie.png", svg = b.dir / "bars.svg";
  r = Jbx("chart " + b.base + "--period month --group 分類 --kind pie --png " + png);
  ASSERT_EQ(0, r.status) << r.err;
  const std::string pngBytes = ReadBytes(png);
  EXPECT_EQ(0u, pngBytes.find("\x89PNG\r\n\x1a\n"));
  EXPECT_GT(pngBytes.size(), 5000u) << "a chart, not a blank";
  EXPECT_NE(std::string::npos, pngBytes.find("IEND"));
  r = Jbx("chart " + b.base + "--period month --group 分類 --kind bar --svg " + svg +
          " --width 640 --height 400");
  ASSERT_EQ(0, r.status) << r.err;
  const std::string svgBytes = ReadBytes(svg);
  EXPECT_NE(std::string::npos, svgBytes.find("<svg"));
  EXPECT_NE(std::string::npos, svgBytes.find("</svg>"));
  EXPECT_NE(std::string::npos, svgBytes.find("viewBox=\"0 0 640 400\"")) << svgBytes.substr(0, 400);
  EXPECT_NE(std::string::npos, svgBytes.find("<title>金額（合計）　分類別</title>"));
  EXPECT_GT(svgBytes.size(), 5000u);

  struct Case {
    std::string args;
    int status;
    const char* err;
  } cases[] = {
      {"--group 分類 --kind cake --json", 2, "--kind"},
      {"--group 分類 --kind bar", 2, "--png FILE、--svg FILE、--json"},
      {"--group 分類 --kind bar --json --png x.png", 2, "どれか 1 つ"},
      {"--group 分類 --kind bar --by week --json", 2, "--by"},
      {"--group 分類 --kind bar --png /none/x.png", 1, "フォルダが見つかりません"},
      {"--group 分類 --kind pie --agg 金額=AVG --agg 税率=NONE --agg 税込=NONE --json", 1,
       "円グラフは合計か件数"},
      {"--group 分類 --kind bar --value 品目 --json", 1, "数値の集約ではありません"},
  };
  for (const Case& c : cases) {
    r = Jbx("chart " + b.base + c.args);
    EXPECT_EQ(c.status, r.status) << c.args << r.err;
    EXPECT_NE(std::string::npos, r.err.find(c.err)) << c.args << r.err;
  }
  EXPECT_FALSE(fileops::Exists(b.dir / "x.png"));
}
