#include "cli/OffscreenMain.h"

#include <cstdlib>

#include "cli/Cli.h"
#include "mainview/sheet/CMyView.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/SystemPaths.h"
#include "qtkit/PngWrite.h"

bool cli::SavePng(const QImage& image, const std::string& path) {
  std::string bytes;
  return png::Encode(image, bytes) && fileops::WriteAtomic(path, bytes);
}

OffscreenMain::OffscreenMain(Prompter& prompter, CivilDate today, const std::string& root,
                             const std::string& user, int sheetHeight)
    : clock(today), sheetHeight_(sheetHeight) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  app_ = std::make_unique<QApplication>(argc_, argv_);
  MainEnvironment env;
  env.prompter = &prompter;
  env.beeper = &beeper;
  env.clock = &clock;
  env.programFolder = syspaths::ProgramFolder();
  env.dataRoot = root;
  env.user = cp932::FromUtf8(user);
  env.sheetHeight = sheetHeight;
  env.dialogs = &refuseAll_;
  w_ = std::make_unique<TfrmMain>(env);
}

OffscreenMain::~OffscreenMain() {
  w_.reset();  // the widgets go before the application
  app_.reset();
}

OffscreenMain::Result OffscreenMain::Open(int division, int screen) {
  w_->FormCreate();
  if (!w_->Started() || Asked()) return kNoBook;
  if (sheetHeight_ > 0) w_->SetSheetHeight(sheetHeight_);
  if (division != 0) w_->tab_DivChange(division);
  if (screen != 0) w_->tab_ScrChange(screen);
  return Asked() ? kNoScreen : kOpen;
}

int OffscreenMain::OpenFor(const char* command, int division, int screen, const std::string& user) {
  const Result opened = Open(division, screen);
  if (opened == kNoBook) return cli::Fail(command, "分類を開けません: " + user);
  if (opened == kNoScreen) return cli::Fail(command, "表示画面を開けません: " + std::to_string(screen));
  return 0;
}

void OffscreenMain::ShowPart(int listPage, int page, int year, int month) {
  CMyView& view = *w_->View();
  if (listPage >= 0) {
    view.SetDisplayMode(CMyView::kListMode);
    view.ShowListPage(listPage);
  } else if (page > 0) {
    view.ShowPage(page);
  } else if (year > 0) {
    view.ShowMonth(year, month);
  }
}
