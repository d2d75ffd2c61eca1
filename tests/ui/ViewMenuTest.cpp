// The 表示 menu in the window: the sheet's zoom and its column fit, on screen
// only and kept for the user.
#include <gtest/gtest.h>

#include <QMenuBar>
#include <QPainter>
#include <cmath>

#include "mainview/sheet/CMyView.h"
#include "mainview/sheet/ScreenPorts.h"
#include "qtkit/QtCanvas.h"
#include "ui/MainWindowFixture.h"

TEST(ViewMenu, ZoomScalesWhatTheSheetDrawsAndIsKeptForTheUser) {
  MainFixture env;
  ViewScreen normal;
  int rowHeight = 0;
  {
    TfrmMain w(env.As("u"));
    env.window = &w;
    w.FormCreate();
    ASSERT_TRUE(w.Started());
    QStringList menus;
    for (QAction* a : w.menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus.indexOf(QStringLiteral("編集(&E)")) + 1, menus.indexOf(QStringLiteral("表示(&V)")));
    EXPECT_EQ(menus.indexOf(QStringLiteral("表示(&V)")) + 1, menus.indexOf(QStringLiteral("検索(&S)")));
    normal = w.View()->Screen();
    rowHeight = w.View()->Rows()[0].height;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(Trigger(w, "mnuViewZoomIn"));
    EXPECT_EQ(150, w.Global()->zoom);
    const ViewScreen& z = w.View()->Screen();
    const struct {
      int zoomed, plain;
    } sizes[] = {{z.keyAreaWidth[0], normal.keyAreaWidth[0]},
                 {z.keyAreaWidth[1], normal.keyAreaWidth[1]},
                 {z.keyColumns[0][0].width, normal.keyColumns[0][0].width},
                 {z.fieldAreaWidth, normal.fieldAreaWidth},
                 {z.keyFontPixels, normal.keyFontPixels}};
    for (const auto& s : sizes) EXPECT_NEAR(s.plain * 1.5, s.zoomed, 1.0) << s.plain;
    EXPECT_EQ(rowHeight, w.View()->Rows()[0].height) << "logical sizes stay: the paper is not zoomed";
    // the key area's frame line moves out with the zoom
    const QImage img = w.RenderSheetImage(z.keyAreaWidth[0] + z.fieldAreaWidth + 20, 300);
    const int y = w.Objects().scr->ToDevice(1, z.headerHeight + rowHeight / 2);
    EXPECT_NE(img.pixel(z.keyAreaWidth[0], y), qRgb(255, 255, 255));
    ASSERT_TRUE(Trigger(w, "mnuViewZoomOut"));
  }
  TfrmMain w(env.As("u"));  // the user's next window opens at the size left
  env.window = &w;
  w.FormCreate();
  ASSERT_TRUE(w.Started());
  EXPECT_EQ(std::lround(normal.keyAreaWidth[0] * 1.25), w.View()->Screen().keyAreaWidth[0]);
  ASSERT_TRUE(Trigger(w, "mnuViewZoomNormal"));
  EXPECT_EQ(normal.keyAreaWidth[0], w.View()->Screen().keyAreaWidth[0]);
  EXPECT_EQ(normal.fieldAreaWidth, w.View()->Screen().fieldAreaWidth);
  EXPECT_TRUE(env.prompter.Shown().empty());
}

TEST(ViewMenu, TheWidestTextColumnTakesTheFreeWidthOnScreenOnly) {
  MainFixture env;
  TfrmMain w(env.As("u"));
  env.window = &w;
  w.FormCreate();
  ASSERT_TRUE(w.Started());
  const std::string file = w.Global()->DivisionPath("月表.jos"_sj);
  const std::string bytes = ReadBytes(file);
  CMyScr& scr = *w.Objects().scr;
  const int column = scr.WidestTextColumn();
  ASSERT_GE(column, 0);
  const int own = scr.GetItem(column).font.W();
  const ViewScreen& vs = w.View()->Screen();
  const int sheet = vs.keyAreaWidth[0] + vs.fieldAreaWidth;
  const int y = scr.ToDevice(1, vs.headerHeight + w.View()->Rows()[0].height / 2);
  auto rightEdgeDrawn = [&](int width) {
    return w.RenderSheetImage(width, 300).pixel(width - 1, y) != qRgb(255, 255, 255);
  };
  EXPECT_FALSE(rightEdgeDrawn(sheet + 300)) << "off by default";
  EXPECT_EQ(own, scr.GetItem(column).font.W());

  ASSERT_TRUE(Trigger(w, "mnuViewFitColumns"));
  EXPECT_TRUE(w.findChild<QAction*>("mnuViewFitColumns")->isChecked());
  EXPECT_TRUE(w.Global()->fitColumns);
  EXPECT_TRUE(rightEdgeDrawn(sheet + 300));
  EXPECT_EQ(own + scr.Stretch(), scr.GetItem(column).font.W());
  EXPECT_NEAR(scr.ToLogical(0, 300), scr.Stretch(), scr.ToLogical(0, 2));
  {  // a window that only shows the model (the reference window) draws the own widths
    ScrSheetScreen other(scr, *w.Objects().rowSource, *w.View());
    SheetPainter painter(*w.View(), other);
    QImage img(sheet + 300, 300, QImage::Format_RGB32);
    QPainter p(&img);
    QtCanvas canvas(p);
    painter.RenderSheet(canvas, sheet + 300, 300);
    EXPECT_EQ(QColor(Qt::white).rgb(), img.pixel(sheet + 299, y));
    EXPECT_EQ(own + scr.Stretch(), scr.GetItem(column).font.W()) << "and leaves the main sheet's stretch";
  }
  (void)w.RenderSheetImage(sheet - 50, 300);  // a narrow window: the screen's own widths
  EXPECT_EQ(own, scr.GetItem(column).font.W());

  (void)w.RenderSheetImage(sheet + 300, 300);
  w.Objects().sheetScreen->SetPrintForm(true);  // as a print job starts
  EXPECT_EQ(own, scr.GetItem(column).font.W()) << "paper keeps the screen's widths";
  w.Objects().sheetScreen->SetPrintForm(false);
  EXPECT_EQ(bytes, ReadBytes(file)) << "the screen file is never changed";
}
