#include "mainview/printing/QtPrint.h"

#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <cerrno>
#include <cmath>

#include "exchange/CMyBackup.h"
#include "mainview/printing/TfrmPageSetup.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/QtCanvas.h"
#include "qtkit/QtText.h"

namespace {

constexpr double kDefaultMarginMm = 10.0;

int Hundredths(double mm) { return static_cast<int>(std::lround(mm * 100)); }

// What the system says of the last failure (in the program's own words for
// the failures it knows), or `fallback` when it says nothing.
std::string SystemText(int err, const char* fallback) {
  if (err == 0) return cp932::FromUtf8(fallback);
  return ErrnoReason(err);
}

}  // namespace

PaperSetup PaperOf(const QPageLayout& layout) {
  PaperSetup p;
  const QRectF full = layout.fullRect(QPageLayout::Millimeter);
  const QMarginsF m = layout.margins(QPageLayout::Millimeter);
  p.width = Hundredths(full.width());
  p.height = Hundredths(full.height());
  p.left = Hundredths(m.left());
  p.top = Hundredths(m.top());
  p.right = Hundredths(m.right());
  p.bottom = Hundredths(m.bottom());
  return p;
}

QPageLayout LayoutOf(const PaperSetup& paper) {
  const PaperSetup p = SheetPrinter::Normalised(paper);
  // a page wider than high is the portrait size turned
  const bool landscape = p.width > p.height;
  const QSizeF size =
      landscape ? QSizeF(p.height / 100.0, p.width / 100.0) : QSizeF(p.width / 100.0, p.height / 100.0);
  QPageLayout layout(QPageSize(size, QPageSize::Millimeter),
                     landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                     QPageLayout::Millimeter);
  // the sheet is drawn on the whole paper and keeps its own margins, which
  // may be anything a page setup holds
  layout.setMode(QPageLayout::FullPageMode);
  layout.setMargins(QMarginsF(p.left / 100.0, p.top / 100.0, p.right / 100.0, p.bottom / 100.0));
  return layout;
}

DeviceCaps CapsOf(const QPaintDevice& d) { return {d.width(), d.height(), d.widthMM(), d.heightMM()}; }

// ---- CMyPrint ------------------------------------------------------------------

CMyPrint::CMyPrint(QWidget* owner, DialogRunner& dialogs, Prompter& prompter)
    : owner_(owner), dialogs_(dialogs), prompter_(prompter) {
  LoadDefaults(false);
}

CMyPrint::~CMyPrint() = default;

void CMyPrint::LoadDefaults(bool onlyOnce) {
  if (onlyOnce && loaded_) return;
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  printer_ = info.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                           : std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  const QPageSize size =
      !info.isNull() && info.defaultPageSize().isValid() ? info.defaultPageSize() : QPageSize(QPageSize::A4);
  QPageLayout layout(size, QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter);
  layout.setMode(QPageLayout::FullPageMode);
  layout.setMargins(QMarginsF(kDefaultMarginMm, kDefaultMarginMm, kDefaultMarginMm, kDefaultMarginMm));
  printer_->setPageLayout(layout);
  // the sheet places itself on the whole paper: (0, 0) is the paper's corner
  printer_->setFullPage(true);
  loaded_ = true;
}

bool CMyPrint::PageSetup() {
  LoadDefaults(true);
  if (printer_->outputFormat() != QPrinter::NativeFormat) {
    // Qt's page setup serves installed printers only; the pages of a PDF
    // get a setup of their own
    TfrmPageSetup dlg(Paper(), prompter_, owner_);
    if (dialogs_.Run(dlg) != QDialog::Accepted) return false;
    SetPaper(dlg.Paper());
    return true;
  }
  QPageSetupDialog dlg(printer_.get(), owner_);
  dlg.setObjectName("dlgPageSetup");
  const bool ok = dialogs_.Run(dlg) == QDialog::Accepted;
  printer_->setFullPage(true);
  return ok;
}

QPrinter* CMyPrint::BeginPrint() {
  LoadDefaults(true);
  QPrintDialog dlg(printer_.get(), owner_);
  dlg.setObjectName("dlgPrint");
  // the sheet has no selection and no page numbers to choose from; with no
  // printer installed the dialog still offers a PDF file
  dlg.setOption(QAbstractPrintDialog::PrintSelection, false);
  dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dlg.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  dlg.setOption(QAbstractPrintDialog::PrintToFile, true);
  const bool ok = dialogs_.Run(dlg) == QDialog::Accepted;
  printer_->setFullPage(true);
  return ok ? printer_.get() : nullptr;
}

