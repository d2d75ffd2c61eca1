// Printing the sheet: the rows the main window holds (the shown month, page
// or list page), drawn by the same painter and screen definition as on the
// screen but scaled to the paper, page after page, under a head line with
// the title, the page number and the date. Qt-free: a printer, the preview
// and a PDF file are all PrintJobs.
#pragma once
#include <string>
#include <vector>

#include "mainview/sheet/CMyView.h"
#include "mainview/sheet/SheetPainter.h"
#include "platform/Canvas.h"
#include "platform/Clock.h"

class Prompter;

// Paper size and margins in hundredths of a millimetre.
struct PaperSetup {
  int width = 21000, height = 29700;  // A4
  int left = 1000, top = 1000, right = 1000, bottom = 1000;
  bool operator==(const PaperSetup&) const = default;
};

// What a device tells of its page: its size in pixels and in millimetres.
struct DeviceCaps {
  int horzRes = 0, vertRes = 0;
  int horzSize = 0, vertSize = 0;
};

// One print job. Each call that fails has told the user why.
class PrintJob {
 public:
  virtual ~PrintJob() = default;
  virtual PaperSetup Paper() const = 0;
  virtual DeviceCaps Caps() const = 0;
  virtual bool BeginDocument(const std::string& name) = 0;
  virtual bool BeginPage() = 0;
  virtual void FinishPage() = 0;
  // False when the output could not be completed.
  virtual bool FinishDocument() = 0;
  // The page's canvas, whose (0, 0) is the paper's top-left corner; valid
  // between BeginDocument and FinishDocument.
  virtual Canvas& PageCanvas() = 0;
};

// What printing needs of the screen model beyond what painting does.
class PrintScreen {
 public:
  virtual ~PrintScreen() = default;
  // Pixels per logical unit.
  virtual double ScaleX() const = 0;
  virtual double ScaleY() const = 0;
  virtual void SetScales(double horizontal, double vertical) = 0;
  // Pens and brushes in print form (black pens, thin lines one pixel).
  virtual void SetPrintForm(bool on) = 0;
  virtual int SheetWidth() const = 0;  // logical units
  // The height of one text line of a control, in logical units at the
  // current scales.
  virtual int MeasureLineHeight(Canvas& c, int control) = 0;
};

// The head line of every page and what it says (CP932).
struct PrintHead {
  bool title = true, page = true, now = true;  // PRINT ON_TITLE, ON_PAGE, ON_NOW
  std::string division;                        // the division's tab caption
  std::string label;                           // the period label of the window
  CivilDate today;
};

class SheetPrinter {
 public:
  SheetPrinter(const CMyView& view, SheetPainter& painter, SheetScreen& screen, PrintScreen& print,
               Prompter& prompter);

  // A one-page print from `first` has something to print; else false after
  // "印刷するデータがありません。".
  bool HasRowsFrom(int first);
  // Prints every row from row 0 (`first` < 0) on as many pages as needed,
  // or one page from row `first`. Returns the pages printed; 0 when nothing
  // was printed (the user has been told why), -1 when the job failed.
  int PrintSheet(PrintJob& job, const PrintHead& head, int first);
  // The same from any row, on one page or as many as needed.
  int PrintRows(PrintJob& job, const PrintHead& head, int from, bool onePage);
  // One page from row `first` (inside a job of PrintRows); returns the first
  // row not printed.
  int PrintPage(Canvas& c, int page, int first);

  // The print heights of the last job, one per row (logical units).
  const std::vector<int>& PrintHeights() const { return heights_; }
  // The paper of the last job, as it was used (A4 for a paper of no size,
  // margins below 0 as 0).
  const PaperSetup& UsedPaper() const { return paper_; }
  static PaperSetup Normalised(PaperSetup paper);

 private:
  // Where the page's parts go, in the printer's scales.
  struct Layout {
    double scaleX = 0, scaleY = 0;  // printer pixels per logical unit
    double savedX = 0, savedY = 0;  // the screen's
    int keyWidth = 0;               // printer pixels
    int keyColumns[4] = {};
    int keyColumnCount = 0;
    int fieldWidth = 0;
    int keyFontHeight = 0;
    int headHeight = 0;  // logical units, 0 without a head line
    int memoLineHeight = 0;
  };
  bool Fits(const DeviceCaps& caps);
  void MeasureRows(Canvas& c);
  std::string RightHead(int page) const;

  const CMyView& view_;
  SheetPainter& painter_;
  SheetScreen& screen_;
  PrintScreen& print_;
  Prompter& prompter_;
  PaperSetup paper_;
  PrintHead head_;
  Layout layout_;
  std::vector<int> heights_;
};
