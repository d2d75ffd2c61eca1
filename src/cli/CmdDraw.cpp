// jbx draw: one row of a display screen, with its header and footer bands,
// into a PNG through the same drawing code the sheet uses.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/OffscreenMain.h"
#include "platform/Cp932.h"
#include "qtkit/QtCanvas.h"
#include "screens/CMyScr.h"

namespace {

class FieldRows : public RowSource {
 public:
  std::map<std::string, std::string> values;  // CP932 field name -> CP932 value
  std::string Value(const std::string& field) const override {
    auto it = values.find(field);
    return it == values.end() ? std::string() : it->second;
  }
  bool HasNext() const override { return false; }
};

// Lowest bottom edge (logical units) of the visible items of a band, so a
// band without a stored height still shows its items.
int BandExtent(const CMyScr& scr, int bandBit) {
  int64_t bottom = 0;
  for (int i = 0; i < scr.ItemCount(); ++i) {
    const auto& it = scr.GetItem(i);
    if (it.head.visible == 1 && (it.head.BandBits() & bandBit))
      bottom = std::max<int64_t>(bottom, int64_t{it.font.Y()} + std::max(0, it.font.H()));
  }
  return static_cast<int>(std::min<int64_t>(bottom, 10'000'000));
}

int Usage(const std::string& why = {}) { return cli::UsageError("draw", why); }

}  // namespace

int CmdDraw(int argc, char** argv) {
  std::string path, out;
  double pxPerMm = 4.0;
  FieldRows rows;
  bool inRecord = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--out" && i + 1 < argc) {
      out = argv[++i];
      inRecord = false;
    } else if (a == "--scale" && i + 1 < argc) {
      pxPerMm = std::atof(argv[++i]);
      inRecord = false;
    } else if (a == "--record") {
      inRecord = true;
    } else if ((inRecord || !path.empty()) && a.find('=') != std::string::npos && a[0] != '-') {
      const size_t eq = a.find('=');
      std::string name, value;
      if (cp932::FromUtf8(a.substr(0, eq), name) != 0 || cp932::FromUtf8(a.substr(eq + 1), value) != 0) {
        return cli::Fail("draw", "CP932 で書けない文字があります: " + a);
      }
      rows.values[name] = value;
    } else if (path.empty() && a[0] != '-') {
      path = a;
    } else {
      return Usage("知らない引数です: " + a);
    }
  }
  if (path.empty()) return Usage("表示画面のファイルがありません");
  if (out.empty()) return Usage("--out がありません");
  if (!(pxPerMm > 0.01 && pxPerMm < 100)) return Usage("--scale は 0.01 より大きく 100 より小さい数です");
  const std::string problem = cli::FileProblem(path);
  if (!problem.empty()) return cli::Fail("draw", problem);
  const double scale = pxPerMm / 100.0;
  CMyScr scr(scale, scale);
  const int rc = scr.LoadScreen(path);
  if (rc != 0) {
    const char* why = rc == -2   ? "表示画面のバージョンが古いです。"
                      : rc == -3 ? "表示画面のバージョンが新しいです。"
                                 : "読込に失敗しました。";
    return cli::Fail("draw", std::string(why) + " " + path);
  }
  scr.SetScale(scale, scale);
  const int header = std::max(scr.HeaderHeight(), BandExtent(scr, 2));
  const int footer = std::max(scr.FooterHeight(), BandExtent(scr, 4));
  const int width = std::max(1, scr.ToDevice(0, scr.SheetWidth()));
  const int height = std::max(1, scr.ToDevice(1, static_cast<double>(header) + scr.RowHeight() + footer) + 1);
  if (static_cast<int64_t>(width) * height > 60'000'000) {
    return cli::Fail("draw", std::to_string(width) + " x " + std::to_string(height) +
                                 " 画素は大きすぎます。--scale を小さくしてください");
  }
  static int qtArgc = 1;
  static char qtName[] = "jbx";
  static char* qtArgv[] = {qtName, nullptr};
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(qtArgc, qtArgv);
  QImage img(width, height, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter painter(&img);
    QtCanvas canvas(painter);
    scr.CreatePens(0);
    scr.SetRows(&rows);
    scr.DrawItems(canvas, 0, 0, 2, false);
    scr.DrawItems(canvas, 0, header, 1, false);
    scr.DrawItems(canvas, 0, header + scr.RowHeight(), 3, false);
    scr.SetRows(nullptr);
  }
  if (!cli::SavePng(img, out)) {
    return cli::Fail("draw", "書込に失敗しました: " + out);
  }
  return cli::kSuccess;
}
