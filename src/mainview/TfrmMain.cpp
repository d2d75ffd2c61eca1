#include "mainview/TfrmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/QtText.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "shell/CMyPublic.h"
#include "shell/TfrmNewUser.h"
#include "store/CMyLine.h"

namespace {

int DayOfWeek(CivilDate d) {  // 0 = Sunday
  static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  int y = d.year - (d.month < 3 ? 1 : 0);
  return (y + y / 4 - y / 100 + y / 400 + t[d.month - 1] + d.day) % 7;
}

}  // namespace

TfrmMain::TfrmMain(MainEnvironment env, QWidget* parent) : QMainWindow(parent), env_(std::move(env)) {
  setObjectName("frmMain");
  if (!env_.runNewUser) env_.runNewUser = [](TfrmNewUser& dlg) {
    dlg.exec();
    return dlg.Result();
  };
  BuildWidgets();
  BuildMenus();
}

TfrmMain::~TfrmMain() { FormClose(); }

QString TfrmMain::CaptionFor(CivilDate today) {
  static const char* kDays[7] = {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"};
  return QString::asprintf("ひとこと(%04d年%02d月%02d日 %s)", today.year, today.month, today.day,
                           kDays[DayOfWeek(today)]);
}

void TfrmMain::BuildWidgets() {
  auto* central = new QWidget(this);
  auto* top = new QVBoxLayout(central);
  top->setContentsMargins(0, 0, 0, 0);
  top->setSpacing(0);

  auto* bar = new QHBoxLayout;
  lbl_YYYYMM = new QLabel(this);
  lbl_YYYYMM->setObjectName("lbl_YYYYMM");
  btn_WinW = new QToolButton(this);
  btn_WinW->setObjectName("btn_WinW");
  btn_WinW->setCheckable(true);
  btn_WinW->setText(QStringLiteral("幅"));
  bar->addWidget(lbl_YYYYMM, 1);
  bar->addWidget(btn_WinW);
  top->addLayout(bar);

  tab_Div = new QTabBar(this);
  tab_Div->setObjectName("tab_Div");
  top->addWidget(tab_Div);

  auto* middle = new QHBoxLayout;
  paiMain = new QWidget(this);
  paiMain->setObjectName("paiMain");
  paiMain->setAutoFillBackground(true);
  QPalette pal = paiMain->palette();
  pal.setColor(QPalette::Window, Qt::white);
  paiMain->setPalette(pal);
  middle->addWidget(paiMain, 1);
  top->addLayout(middle, 1);

  panel_Scr = new QWidget(this);
  panel_Scr->setObjectName("panel_Scr");
  auto* scrRow = new QHBoxLayout(panel_Scr);
  scrRow->setContentsMargins(0, 0, 0, 0);
  tab_Scr = new QTabBar(panel_Scr);
  tab_Scr->setObjectName("tab_Scr");
  tab_Scr->setShape(QTabBar::RoundedSouth);
  scrRow->addWidget(tab_Scr);
  scrRow->addStretch(1);
  top->addWidget(panel_Scr);

  setCentralWidget(central);
  statusBar()->setObjectName("StatusBar");
}

void TfrmMain::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  QAction* user = file->addAction(QStringLiteral("ユーザー新規・読み込み(&U)..."));
  user->setObjectName("mnu_FileUser");
  connect(user, &QAction::triggered, this, &TfrmMain::mnu_FileUserClick);
  file->addSeparator();
  QAction* quit = file->addAction(QStringLiteral("終了(&X)"));
  quit->setObjectName("mnuFileExit");
  connect(quit, &QAction::triggered, this, &QWidget::close);
  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  QAction* contents = help->addAction(QStringLiteral("目次(&C)"));
  contents->setObjectName("mnuHelpContents");
  connect(contents, &QAction::triggered, this, [this] {
    if (global_) global_->ShowHelp("");
  });
}

void TfrmMain::FormCreate() {
  // The shared objects, in their fixed order.
  global_ = std::make_unique<CMyGlobal>(*env_.prompter, *env_.clock, env_.programFolder, env_.dataHome);
  public_ = std::make_unique<CMyPublic>(*env_.clock);
  lines_ = std::make_unique<CMyLine>(2048, env_.prompter);
  created_ = true;

  global_->ReadSettings(true);

  if (global_->UserName().empty()) {
    TfrmNewUser dlg(*global_, *env_.prompter, this);
    dlg.SetName(QStringLiteral("新規ユーザー"));
    if (!env_.runNewUser(dlg)) return;  // FormShow closes the window
  }
  fileops::MakeDirs(global_->UserPath(""));
  started_ = true;

  RestoreBounds();
  btn_WinW->setChecked(global_->autoWidth);
  panel_Scr->setVisible(global_->scrVisible);
  CivilDate today = global_->Today();
  setWindowTitle(CaptionFor(today));
  lbl_YYYYMM->setText(QString::asprintf("%04d/%02d", today.year, today.month));
  statusBar()->showMessage(FromSj(global_->UserName()));
}

void TfrmMain::RestoreBounds() {
  const int w = global_->width[CMyGlobal::kMainWindow] > 0 ? global_->width[CMyGlobal::kMainWindow] : 462;
  const int h = global_->height[CMyGlobal::kMainWindow] > 0 ? global_->height[CMyGlobal::kMainWindow] : 600;
  QRect want(global_->left[CMyGlobal::kMainWindow], global_->top[CMyGlobal::kMainWindow], w, h);
  // A window stored on a monitor that is gone would open out of reach.
  if (QScreen* s = QApplication::primaryScreen()) {
    QRect avail = s->availableGeometry();
    if (!avail.intersects(want)) want.moveTopLeft(avail.topLeft());
  }
  setGeometry(want);
}

void TfrmMain::FormShow() {
  if (!started_) {
    // nothing to show: a cancelled first run ends the program
    QTimer::singleShot(0, this, &QWidget::close);
    return;
  }
  firstShow_ = true;
}

void TfrmMain::FormCloseQuery() {
  if (!created_ || !started_) return;
  CMyGlobal& g = *global_;
  const QRect r = geometry();
  if (btn_WinW->isChecked()) {
    int stored = g.left[CMyGlobal::kMainWindow];
    if (r.left() < stored - 100 || r.left() > stored + 50) g.left[CMyGlobal::kMainWindow] = r.left();
  } else {
    g.width[CMyGlobal::kMainWindow] = r.width();
    g.left[CMyGlobal::kMainWindow] = r.left();
  }
  g.top[CMyGlobal::kMainWindow] = r.top();
  g.height[CMyGlobal::kMainWindow] = r.height();
  g.autoWidth = btn_WinW->isChecked();
  g.scrVisible = !panel_Scr->isHidden();
  g.WriteSettings(true);
}

void TfrmMain::FormClose() {
  if (closed_) return;
  closed_ = true;
  // reverse order of creation
  lines_.reset();
  public_.reset();
  global_.reset();
}

void TfrmMain::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!firstShow_) FormShow();
}

void TfrmMain::closeEvent(QCloseEvent* e) {
  FormCloseQuery();
  e->accept();
}

void TfrmMain::mnu_FileUserClick() {
  if (!global_) return;
  std::string before = global_->UserName();
  TfrmNewUser dlg(*global_, *env_.prompter, this);
  dlg.SetName(FromSj(before));
  if (!env_.runNewUser(dlg) || global_->UserName() == before) return;
  statusBar()->showMessage(FromSj(global_->UserName()));
}
