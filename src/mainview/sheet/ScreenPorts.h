// The display screen model seen by the sheet: loading a ".jos" into the
// view's settings, and drawing rows, header and footer for the painter.
#pragma once
#include <string>
#include <vector>

#include "extract/CMyGroup.h"
#include "mainview/sheet/GroupPorts.h"
#include "mainview/sheet/SheetPainter.h"
#include "mainview/sheet/SheetPrinter.h"
#include "mainview/sheet/ViewPorts.h"
#include "screens/CMyScr.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"

// The record a sheet row names (its `record`), for the screen's items.
class SheetRowSource : public RowSource {
 public:
  virtual void SetPosition(int record) = 0;
};

// The record at one position of the record set.
class RecordRowSource : public SheetRowSource {
 public:
  RecordRowSource(const CMyDB& db, const CMyRec& rec) : db_(db), rec_(rec) {}
  void SetPosition(int pos) override { pos_ = pos; }
  std::string Value(const std::string& field) const override;
  bool HasNext() const override { return pos_ >= 0 && pos_ + 1 < rec_.Count(); }

 private:
  const CMyDB& db_;
  const CMyRec& rec_;
  int pos_ = -1;
};

// Rows that name records of their own list of table record numbers (the
// reference window's): what they show stays put while the record set the
// list was taken from is selected and sorted anew.
class TableRowSource : public SheetRowSource {
 public:
  TableRowSource(const CMyDB& db, const std::vector<int>& records) : db_(db), records_(records) {}
  void SetPosition(int index) override { index_ = index; }
  std::string Value(const std::string& field) const override;
  bool HasNext() const override { return index_ >= 0 && static_cast<size_t>(index_) + 1 < records_.size(); }

 private:
  const CMyDB& db_;
  const std::vector<int>& records_;
  int index_ = -1;
};

// Reads a screen into the shared screen model and the view's settings.
class JosScreenLoader : public ScreenLoader {
 public:
  JosScreenLoader(CMyScr& scr, const CMyDB& db) : scr_(scr), db_(db) {}
  int Load(const std::string& path, ViewScreen& out) override;
  // Fills the view's settings from a loaded screen (also used by `jbx render`).
  // Its sizes in pixels follow the zoom of the screen model's scale.
  static void Describe(const CMyScr& scr, const CMyDB& db, ViewScreen& out);
  // Shows the loaded screen at `percent` of its size: the model's scale and
  // the view's sizes in pixels (logical sizes stay, so paper is not zoomed).
  // False when it was shown at that size already.
  static bool Zoom(CMyScr& scr, const CMyDB& db, CMyView& view, int percent);

 private:
  CMyScr& scr_;
  const CMyDB& db_;
};

class ScrSheetScreen : public SheetScreen, public PrintScreen {
 public:
  // `view` gives the totals the "SUM" items show.
  ScrSheetScreen(CMyScr& scr, SheetRowSource& rows, const SheetRows& view)
      : scr_(scr), rows_(rows), view_(view) {}
  void BeginDraw(Canvas& c) override;
  void EndDraw(Canvas& c) override;
  void DrawPart(Canvas& c, int part, int x, int y, int record) override;
  void SetTextOverride(bool on, uint32_t colour) override;
  int PixelsX(int logical) const override { return scr_.ToDevice(0, logical); }
  int PixelsY(int logical) const override { return scr_.ToDevice(1, logical); }
  int LogicalX(int pixels) const override { return scr_.ToLogical(0, pixels); }
  int LogicalY(int pixels) const override { return scr_.ToLogical(1, pixels); }
  int ControlHeight(int control) const override;
  void SetControlHeight(int control, int height) override;
  SheetColours Colours() const override;
  int FitFieldArea(int pixels) override;
  // The screen's items draw the group rows of an extraction instead of the
  // records (null: the records again).
  void UseGroupRows(GroupRowSource* group) { group_ = group; }
  // A footer caption as a list shows it: one that names the month
  // ("今月の合計") is about a month's sheet, while a list totals what was
  // extracted, whatever months it spans ("抽出結果の合計"). Others as they are.
  static std::string ListFooterCaption(const std::string& text);
  // PrintScreen
  double ScaleX() const override { return scr_.GetItem(0).font.HScale(); }
  double ScaleY() const override { return scr_.GetItem(0).font.VScale(); }
  void SetScales(double horizontal, double vertical) override { scr_.SetScale(horizontal, vertical); }
  void SetPrintForm(bool on) override;
  int SheetWidth() const override { return scr_.SheetWidth(); }
  int MeasureLineHeight(Canvas& c, int control) override;

 private:
  CMyScr& scr_;
  SheetRowSource& rows_;
  GroupRowSource* group_ = nullptr;
  const SheetRows& view_;
  uint32_t defaultText_ = 0;
  bool printForm_ = false;
  int borrowed_ = 0;  // another window's stretch, back at EndDraw
};
