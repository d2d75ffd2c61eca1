#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "input/CMyHyo.h"
#include "input/QtSelStrip.h"
#include "platform/Cp932.h"

namespace {

// 25 rows "品目00".."品目24" with the codes 0..24; every third row (0, 3,
// ...) under the parent "B", the others under "A".
CMyHyo Rows25(bool twoLevel) {
  CMyHyo t;
  t.SetSwitch(2, twoLevel);
  for (int r = 0; r < 25; ++r) {
    char name[8];
    std::snprintf(name, sizeof name, "%02d", r);
    t.SetCell(0, r, std::to_string(r));
    t.SetCell(1, r, r % 3 == 0 ? "B" : "A");
    t.SetCell(2, r, "品目"_sj + name);
  }
  return t;
}

constexpr int kRow = SelStrip::kRowHeight;

// A form with the strip at ten whole rows (and a few pixels to spare).
struct Form {
  QWidget form;
  SelStrip model;
  QtSelStrip strip{model, &form};
  Form() {
    form.resize(200, 200);
    strip.setGeometry(0, 0, 120, 10 * kRow + 5);
    form.show();
  }
  QImage Shot() { return strip.grab().toImage(); }
};

QRgb Bgr(uint32_t c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

bool HasInk(const QImage& img, int left, int top, int right, int bottom, QRgb back) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (img.pixel(x, y) != back) return true;
  return false;
}

}  // namespace

TEST(QtSelStrip, PagesAPageAtATimeAndTheButtonsFollow) {
  Form f;
  EXPECT_EQ("pai_Sel", f.strip.objectName());
  auto* up = f.form.findChild<QToolButton*>("cmd_SelUp");
  auto* down = f.form.findChild<QToolButton*>("cmd_SelDown");
  ASSERT_TRUE(up && down);
  EXPECT_EQ(&f.form, up->parentWidget());         // separate widgets the form places
  EXPECT_EQ(Qt::NoFocus, f.strip.focusPolicy());  // the editor keeps the focus
  EXPECT_EQ(Qt::NoFocus, up->focusPolicy());
  EXPECT_FALSE(up->isEnabled());
  EXPECT_FALSE(down->isEnabled());

  const CMyHyo list = Rows25(false);
  QSignalSpy paging(&f.strip, &QtSelStrip::pagingChanged);
  f.strip.ShowList(&list, 3, -1, "");
  enum Press { kNone, kDown, kUp };
  struct Step {
    Press press;
    int first;
    bool canUp, canDown;
  } steps[] = {
      {kNone, 0, false, true}, {kDown, 10, true, true}, {kDown, 20, true, false},
      {kUp, 10, true, true},   {kUp, 0, false, true},
  };
  for (const auto& s : steps) {
    if (s.press == kDown) down->click();
    if (s.press == kUp) up->click();
    SCOPED_TRACE(s.first);
    EXPECT_EQ(s.first, f.model.FirstRow());
    EXPECT_EQ(s.canUp, up->isEnabled());
    EXPECT_EQ(s.canDown, down->isEnabled());
    ASSERT_FALSE(paging.isEmpty());
    EXPECT_EQ(s.canUp, paging.last().at(0).toBool());
    EXPECT_EQ(s.canDown, paging.last().at(1).toBool());
  }
  EXPECT_EQ(10, f.model.PageRows());

  // no list: nothing to page
  f.strip.Forget();
  EXPECT_FALSE(up->isEnabled());
  EXPECT_FALSE(down->isEnabled());
}

TEST(QtSelStrip, ADoubleClickHandsOverTheRowsText) {
  Form f;
  CMyHyo list = Rows25(false);
  f.strip.ShowList(&list, 3, -1, "");
  QSignalSpy chosen(&f.strip, &QtSelStrip::rowChosen);
  f.strip.cmd_SelDownClick();
  struct Case {
    int y;
    const char* text;  // nullptr: no row there
  } cases[] = {
      {0, "品目10"},
      {2 * kRow + kRow / 2, "品目12"},
      {10 * kRow + 1, nullptr},  // the part row below the page
      {-1, nullptr},
  };
  for (const auto& c : cases) {
    chosen.clear();
    f.strip.paiSelDblClick(c.y);
    if (!c.text) {
      EXPECT_TRUE(chosen.isEmpty()) << c.y;
      continue;
    }
    ASSERT_EQ(1, chosen.size()) << c.y;
    EXPECT_EQ(QString::fromUtf8(c.text), chosen.first().at(0).toString());
  }
  // the real mouse reaches the same handler; the bytes come as they are stored
  std::string sj;
  QObject::connect(&f.strip, &QtSelStrip::rowChosen,
                   [&sj](const QString&, const std::string& bytes) { sj = bytes; });
  QTest::mouseDClick(&f.strip, Qt::LeftButton, {}, QPoint(40, 4 * kRow + 3));
  EXPECT_EQ("品目14"_sj, sj);

  // a two-level list shows only the rows under the parent editor's value
  CMyHyo twoLevel = Rows25(true);
  f.strip.ShowList(&twoLevel, 3, 2, "B");
  EXPECT_FALSE(f.strip.cmd_SelDown->isEnabled());  // nine rows fit one page
  chosen.clear();
  f.strip.paiSelDblClick(kRow + 1);
  ASSERT_EQ(1, chosen.size());
  EXPECT_EQ(QString::fromUtf8("品目03"), chosen.first().at(0).toString());
  f.strip.ShowList(&twoLevel, 3, 2, "");  // no parent value yet: every row
  EXPECT_TRUE(f.strip.cmd_SelDown->isEnabled());

  // after the list editor changed the list, the same list shows again
  list.SetCell(2, 25, "追加"_sj);
  f.strip.ShowList(&list, 3, -1, "");
  f.strip.cmd_SelDownClick();
  f.strip.cmd_SelDownClick();
  f.strip.Reload("");
  EXPECT_EQ(0, f.model.FirstRow());
  EXPECT_EQ(26u, f.model.Rows().size());
}

TEST(QtSelStrip, PaintsTheListAndInvertsTheRowUnderTheMouse) {
  Form f;
  const QRgb empty = Bgr(SelStrip::kEmptyBack);
  const QRgb back = Bgr(SelStrip::kListBack);
  const QRgb lit = Bgr(SelStrip::kListBack ^ 0xFFFFFF);
  EXPECT_EQ(empty, f.Shot().pixel(100, 5));

  const CMyHyo list = Rows25(false);
  f.strip.ShowList(&list, 3, -1, "");
  QImage img = f.Shot();
  EXPECT_EQ(back, img.pixel(110, 5));
  EXPECT_EQ(back, img.pixel(110, 10 * kRow + 2));    // below the last whole row too
  EXPECT_TRUE(HasInk(img, 3, 0, 19, kRow, back));    // the code " 0"
  EXPECT_TRUE(HasInk(img, 20, 0, 100, kRow, back));  // the text

  f.strip.paiSelMouseMove(2 * kRow + 5);
  EXPECT_EQ(2, f.model.Highlighted());
  img = f.Shot();
  EXPECT_EQ(lit, img.pixel(110, 2 * kRow + 5));
  EXPECT_EQ(back, img.pixel(110, kRow + 5));
  EXPECT_TRUE(HasInk(img, 20, 2 * kRow, 100, 3 * kRow, lit));

  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&f.strip, &leave);
  EXPECT_EQ(-1, f.model.Highlighted());
  EXPECT_EQ(back, f.Shot().pixel(110, 2 * kRow + 5));
}
