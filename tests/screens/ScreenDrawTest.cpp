// The screen model's arithmetic and drawing: frame sets, fills, bands,
// footer height, pens, DrawItems through a recording canvas, hit tests.
#include <gtest/gtest.h>

#include "ScreenFixtures.h"
#include "platform/Cp932.h"

namespace {

// Scale 0.1 pixel per logical unit keeps device numbers readable.
constexpr double kScale = 0.1;

std::unique_ptr<CMyScr> Load(const ScreenDoc& d) {
  auto scr = std::make_unique<CMyScr>(kScale, kScale);
  EXPECT_EQ(scr->LoadScreenBytes(ScreenFileBytes(d)), 0);
  return scr;
}

TEST(ScreenFrames, FrameSetsAndFills) {
  ScreenDoc d;
  auto it = MakeItem(0, "DAT001", 0, 0, 100, 100);
  it.head.SetFrameFill(0x00351234);  // fill on, fill index 3, normal set 0x1234
  it.head.SetRowFrames(0x56789ABC);
  auto plain = MakeItem(0, "DAT002", 0, 0, 100, 100);
  plain.head.SetFrameFill(0x00700000);  // fill index 7 but fill off
  d.items = {it, plain};
  auto scr = Load(d);
  struct Case {
    int index, state, frame;
  } cases[] = {
      {0, 0, 0x1234}, {0, 1, 0x9ABC}, {0, 2, 0x5670 + 0xC},  // last-row set, top edge from the first-row set
      {1, 0, 0},      {100, 0, 0},    {-1, 1, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(scr->ItemFrame(c.index, c.state), c.frame) << c.index << "/" << c.state;
  EXPECT_EQ(scr->ItemFill(0), std::make_pair(true, 3));
  EXPECT_EQ(scr->ItemFill(1), std::make_pair(false, 0));
  EXPECT_EQ(scr->ItemFill(100), std::make_pair(false, 0));
}

TEST(ScreenFrames, BandsAndOptions) {
  ScreenDoc d;
  d.layout.options = 0x20;
  auto h = MakeItem(1, "", 0, 0, 10, 10, "h");
  h.head.SetBandBits(2);
  auto f = MakeItem(1, "", 0, 0, 10, 10, "f");
  f.head.SetBandBits(4);
  d.items = {h, f};
  auto scr = Load(d);
  EXPECT_TRUE(scr->ItemInBand(0, 2));
  EXPECT_FALSE(scr->ItemInBand(0, 4));
  EXPECT_TRUE(scr->ItemInBand(1, 4));
  EXPECT_FALSE(scr->ItemInBand(100, 4));
  EXPECT_TRUE(scr->HasOption(5));
  EXPECT_FALSE(scr->HasOption(4));
  EXPECT_FALSE(scr->HasOption(40));
}

TEST(ScreenFrames, FooterHeight) {
  struct Case {
    int ruled, page, header, row, rows, footer;
  } cases[] = {
      {1, 29700, 1000, 500, 46, 29700 - 1000 - 23000},
      {0, 29700, 1000, 500, 46, 0},
      {1, 10000, 1000, 500, 46, 0},     // rows larger than the page
      {1, 10000, 0, 0x40000000, 4, 0},  // no overflow into a positive height
      {1, 2000, 500, 500, 3, 0},
  };
  for (const Case& c : cases) {
    ScreenDoc d;
    d.layout.ruledPage = static_cast<uint8_t>(c.ruled);
    d.layout.pageHeight = c.page;
    d.layout.headerHeight = c.header;
    d.layout.rowHeight = c.row;
    d.layout.rowsPerPage = c.rows;
    auto scr = Load(d);
    EXPECT_EQ(scr->FooterHeight(), c.footer) << c.page << "/" << c.rows;
    EXPECT_EQ(scr->FooterHeightPx(), static_cast<int>(c.footer * kScale));
  }
}

TEST(ScreenFrames, PenWidthsOnScreenAndPrinter) {
  ScreenDoc d;
  d.layout.pens = {{{0, 35, 0x0000FF},
                    {0, 36, 0x00FF00},
                    {0, 1, 0xFF0000},
                    {2, 70, 0x111111},
                    {0, 100, 0x222222},
                    {0, 20, 0},
                    {5, 50, 0},
                    {0, 0, 0}}};
  auto scr = Load(d);
  scr->CreatePens(0);
  struct Case {
    int index, screenWidth, printWidth;
  } cases[] = {{0, 3, 1}, {1, 3, 3}, {2, 1, 1}, {3, 1, 1}, {4, 10, 10}, {5, 2, 1}, {6, 1, 1}, {7, 0, 1}};
  for (const Case& c : cases) EXPECT_EQ(scr->Pen(c.index).width, c.screenWidth) << c.index;
  EXPECT_EQ(scr->Pen(0).colour, 0x0000FFu);
  EXPECT_EQ(scr->Brush(7), 0xBDCDFAu);
  scr->CreatePens(1);
  for (const Case& c : cases) EXPECT_EQ(scr->Pen(c.index).width, c.printWidth) << c.index;
  EXPECT_EQ(scr->Pen(0).colour, 0u);
  scr->DeletePens();
  EXPECT_FALSE(scr->HasPens());
}

TEST(ScreenDraw, NothingWithoutRows) {
  ScreenDoc d;
  d.items = {MakeItem(1, "", 0, 0, 100, 100, "cap")};
  auto scr = Load(d);
  RecordingCanvas c;
  scr->DrawItems(c, 0, 0, 1, false);
  EXPECT_TRUE(c.Calls().empty());
}

TEST(ScreenDraw, BandsOrderAndContent) {
  ScreenDoc d;
  auto head = MakeItem(1, "", 0, 0, 1000, 500, "HEAD");
  head.head.SetBandBits(2);
  auto foot = MakeItem(1, "", 0, 0, 1000, 500, "FOOT");
  foot.head.SetBandBits(4);
  auto hidden = MakeItem(1, "", 0, 0, 1000, 500, "HIDDEN");
  hidden.head.visible = 2;
  auto data = MakeItem(0, "DAT001", 1000, 0, 2000, 500);
  data.font.flags = 0;  // takes the current text colour
  auto cap = MakeItem(1, "", 0, 0, 1000, 500, "CAP");
  d.items = {cap, data, head, foot, hidden};
  auto scr = Load(d);
  MapRows rows;
  rows.values["DAT001"] = "値"_sj;
  scr->SetRows(&rows);
  scr->SetTextColour(0x0000FF);
  struct Case {
    int band;
    std::vector<std::string> texts;
  } cases[] = {
      {1, {"値"_sj, "CAP"}},  // last item first, so earlier items lie on top
      {2, {"HEAD"}},
      {3, {"FOOT"}},
      {0, {"FOOT", "HEAD", "値"_sj, "CAP"}},
  };
  for (const Case& cs : cases) {
    RecordingCanvas c;
    scr->DrawItems(c, 0, 0, cs.band, false);
    std::vector<std::string> got;
    for (const auto& call : c.CallsStarting("text ")) got.push_back(call.substr(call.rfind(' ') + 1));
    EXPECT_EQ(got, cs.texts) << cs.band;
  }
  RecordingCanvas c;
  scr->DrawItems(c, 0, 0, 1, false);
  const auto& calls = c.Calls();
  auto colour = std::find(calls.begin(), calls.end(), "colour 0000FF");
  ASSERT_NE(colour, calls.end());
  // A blank row draws data items empty.
  RecordingCanvas blank;
  scr->DrawItems(blank, 0, 0, 1, true);
  EXPECT_EQ(blank.CallsStarting("text ").size(), 1u);
  EXPECT_EQ(scr->GetItem(1).font.Text(), "");
}

TEST(ScreenDraw, TextRectangleHasInsetsAndOrigin) {
  ScreenDoc d;
  auto it = MakeItem(1, "", 1000, 500, 3000, 800, "T");
  it.font.align = 2;
  it.font.vplace = 1;
  d.items = {it};
  auto scr = Load(d);
  MapRows rows;
  scr->SetRows(&rows);
  RecordingCanvas c;
  scr->DrawItems(c, 200, 1000, 1, false);
  // ((200+1000+70)*0.1, (1000+500+70)*0.1, (200+1000+3000-50)*0.1, (1000+500+800-20)*0.1)
  EXPECT_EQ(c.CallsStarting("text "),
            std::vector<std::string>{"text 127,157,415,228 " +
                                     std::to_string(kTextRight | kTextSingleLine | kTextVCenter) + " T"});
}

TEST(ScreenDraw, FrameStatesOnARuledPage) {
  ScreenDoc d;
  d.layout.ruledPage = 1;
  auto it = MakeItem(0, "DAT001", 0, 0, 1000, 500);
  it.head.SetFrameFill(0x00201111);  // normal: pen 1 on every edge; fill index 2, fill off
  it.head.SetRowFrames(0x03300002);  // first: top pen 2; last: right pen 3, bottom pen 3
  d.items = {it};
  auto scr = Load(d);
  scr->CreatePens(0);
  MapRows rows;
  scr->SetRows(&rows);
  struct Case {
    bool hasNext;
    int band;
    std::vector<std::string> lines;
  } cases[] = {
      {true, 1, {"line 0,0,100,0"}},
      {false, 1, {"line 0,0,100,0", "line 100,0,100,51", "line 100,51,0,51"}},
      {true, 0, {"line 0,0,100,0", "line 100,0,100,51", "line 100,51,0,51", "line 0,51,0,0"}},
  };
  for (const Case& cs : cases) {
    rows.next = cs.hasNext;
    RecordingCanvas c;
    scr->DrawItems(c, 0, 0, cs.band, false);
    EXPECT_EQ(c.CallsStarting("line "), cs.lines) << cs.hasNext << cs.band;
    EXPECT_TRUE(c.CallsStarting("fill ").empty());
  }
  // Without pens: no frames, no fills, the text still drawn.
  scr->DeletePens();
  rows.values["DAT001"] = "x";
  RecordingCanvas c;
  scr->DrawItems(c, 0, 0, 1, false);
  EXPECT_TRUE(c.CallsStarting("line ").empty());
  EXPECT_EQ(c.CallsStarting("text ").size(), 1u);
}

TEST(ScreenDraw, FillUsesTheBrushAndExtendsTheBottom) {
  ScreenDoc d;
  d.layout.ruledPage = 0;
  auto it = MakeItem(1, "", 100, 200, 1000, 500, "F");
  it.head.SetFrameFill(0x00510000);  // fill on, index 5
  auto zero = MakeItem(1, "", 0, 0, 100, 100, "Z");
  zero.head.SetFrameFill(0x00010000);  // fill on, index 0: none
  d.items = {it, zero};
  auto scr = Load(d);
  scr->CreatePens(0);
  MapRows rows;
  scr->SetRows(&rows);
  RecordingCanvas c;
  scr->DrawItems(c, 0, 100, 1, false);
  EXPECT_EQ(c.CallsStarting("fill "), std::vector<std::string>{"fill 10,30,110,81 F9E7DF"});
}

TEST(ScreenDraw, VerticalTextIsTurnedAndAnchoredRight) {
  ScreenDoc d;
  auto it = MakeItem(1, "", 3000, 100, 800, 2000, "縦"_sj);
  it.font.vertical = 1;
  it.font.fontHeight = -500;
  d.items = {it};
  auto scr = Load(d);
  MapRows rows;
  scr->SetRows(&rows);
  RecordingCanvas c;
  scr->DrawItems(c, 0, 0, 1, false);
  EXPECT_EQ(c.CallsStarting("textout "), std::vector<std::string>{"textout 300,10 " + "縦"_sj});
  EXPECT_EQ(c.Font().escapement, 2700);
  EXPECT_EQ(c.Font().height, -50);
  EXPECT_EQ(scr->GetItem(0).font.DeviceBox(), (CanvasRect{220, 10, 300, 210}));
  scr->GetItem(0).font.SetFormattedVertical(true);
  c.Clear();
  scr->DrawItems(c, 0, 0, 1, false);
  EXPECT_EQ(c.CallsStarting("text ").size(), 1u);
}

TEST(ScreenDraw, PrintingSubtractsThePhysicalOffset) {
  ScreenDoc d;
  d.items = {MakeItem(1, "", 1000, 1000, 1000, 1000, "P")};
  auto scr = Load(d);
  MapRows rows;
  scr->SetRows(&rows);
  scr->CreatePens(1);
  RecordingCanvas c;
  c.SetPhysicalOffset(5, 7);
  scr->DrawItems(c, 0, 0, 1, false);
  EXPECT_EQ(c.CallsStarting("text ")[0].substr(0, 18), "text 102,100,190,1");
}

TEST(ScreenHit, LastItemFirstEdgesIncluded) {
  ScreenDoc d;
  auto a = MakeItem(1, "", 0, 0, 1000, 1000, "A");
  auto b = MakeItem(1, "", 500, 500, 1000, 1000, "B");
  auto head = MakeItem(1, "", 0, 0, 2000, 2000, "H");
  head.head.SetBandBits(2);
  auto hidden = MakeItem(1, "", 0, 0, 2000, 2000, "X");
  hidden.head.visible = 0;
  d.items = {a, b, head, hidden};
  auto scr = Load(d);
  struct Case {
    int x, y, band, item;
  } cases[] = {{10, 10, 1, 0},    {100, 100, 1, 1}, {75, 75, 1, 1}, {0, 0, 1, 0},     {150, 150, 1, 1},
               {151, 150, 1, -1}, {10, 10, 2, 2},   {10, 10, 0, 2}, {190, 190, 3, -1}};
  for (const Case& c : cases) EXPECT_EQ(scr->ItemAt(c.x, c.y, c.band), c.item) << c.x << "," << c.y;
}

TEST(ScreenScale, ToDeviceAndBack) {
  ScreenDoc d;
  d.items = {MakeItem(1, "", 0, 0, 10, 10, "a")};
  auto scr = Load(d);
  scr->SetScale(0.05, 0.25);
  EXPECT_EQ(scr->ToDevice(0, 1000), 50);
  EXPECT_EQ(scr->ToDevice(1, 1000), 250);
  EXPECT_EQ(scr->ToDevice(0, -999), -49);  // toward zero
  EXPECT_EQ(scr->ToLogical(1, 41), 164);
  EXPECT_EQ(scr->GetItem(0).font.HScale(), 0.05);
}

}  // namespace