PaperSetup CMyPrint::Paper() const { return PaperOf(printer_->pageLayout()); }

void CMyPrint::SetPaper(const PaperSetup& paper) {
  printer_->setPageLayout(LayoutOf(paper));
  printer_->setFullPage(true);
}

std::string CMyPrint::PrinterName() const { return cp932::FromUtf8(printer_->printerName().toStdString()); }

// ---- PrinterJob -------------------------------------------------------------

PrinterJob::PrinterJob(QPrinter* printer, Prompter& prompter) : printer_(printer), prompter_(prompter) {}

PrinterJob::~PrinterJob() {
  if (painter_.isActive()) painter_.end();
}

PaperSetup PrinterJob::Paper() const { return printer_ ? PaperOf(printer_->pageLayout()) : PaperSetup{}; }

DeviceCaps PrinterJob::Caps() const { return printer_ ? CapsOf(*printer_) : DeviceCaps{}; }

bool PrinterJob::BeginDocument(const std::string& name) {
  if (!printer_) {
    prompter_.Show("HDCが取得されてません。"_sj, "Print", PromptIcon::Warning, PromptButtons::Ok);
    return false;
  }
  printer_->setDocName(FromSj(name));
  errno = 0;
  if (!painter_.begin(printer_)) {
    prompter_.Show(SystemText(errno, "印刷を始められませんでした。"), "StartDoc", PromptIcon::Error,
                   PromptButtons::Ok);
    return false;
  }
  canvas_ = std::make_unique<QtCanvas>(painter_);
  return true;
}

bool PrinterJob::BeginPage() {
  // the document's first page begins with the document
  errno = 0;
  if (pages_++ > 0 && !printer_->newPage()) {
    prompter_.Show(SystemText(errno, "ページを始められませんでした。"), "StartPage", PromptIcon::Error,
                   PromptButtons::Ok);
    return false;
  }
  return true;
}

bool PrinterJob::FinishDocument() {
  canvas_.reset();
  return !painter_.isActive() || painter_.end();
}

Canvas& PrinterJob::PageCanvas() { return *canvas_; }

// ---- PdfJob -----------------------------------------------------------------

PdfJob::PdfJob(std::string path, const PaperSetup& paper, Prompter& prompter, int resolution)
    : path_(std::move(path)),
      paper_(SheetPrinter::Normalised(paper)),
      prompter_(prompter),
      resolution_(resolution) {
  buffer_.open(QIODevice::WriteOnly);
  writer_ = std::make_unique<QPdfWriter>(&buffer_);
  writer_->setResolution(resolution_);
  writer_->setPageLayout(LayoutOf(paper_));
}

PdfJob::~PdfJob() {
  if (painter_.isActive()) painter_.end();
}

DeviceCaps PdfJob::Caps() const { return CapsOf(*writer_); }

bool PdfJob::BeginDocument(const std::string& name) {
  writer_->setTitle(FromSj(name));
  writer_->setCreator(QStringLiteral("JotBox"));
  errno = 0;
  if (!painter_.begin(writer_.get())) {
    prompter_.Show(SystemText(errno, "PDFを作れませんでした。"), "StartDoc", PromptIcon::Error,
                   PromptButtons::Ok);
    return false;
  }
  canvas_ = std::make_unique<QtCanvas>(painter_);
  return true;
}

bool PdfJob::BeginPage() {
  if (pages_++ > 0 && !writer_->newPage()) {
    prompter_.Show("ページを始められませんでした。"_sj, "StartPage", PromptIcon::Error, PromptButtons::Ok);
    return false;
  }
  return true;
}

bool PdfJob::FinishDocument() {
  canvas_.reset();
  if (painter_.isActive() && !painter_.end()) return false;
  if (!writeFile_) return true;
  const QByteArray& bytes = buffer_.data();
  errno = 0;
  if (!fileops::WriteAtomic(path_, std::string(bytes.constData(), static_cast<size_t>(bytes.size())))) {
    const int err = errno;
    prompter_.Warn("ファイルの書き込みに失敗しました。"_sj + "\n" + cp932::FromUtf8(path_) +
                   (err ? "\n"_sj + ErrnoReason(err) : std::string()));
    return false;
  }
  return true;
}

Canvas& PdfJob::PageCanvas() { return *canvas_; }
