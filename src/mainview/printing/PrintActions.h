// Registers the printing items of the file menu: "ページ設定...",
// "印刷プレビュー...", "印刷(&P)...", "画面先頭行から１ページ印刷..." and
// "PDFに出力...". All of them draw through one SheetPrinter, so what the
// preview shows, what the printer prints and the PDF are the same pages.
#pragma once
#include <QObject>
#include <memory>
#include <string>

#include "mainview/host/MainFeature.h"
#include "mainview/sheet/SheetPrinter.h"

class CMyPrint;
class DialogRunner;
class FeatureHost;
class MainActions;
class MainWindowPort;
class QPrinter;
class QWidget;
struct MainContext;

// The window's printing: the chosen printer and its setup, kept from the
// first use until the window closes (a child of the window).
class PrintWindows : public QObject {
  Q_OBJECT
 public:
  PrintWindows(DialogRunner& dialogs, MainContext& context, QWidget& window, MainWindowPort& port);
  ~PrintWindows() override;

  void mnuFilePrnSetupClick();
  void mnuFilePreviewClick();
  void mnuFilePrintClick();
  void mnuFileOnePrintClick();
  void mnuFilePdfClick();

  // Draws into `printer` (a printer, or the preview's pages) from row
  // `first` (< 0: every row); the pages printed, or <= 0.
  int PrintInto(QPrinter* printer, int first);
  // Writes the sheet's pages as a PDF file (UTF-8 path) in the current page
  // setup; the pages written, or <= 0.
  int WritePdf(const std::string& path, int first);
  CMyPrint& Printer();
  PrintHead Head() const;

 private:
  void Print(int first);
  void BackToSheet();

  DialogRunner& dialogs_;
  MainContext& c_;
  QWidget& window_;
  MainWindowPort& port_;
  std::unique_ptr<CMyPrint> print_;
};

PrintWindows* RegisterPrintActions(MainActions& actions, DialogRunner& dialogs, MainContext& context,
                                   QWidget& window, MainWindowPort& port);

// The page set-up, preview, print and PDF items of the file menu.
class PrintFeature : public MainFeature {
 public:
  explicit PrintFeature(FeatureHost& host);
  PrintWindows& Windows() { return *windows_; }

 private:
  PrintWindows* windows_;  // a child of the window
};
