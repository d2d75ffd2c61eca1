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

#include "qtkit/QtSheetAccessible.h"
#include "mainview/window/TfrmMain.h"
#include "options/CMyColorKinds.h"
#include "qtkit/QtText.h"

void TfrmMain::BuildWidgets() {
  auto* central = new QWidget(this);
  auto* top = new QVBoxLayout(central);
  top->setContentsMargins(2, 2, 2, 0);
  top->setSpacing(2);

  auto* bar = bar_ = new QHBoxLayout;
  tbt_Left = new QToolButton(this);
  tbt_Left->setObjectName("tbt_Left");
  tbt_Left->setArrowType(Qt::LeftArrow);
  tbt_Left->setToolTip(QStringLiteral("前月に移動"));
  tbt_Left->setAccessibleName(QStringLiteral("前の月"));
  lbl_YYYYMM = new QPushButton(this);
  lbl_YYYYMM->setObjectName("lbl_YYYYMM");
  lbl_YYYYMM->setFlat(true);
  lbl_YYYYMM->setToolTip(QStringLiteral("今日に戻る"));
  lbl_YYYYMM->setFocusPolicy(Qt::NoFocus);  // the arrow keys stay with the sheet
  QFont big = lbl_YYYYMM->font();
  big.setPointSize(big.pointSize() + 4);
  big.setBold(true);
  lbl_YYYYMM->setFont(big);
  tbt_Right = new QToolButton(this);
  tbt_Right->setObjectName("tbt_Right");
  tbt_Right->setArrowType(Qt::RightArrow);
  tbt_Right->setToolTip(QStringLiteral("翌月に移動"));
  tbt_Right->setAccessibleName(QStringLiteral("次の月"));
  cmd_ModeMM = new QToolButton(this);
  cmd_ModeMM->setObjectName("cmd_ModeMM");
  cmd_ModeMM->setText(QStringLiteral("月表"));
  cmd_ModeMM->setCheckable(true);
  cmd_ModeMM->setAutoExclusive(true);
  cmd_ModeMM->setChecked(true);
  cmd_ModePickout = new QToolButton(this);
  cmd_ModePickout->setObjectName("cmd_ModePickout");
  cmd_ModePickout->setText(QStringLiteral("一覧"));
  cmd_ModePickout->setCheckable(true);
  cmd_ModePickout->setAutoExclusive(true);
  btn_WinW = new QToolButton(this);
  btn_WinW->setObjectName("btn_WinW");
  btn_WinW->setCheckable(true);
  btn_WinW->setText(QStringLiteral("幅"));
  btn_WinW->setToolTip(QStringLiteral("画面の幅に合わせる"));
  bar->addWidget(tbt_Left);
  bar->addWidget(lbl_YYYYMM);
  bar->addWidget(tbt_Right);
  bar->addStretch(1);
  for (int i = 0; i < 3; ++i) {
    cmd_Palette[i] = new QToolButton(this);
    cmd_Palette[i]->setObjectName(QStringLiteral("cmd_Cr%1").arg(i + 1));
    cmd_Palette[i]->setText(QString::fromUtf8("色"));
    cmd_Palette[i]->setAutoRaise(false);
    bar->addWidget(cmd_Palette[i]);
  }
  bar->addSpacing(8);
  bar->addWidget(cmd_ModeMM);
  bar->addWidget(cmd_ModePickout);
  bar->addWidget(btn_WinW);
  top->addLayout(bar);

  tab_Div = new QTabBar(this);
  tab_Div->setObjectName("tab_Div");
  tab_Div->setExpanding(false);
  top->addWidget(tab_Div);

  auto* grid = new QGridLayout;
  grid->setSpacing(0);
  paiMain = new QWidget(this);
  paiMain->setObjectName("paiMain");
  paiMain->setAutoFillBackground(true);
  QPalette pal = paiMain->palette();
  pal.setColor(QPalette::Window, Qt::white);
  paiMain->setPalette(pal);
  paiMain->installEventFilter(this);
  paiMain->setFocusPolicy(Qt::StrongFocus);
  BuildSheetAccess();
  scr_Right = new QScrollBar(Qt::Vertical, this);
  scr_Right->setObjectName("scr_Right");
  scr_Right->setAccessibleName(QStringLiteral("縦スクロール"));
  scr_Bottom = new QScrollBar(Qt::Horizontal, this);
  scr_Bottom->setObjectName("scr_Bottom");
  scr_Bottom->setAccessibleName(QStringLiteral("横スクロール"));
  grid->addWidget(paiMain, 0, 0);
  grid->addWidget(scr_Right, 0, 1);
  grid->addWidget(scr_Bottom, 1, 0);
  top->addLayout(grid, 1);

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

  connect(tbt_Left, &QToolButton::clicked, this, [this] { StepPeriod(-1); });
  connect(tbt_Right, &QToolButton::clicked, this, [this] { StepPeriod(1); });
  connect(lbl_YYYYMM, &QPushButton::clicked, this, &TfrmMain::GoToday);
  connect(cmd_ModeMM, &QToolButton::clicked, this, [this] { SetDisplayMode(CMyView::kSheetMode); });
  connect(cmd_ModePickout, &QToolButton::clicked, this, [this] { SetDisplayMode(CMyView::kListMode); });
  connect(btn_WinW, &QToolButton::clicked, this, &TfrmMain::btn_WinWClick);
  connect(tab_Div, &QTabBar::currentChanged, this, &TfrmMain::tab_DivChange);
  connect(tab_Scr, &QTabBar::currentChanged, this, &TfrmMain::tab_ScrChange);
  connect(scr_Right, &QScrollBar::valueChanged, this, [this](int v) {
    if (updating_ || !objects_) return;
    objects_->view->SetTop(v);
    paiMain->update();
  });
  connect(scr_Bottom, &QScrollBar::valueChanged, this, [this](int) {
    if (!updating_) paiMain->update();
  });
}

void TfrmMain::RefreshPaletteButtons() {
  for (auto& f : features_) f->PaletteChanged();
}

void TfrmMain::AddToolButtons() {
  // the entry buttons sit after the month label, before the colour palette
  int at = bar_->indexOf(tbt_Right);
  const struct {
    const char* action;
    const char* text;
  } kButtons[] = {{"tbt_New", "新規"},     {"tbt_NowNew", "今日"},         {"tbt_Edit", "編集"},
                  {"tbt_Pickout", "抽出"}, {"tbt_PickoutSet", "抽出設定"}, {"mnuSelFind", "検索"}};
  for (const auto& b : kButtons) {
    QAction* a = actions_->Find(QString::fromUtf8(b.action));
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromUtf8(b.action) + "Button");
    if (a->isCheckable()) {
      button->setDefaultAction(a);  // a toggle shows its state
    } else {
      button->setText(QString::fromUtf8(b.text));
      connect(button, &QToolButton::clicked, a, &QAction::trigger);
      connect(a, &QAction::changed, button, [button, a] { button->setEnabled(a->isEnabled()); });
    }
    button->setToolTip(a->text());
    button->setFocusPolicy(Qt::NoFocus);
    bar_->insertWidget(++at, button);
  }
}
