// The chart window over the household book: the month's pie by category,
// a click that shows the category's entries in the sheet, a month without
// entries, and the chart saved as files.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "extract/TfrmChart.h"
#include "input/CMyInput.h"
#include "input/StoreInputPorts.h"
#include "mainview/sheet/CMyView.h"
#include "ui/MainWindowFixture.h"
#include "ui/Widgets.h"

namespace {

constexpr int kHousehold = 2;

struct Book : MainFixture {
  std::unique_ptr<TfrmMain> w;
  Book() {
    packageIndex = kHousehold;
    UserAnswers("u");
    w = std::make_unique<TfrmMain>(Env());
    window = w.get();
    w->FormCreate();
  }
  void Purchase(const char* date, const char* category, const char* amount) {
    MainObjects& o = w->Objects();
    CMyRec rec(o.db.get());
    StoreInputView port(*o.db, rec, *o.periods);
    CMyInput form(*o.db, prompter, clock, port);
    ASSERT_TRUE(form.BuildForm(o.global->DivisionPath("scrin.jsc")));
    form.ShowRecord({}, -1);
    form.SetDateText(date);
    for (const auto& [name, value] : {std::pair{"分類", category}, std::pair{"金額", amount}}) {
      const int c = form.FindControl(cp932::FromUtf8(name));
      form.SetValue(c, cp932::FromUtf8(value));
      ASSERT_TRUE(form.LeaveField(c)) << name;
    }
    ASSERT_TRUE(form.SaveRecord()) << date;
  }
  // The chart window opened from the menu, `look` run on it.
  void Chart(std::function<void(TfrmChart&)> look) {
    dialogs.On<TfrmChart>("frmChart", [look](TfrmChart& d) {
      look(d);
      return d.result();
    });
    ASSERT_TRUE(Trigger(*w, "mnuSelChart"));
  }
};

}  // namespace

TEST(TfrmChart, TheMonthsPieAndAClickThatShowsACategorysEntries) {
  Book b;
  ASSERT_TRUE(b.w->Started());
  // a book with amounts has the chart in its tool bar
  EXPECT_TRUE(Child<QWidget>(*b.w, "mnuSelChartButton")->isVisibleTo(b.w.get()));
  b.Purchase("2026/12/01", "食費", "300");
  b.Purchase("2026/12/02", "食費", "-50");  // a refund lessens its category
  b.Purchase("2026/12/05", "日用品", "320");
  b.Purchase("2026/11/30", "日用品", "9999");  // another month
  b.w->View()->ReloadView();
  b.w->View()->GoToday();

  chart::Point clicked;
  b.Chart([&](TfrmChart& d) {
    Child<QComboBox>(d, "cbo_Kind")->setCurrentIndex(1);
    ASSERT_TRUE(d.HasChart()) << Child<QLabel>(d, "lbl_Note")->text().toStdString();
    const auto& slices = d.Shown().series.at(0).points;
    ASSERT_EQ(2u, slices.size());
    EXPECT_EQ("日用品"_sj, slices[0].label);
    EXPECT_EQ(320, slices[0].value);
    EXPECT_EQ("食費"_sj, slices[1].label);
    EXPECT_EQ(250, slices[1].value);
    EXPECT_EQ(2, slices[1].count);
    EXPECT_EQ("食費"_sj + "\n"_sj + "金額（合計）: 250\n件数: 2件\n割合: 43.9%"_sj,
              chart::TipText(d.Shown(), slices[1]));
    // hovering a slice tells its group
    d.show();
    // the chart lays itself out from posted events: a busy machine may not have run them yet
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    QCoreApplication::processEvents();
    auto* view = Child<QWidget>(d, "view_Chart");
    QWidget* area = view->findChild<QWidget*>(QStringLiteral("qt_scrollarea_viewport"));
    if (!area) area = view;
    // an earlier test's double click may leave the test mouse's button down: a hover, not a drag
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(1, 1));
    for (int x = 0; x < area->width() && view->toolTip().isEmpty(); x += 4) {
      QTest::mouseMove(area, QPoint(x, area->height() / 2));
      QCoreApplication::processEvents();
    }
    EXPECT_TRUE(view->toolTip().contains(QString::fromUtf8("件数: "))) << view->toolTip().toStdString();
    // saved as the window shows it; a failed write keeps the old file
    b.files.answers = {b.dir / "pie.svg", b.dir / "pie.png", b.dir / "none/pie.png"};
    d.cmd_SaveClick();
    d.cmd_SaveClick();
    d.cmd_SaveClick();
    clicked = slices[1];
    d.PointClicked(clicked);
  });
  EXPECT_NE(std::string::npos, ReadBytes(b.dir / "pie.svg").find("<svg"));
  EXPECT_EQ(0u, ReadBytes(b.dir / "pie.png").find("\x89PNG"));
  ASSERT_EQ(1u, b.prompter.Shown().size());
  EXPECT_NE(std::string::npos, b.prompter.ShownUtf8()[0].find("保存できませんでした"));

  // the click: the month's 食費 entries, listed in the sheet
  CMyView& view = *b.w->View();
  EXPECT_TRUE(b.w->findChild<QAction*>("tbt_Pickout")->isChecked());
  EXPECT_FALSE(b.w->State().groupShown);
  EXPECT_EQ(CMyView::kListMode, view.DisplayMode());
  int rows = 0;
  for (const SheetRow& r : view.Rows()) rows += r.record >= 0;
  EXPECT_EQ(2, rows);

  // その他 gathers groups: nothing to narrow to
  chart::Point other;
  other.label = "その他"_sj;
  b.Chart([&](TfrmChart& d) {
    d.PointClicked(other);
    EXPECT_EQ(0, d.result()) << "the window stays open";
  });
}

TEST(TfrmChart, AMonthWithoutEntriesSaysSoAndSavesNothing) {
  Book b;
  ASSERT_TRUE(b.w->Started());
  b.Chart([&](TfrmChart& d) {
    EXPECT_FALSE(d.HasChart());
    EXPECT_EQ(QString::fromUtf8("表示するデータがありません"), Child<QLabel>(d, "lbl_Note")->text());
    EXPECT_FALSE(Child<QPushButton>(d, "cmd_Save")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(d, "cmd_Print")->isEnabled());
  });
}
