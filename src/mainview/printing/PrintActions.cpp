#include "mainview/printing/PrintActions.h"

#include <QAction>
#include <QMainWindow>
#include <QPrintPreviewDialog>
#include <QWidget>

#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "mainview/host/MainObjects.h"
#include "mainview/host/MainWindowPort.h"
#include "mainview/printing/QtPrint.h"
#include "platform/Cp932.h"
#include "platform/FileChooser.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/StatusNote.h"

PrintWindows::PrintWindows(DialogRunner& dialogs, MainContext& context, QWidget& window, MainWindowPort& port)
    : QObject(&window), dialogs_(dialogs), c_(context), window_(window), port_(port) {
  setObjectName("printWindows");
}

PrintWindows::~PrintWindows() = default;

CMyPrint& PrintWindows::Printer() {
  // made on first use: finding the default printer may take a moment
  if (!print_) print_ = std::make_unique<CMyPrint>(&window_, dialogs_, c_.prompter);
  return *print_;
}

PrintHead PrintWindows::Head() const {
  return PrintHeadOf(c_.objects, port_.DivisionTab(), c_.clock.Today());
}

void PrintWindows::BackToSheet() {
  window_.activateWindow();
  if (QWidget* keys = window_.findChild<QWidget*>("scr_Key")) keys->setFocus();
  port_.ViewChanged();  // the window repaints in its own scales
}

int PrintWindows::PrintInto(QPrinter* printer, int first) {
  SheetPrinter sheet = PrinterOf(c_.objects, c_.prompter);
  PrinterJob job(printer, c_.prompter);
  return sheet.PrintSheet(job, Head(), first);
}

int PrintWindows::WritePdf(const std::string& path, int first) {
  SheetPrinter sheet = PrinterOf(c_.objects, c_.prompter);
  PdfJob job(path, Printer().Paper(), c_.prompter);
  return sheet.PrintSheet(job, Head(), first);
}

void PrintWindows::Print(int first) {
  SheetPrinter sheet = PrinterOf(c_.objects, c_.prompter);
  if (!sheet.HasRowsFrom(first)) return;
  QPrinter* printer = Printer().BeginPrint();
  // a failure has been told; the dialog's "print to file" goes the way of
  // every PDF: written whole or not at all
  if (printer && printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()) {
    PdfJob job(printer->outputFileName().toStdString(), PaperOf(printer->pageLayout()), c_.prompter);
    (void)sheet.PrintSheet(job, Head(), first);
  } else if (printer) {
    (void)PrintInto(printer, first);
  }
  BackToSheet();
}

void PrintWindows::mnuFilePrnSetupClick() {
  (void)Printer().PageSetup();
  BackToSheet();
}

void PrintWindows::mnuFilePrintClick() { Print(-1); }

void PrintWindows::mnuFileOnePrintClick() { Print(c_.objects.view->TopRow()); }

void PrintWindows::mnuFilePreviewClick() {
  QPrintPreviewDialog dlg(&Printer().Printer(), &window_);
  dlg.setObjectName("dlgPrintPreview");
  dlg.setWindowTitle(QStringLiteral("印刷プレビュー"));
  connect(&dlg, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { (void)PrintInto(p, -1); });
  (void)dialogs_.Run(dlg);
  BackToSheet();
}

void PrintWindows::mnuFilePdfClick() {
  FileChoice choice;
  choice.save = true;
  choice.title = "PDFに出力"_sj;
  choice.filter = "PDF (*.pdf)"_sj;
  choice.suggested = CMyGlobal::OnDisk(c_.objects.global->DivisionFolder()) + ".pdf";
  const std::string path = c_.files.Choose(choice);
  if (!path.empty() && WritePdf(path, -1) > 0)
    ShowStatusNote(&window_, "PDFを書き出しました: "_sj + cp932::FromUtf8(path));
  BackToSheet();
}

PrintWindows* RegisterPrintActions(MainActions& a, DialogRunner& dialogs, MainContext& c, QWidget& window,
                                   MainWindowPort& port) {
  auto* p = new PrintWindows(dialogs, c, window, port);
  a.Add({"mnuFilePrnSetup",
         "ファイル(&F)",
         "ページ設定...",
         {},
         when::Started,
         [p] { p->mnuFilePrnSetupClick(); },
         "print"});
  a.Add({"mnuFilePreview",
         "ファイル(&F)",
         "印刷プレビュー...",
         {},
         when::Started,
         [p] { p->mnuFilePreviewClick(); },
         "print"});
  a.Add({"mnuFilePrint", "ファイル(&F)", "印刷(&P)...", QKeySequence(Qt::CTRL | Qt::Key_P), when::Started,
         [p] { p->mnuFilePrintClick(); }, "print"});
  a.Add({"mnuFileOnePrint",
         "ファイル(&F)",
         "画面先頭行から１ページ印刷...",
         {},
         when::Started,
         [p] { p->mnuFileOnePrintClick(); },
         "print"});
  a.Add({"mnuFilePdf",
         "ファイル(&F)",
         "PDFに出力...",
         {},
         when::Started,
         [p] { p->mnuFilePdfClick(); },
         "print"});
  return p;
}

PrintFeature::PrintFeature(FeatureHost& host)
    : windows_(RegisterPrintActions(host.Actions(), host.Dialogs(), host.Context(), host.Window(),
                                    host.WindowPort())) {
  host.Services().pageLayout = [this](QPageLayout& layout) {
    layout = LayoutOf(windows_->Printer().Paper());
  };
  host.Services().beginPrint = [this] { return windows_->Printer().BeginPrint(); };
}
