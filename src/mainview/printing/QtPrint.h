// The printer side of printing, over Qt Print Support: the chosen printer
// with its paper and margins (CMyPrint, kept until the window closes), and
// the jobs the sheet printer draws into: a printer or the preview
// (PrinterJob), and a PDF file written whole or not at all (PdfJob).
#pragma once
#include <QBuffer>
#include <QPainter>
#include <QPrinter>
#include <memory>
#include <string>

#include "mainview/sheet/SheetPrinter.h"

class DialogRunner;
class Prompter;
class QPageLayout;
class QPagedPaintDevice;
class QPdfWriter;
class QtCanvas;
class QWidget;

// A page setup as Qt keeps it, and back (hundredths of a millimetre).
PaperSetup PaperOf(const QPageLayout& layout);
QPageLayout LayoutOf(const PaperSetup& paper);

class CMyPrint {
 public:
  // Takes the default printer at once (LoadDefaults).
  CMyPrint(QWidget* owner, DialogRunner& dialogs, Prompter& prompter);
  ~CMyPrint();
  CMyPrint(const CMyPrint&) = delete;
  CMyPrint& operator=(const CMyPrint&) = delete;

  // The default printer without a dialog, its paper (A4 when it names
  // none) and margins of 10.00 mm. With onlyOnce, only the first time.
  void LoadDefaults(bool onlyOnce);
  // "ページ設定...": paper and margins, starting from the current ones.
  // True when the user took them.
  bool PageSetup();
  // The print dialog over the current setup: the printer to print on, or
  // null when the user cancelled.
  QPrinter* BeginPrint();

  PaperSetup Paper() const;
  void SetPaper(const PaperSetup& paper);
  QPrinter& Printer() { return *printer_; }
  // The chosen printer's name; empty for none (a PDF file).
  std::string PrinterName() const;

 private:
  QWidget* owner_;
  DialogRunner& dialogs_;
  Prompter& prompter_;
  std::unique_ptr<QPrinter> printer_;
  bool loaded_ = false;
};

// A job on a QPrinter: a printer or the preview's pages. The printer is
// not owned; a null one shows "HDCが取得されてません。".
class PrinterJob : public PrintJob {
 public:
  PrinterJob(QPrinter* printer, Prompter& prompter);
  ~PrinterJob() override;
  PaperSetup Paper() const override;
  DeviceCaps Caps() const override;
  bool BeginDocument(const std::string& name) override;
  bool BeginPage() override;
  void FinishPage() override {}
  bool FinishDocument() override;
  Canvas& PageCanvas() override;

 private:
  QPrinter* printer_;
  Prompter& prompter_;
  QPainter painter_;
  std::unique_ptr<QtCanvas> canvas_;
  int pages_ = 0;
};

// A job that writes a PDF file: the pages are made in memory and the file
// is replaced at the end in one step, so a failed job leaves any old file.
class PdfJob : public PrintJob {
 public:
  // `path` UTF-8. 600 dots an inch is finer than any line of the sheet.
  PdfJob(std::string path, const PaperSetup& paper, Prompter& prompter, int resolution = 600);
  ~PdfJob() override;
  PaperSetup Paper() const override { return paper_; }
  DeviceCaps Caps() const override;
  bool BeginDocument(const std::string& name) override;
  bool BeginPage() override;
  void FinishPage() override {}
  bool FinishDocument() override;
  Canvas& PageCanvas() override;
  // The document's bytes once it is finished (also when not written).
  const QByteArray& Bytes() const { return buffer_.data(); }
  // Makes the pages without writing any file (the benchmark).
  void SetWriteFile(bool on) { writeFile_ = on; }

 private:
  std::string path_;
  PaperSetup paper_;
  Prompter& prompter_;
  int resolution_;
  bool writeFile_ = true;
  QBuffer buffer_;
  std::unique_ptr<QPdfWriter> writer_;
  QPainter painter_;
  std::unique_ptr<QtCanvas> canvas_;
  int pages_ = 0;
};

// Device capabilities of a page device: its page in pixels and millimetres.
DeviceCaps CapsOf(const QPaintDevice& device);
