#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "mainview/sheet/QtSheetWidget.h"
#include "mainview/window/MainSheetAccess.h"
#include "mainview/window/MainToolBar.h"
#include "mainview/window/TfrmMain.h"
#include "options/CMyColorKinds.h"
#include "qtkit/QtSheetAccessible.h"
#include "qtkit/QtText.h"

void TfrmMain::BuildWidgets() {
  auto* central = new QWidget(this);
  auto* top = new QVBoxLayout(central);
  top->setContentsMargins(2, 2, 2, 0);
  top->setSpacing(2);

  tb_ = MainToolBar(this);
  top->addLayout(tb_.bar);

  tab_Div = new QTabBar(this);
  tab_Div->setObjectName("tab_Div");
  tab_Div->setExpanding(false);
  top->addWidget(tab_Div);

  sheet_ = new QtSheetWidget(
      std::make_unique<SheetBoxOver<CMyView>>([this] { return objects_ ? objects_->view.get() : nullptr; },
                                              [this] { return objects_ ? objects_->painter.get() : nullptr; },
                                              [this](int px) { return objects_->scr->ToLogical(1, px); }),
      [this] { return started_ && objects_; }, this);
  sheet_->wheeled = [this] { AfterViewChange(); };
  sheet_->painted = [this] { UpdateRowStatus(); };
  paiMain = sheet_->PaintBox();
  paiMain->installEventFilter(this);  // the keys and the mouse; the sheet paints itself
  sheetAccess_ = MakeSheetAccess(
      paiMain, [this] { return objects_.get(); }, [this] { return FormControls(); },
      [this] {
        QStringList parts;
        for (QTabBar* tabs : {tab_Div, tab_Scr})
          if (tabs->currentIndex() >= 0) parts << tabs->tabText(tabs->currentIndex());
        parts << tb_.lbl_YYYYMM->text();
        parts.removeAll(QString());
        return parts.join(QLatin1Char(' '));
      });
  top->addWidget(sheet_, 1);

  scr_Key = MakeKeyReceiver(this, paiMain);

  panel_Scr = new QWidget(this);
  panel_Scr->setObjectName("panel_Scr");
  auto* scrRow = new QHBoxLayout(panel_Scr);
  scrRow->setContentsMargins(0, 0, 0, 0);
  tab_Scr = new QTabBar(panel_Scr);
  tab_Scr->setObjectName("tab_Scr");
  tab_Scr->setShape(QTabBar::RoundedSouth);
  tab_Scr->setExpanding(false);
  scrRow->addWidget(tab_Scr);
  scrRow->addStretch(1);
  scrRow->addWidget(scr_Key);
  top->addWidget(panel_Scr);

  setCentralWidget(central);
  statusBar()->setObjectName("StatusBar");
  statusPanel0 = new QLabel(this);
  statusPanel0->setObjectName("statusPanel0");
  statusPanel0->setMinimumWidth(160);
  statusPanel1 = new QLabel(this);
  statusPanel1->setObjectName("statusPanel1");
  statusBar()->addWidget(statusPanel0);
  statusBar()->addWidget(statusPanel1, 1);
  // whose diary this is, always in view
  lbl_User = new QLabel(this);
  lbl_User->setObjectName("lbl_User");
  statusBar()->addPermanentWidget(lbl_User);

  connect(tb_.tbt_Left, &QToolButton::clicked, this, [this] { StepPeriod(-1); });
  connect(tb_.tbt_Right, &QToolButton::clicked, this, [this] { StepPeriod(1); });
  connect(tb_.lbl_YYYYMM, &QPushButton::clicked, this, &TfrmMain::GoToday);
  connect(tb_.cmd_ModeMM, &QToolButton::clicked, this, [this] { SetDisplayMode(CMyView::kSheetMode); });
  connect(tb_.cmd_ModePickout, &QToolButton::clicked, this, [this] { SetDisplayMode(CMyView::kListMode); });
  connect(tb_.btn_WinW, &QToolButton::clicked, this, &TfrmMain::btn_WinWClick);
  connect(tab_Div, &QTabBar::currentChanged, this, &TfrmMain::tab_DivChange);
  connect(tab_Scr, &QTabBar::currentChanged, this, &TfrmMain::tab_ScrChange);
}

void TfrmMain::RefreshPaletteButtons() {
  for (auto& f : features_) f->PaletteChanged();
}
