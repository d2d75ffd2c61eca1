#include "mainview/TfrmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "alarm/CMyAlarm.h"
#include "calendar/HolidayCalendar.h"
#include "catalogue/CMyMaster.h"
#include "catalogue/DivisionCommands.h"
#include "catalogue/ListRecovery.h"
#include "catalogue/TfrmHanyoData.h"
#include "catalogue/TfrmNewDiv.h"
#include "catalogue/TfrmNewScr.h"
#include "mainview/CMyView.h"
#include "mainview/CalendarPort.h"
#include "mainview/RecordSetPort.h"
#include "mainview/ScreenPorts.h"
#include "mainview/SheetPainter.h"
#include "options/CMyColorKinds.h"
#include "options/TfrmSetColor.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "qtkit/QtCanvas.h"
#include "qtkit/QtText.h"
#include "screens/CMyScr.h"
#include "screens/InputHeader.h"
#include "shell/CMyGlobal.h"
#include "shell/CMyPublic.h"
#include "shell/CivilDays.h"
#include "shell/TfrmNewUser.h"
#include "shell/UserName.h"
#include "store/CMyDB.h"
#include "store/CMyLine.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"

namespace {

// The view reaches the division's data files through the periods.
class PeriodsPort : public ViewPeriods {
 public:
  PeriodsPort(CMyPeriods& periods, CMyMaster& divout) : periods_(periods), divout_(divout) {}
  int LoadPeriods(const std::string& from, const std::string& to) override {
    return periods_.LoadPeriods(from, to);
  }
  void SavePeriod(const std::string& period) override { periods_.SavePeriod(period); }
  std::string LatestKey() const override { return divout_.HeaderText(); }

 private:
  CMyPeriods& periods_;
  CMyMaster& divout_;
};

}  // namespace

TfrmMain::TfrmMain(MainEnvironment env, QWidget* parent) : QMainWindow(parent), env_(std::move(env)) {
  setObjectName("frmMain");
  if (!env_.runNewUser)
    env_.runNewUser = [](TfrmNewUser& dlg) {
      dlg.exec();
      return dlg.Result();
    };
  if (!env_.runNewDiv)
    env_.runNewDiv = [this](int mode) {
      int packageId = 0;
      jsc::Header header;
      if (mode == 1 && jsc::ReadHeader(global_->DivisionPath("scrin.jsc"), header) == 0)
        packageId = header.packageId;
      TfrmNewDiv dlg(mode, *global_, *tables_[0], *env_.prompter, env_.beeper, packageId, this);
      return dlg.exec() == QDialog::Accepted ? 1 : 0;
    };
  if (!env_.runNewDivIn)
    env_.runNewDivIn = [this] {
      TfrmNewDivIn dlg(*global_, *env_.prompter, this);
      return dlg.exec() == QDialog::Accepted ? 1 : 0;
    };
  if (!env_.runNewScr)
    env_.runNewScr = [this](int mode, int index) {
      TfrmNewScr dlg(mode, index, *global_, *tables_[1], *env_.prompter, env_.beeper, this);
      return dlg.exec() == QDialog::Accepted ? 1 : 0;
    };
  BuildWidgets();
  BuildMenus();
}

TfrmMain::~TfrmMain() { FormClose(); }

QIcon TfrmMain::DayIcon(int day) {
  // a leaf of a desk calendar showing the day, so the task bar shows the date
  QIcon icon;
  for (int size : {16, 32, 48, 64}) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal r = size / 8.0;
    p.setPen(QPen(QColor(0x8a, 0x6d, 0x3b), size / 16.0 + 0.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(1, 1, size - 2, size - 2), r, r);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc0, 0x30, 0x30));
    p.drawRect(QRectF(1.5, 1.5, size - 3, size * 0.28));
    QFont f(QStringLiteral("IPAGothic"));
    f.setPixelSize(static_cast<int>(size * 0.58));
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x33, 0x33, 0x33));
    p.drawText(QRectF(0, size * 0.28, size, size * 0.72), Qt::AlignCenter, QString::number(day));
    icon.addPixmap(pm);
  }
  return icon;
}

QString TfrmMain::CaptionFor(CivilDate today) {
  static const char* kDays[7] = {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"};
  return QString::asprintf("ひとこと(%04d年%02d月%02d日 %s)", today.year, today.month, today.day,
                           kDays[civil::Weekday(today) - 1]);
}

void TfrmMain::BuildWidgets() {
  auto* central = new QWidget(this);
  auto* top = new QVBoxLayout(central);
  top->setContentsMargins(2, 2, 2, 0);
  top->setSpacing(2);

  auto* bar = new QHBoxLayout;
  tbt_Left = new QToolButton(this);
  tbt_Left->setObjectName("tbt_Left");
  tbt_Left->setArrowType(Qt::LeftArrow);
  tbt_Left->setToolTip(QStringLiteral("前月に移動"));
  lbl_YYYYMM = new QPushButton(this);
  lbl_YYYYMM->setObjectName("lbl_YYYYMM");
  lbl_YYYYMM->setFlat(true);
  lbl_YYYYMM->setToolTip(QStringLiteral("今日に戻る"));
  QFont big = lbl_YYYYMM->font();
  big.setPointSize(big.pointSize() + 4);
  big.setBold(true);
  lbl_YYYYMM->setFont(big);
  tbt_Right = new QToolButton(this);
  tbt_Right->setObjectName("tbt_Right");
  tbt_Right->setArrowType(Qt::RightArrow);
  tbt_Right->setToolTip(QStringLiteral("翌月に移動"));
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
    cmd_Palette[i]->setObjectName(QStringLiteral("cmd_Palette%1").arg(i + 1));
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
  scr_Right = new QScrollBar(Qt::Vertical, this);
  scr_Right->setObjectName("scr_Right");
  scr_Bottom = new QScrollBar(Qt::Horizontal, this);
  scr_Bottom->setObjectName("scr_Bottom");
  grid->addWidget(paiMain, 0, 0);
  grid->addWidget(scr_Right, 0, 1);
  grid->addWidget(scr_Bottom, 1, 0);
  top->addLayout(grid, 1);

  // The key receiver: always focused, takes no part in scrolling.
  scr_Key = new QScrollBar(Qt::Horizontal, this);
  scr_Key->setObjectName("scr_Key");
  scr_Key->setFixedSize(1, 1);
  scr_Key->setFocusPolicy(Qt::StrongFocus);
  scr_Key->installEventFilter(this);

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

  connect(tbt_Left, &QToolButton::clicked, this, &TfrmMain::tbt_LeftClick);
  connect(tbt_Right, &QToolButton::clicked, this, &TfrmMain::tbt_RightClick);
  connect(lbl_YYYYMM, &QPushButton::clicked, this, &TfrmMain::lbl_YYYYMMClick);
  connect(cmd_ModeMM, &QToolButton::clicked, this, &TfrmMain::cmd_ModeMMClick);
  connect(cmd_ModePickout, &QToolButton::clicked, this, &TfrmMain::cmd_ModePickoutClick);
  connect(btn_WinW, &QToolButton::clicked, this, &TfrmMain::btn_WinWClick);
  connect(tab_Div, &QTabBar::currentChanged, this, &TfrmMain::tab_DivChange);
  connect(tab_Scr, &QTabBar::currentChanged, this, &TfrmMain::tab_ScrChange);
  connect(scr_Right, &QScrollBar::valueChanged, this, [this](int v) {
    if (updating_ || !view_) return;
    view_->SetTop(v);
    paiMain->update();
  });
  connect(scr_Bottom, &QScrollBar::valueChanged, this, [this](int) {
    if (!updating_) paiMain->update();
  });
}

void TfrmMain::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  QAction* user = file->addAction(QStringLiteral("ユーザー新規・読み込み(&U)..."));
  user->setObjectName("mnu_FileUser");
  connect(user, &QAction::triggered, this, &TfrmMain::mnu_FileUserClick);
  file->addSeparator();
  QAction* newDiv = file->addAction(QStringLiteral("新規分類作成(&N)..."));
  newDiv->setObjectName("mnuFileNewDiv");
  connect(newDiv, &QAction::triggered, this, &TfrmMain::mnuFileNewDivClick);
  auto add = [&](const char* caption, const char* name, void (TfrmMain::*slot)()) {
    QAction* a = file->addAction(QString::fromUtf8(caption));
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, slot);
  };
  add("分類の再インストール...", "mnu_FileUpDiv", &TfrmMain::mnu_FileUpDivClick);
  add("分類名の変更(&R)...", "mnuFileChgDiv", &TfrmMain::mnuFileChgDivClick);
  add("分類の削除(&D)", "mnuFileDelDiv", &TfrmMain::mnuFileDelDivClick);
  add("分類を左へ移動", "mnuFileDivMoveUp", &TfrmMain::mnuFileDivMoveUpClick);
  add("分類を右へ移動", "mnuFileDivMoveDown", &TfrmMain::mnuFileDivMoveDownClick);
  file->addSeparator();
  add("表示画面の追加(&A)...", "mnuFileNewScr", &TfrmMain::mnuFileNewScrClick);
  add("表示画面名の変更...", "mnuFileChgScr", &TfrmMain::mnuFileChgScrClick);
  add("表示画面の削除", "mnuFileDelScr", &TfrmMain::mnuFileDelScrClick);
  add("表示画面を左へ移動", "mnuFileScrMoveLeft", &TfrmMain::mnuFileScrMoveLeftClick);
  add("表示画面を右へ移動", "mnuFileScrMoveRight", &TfrmMain::mnuFileScrMoveRightClick);
  file->addSeparator();
  add("色設定(&C)...", "mnuFileColor", &TfrmMain::mnuFileColorClick);
  file->addSeparator();
  QAction* quit = file->addAction(QStringLiteral("終了(&X)"));
  quit->setObjectName("mnuFileExit");
  connect(quit, &QAction::triggered, this, &QWidget::close);
  QMenu* sel = menuBar()->addMenu(QStringLiteral("検索(&S)"));
  sel->setObjectName("mnuSel");
  QAction* prevYear = sel->addAction(QStringLiteral("１年前に移動"));
  prevYear->setObjectName("mnuSelMovePrevNen");
  connect(prevYear, &QAction::triggered, this, &TfrmMain::mnuSelMovePrevNenClick);
  QAction* nextYear = sel->addAction(QStringLiteral("１年後に移動"));
  nextYear->setObjectName("mnuSelMoveNextNen");
  connect(nextYear, &QAction::triggered, this, &TfrmMain::mnuSelMoveNextNenClick);
  connect(sel, &QMenu::aboutToShow, this, [this, prevYear, nextYear] {
    bool on = view_ && view_->DataKind() == CMyView::kDateKind && view_->DisplayMode() == CMyView::kSheetMode;
    prevYear->setEnabled(on);
    nextYear->setEnabled(on);
  });
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
  if (!env_.dataRoot.empty()) global_->UseDataRoot(env_.dataRoot);
  public_ = std::make_unique<CMyPublic>(*env_.clock);
  db_ = std::make_unique<CMyDB>(env_.prompter);
  rec_ = std::make_unique<CMyRec>(db_.get());
  rec2_ = std::make_unique<CMyRec>(db_.get());
  lines_ = std::make_unique<CMyLine>(2048, env_.prompter);
  DefineMemoSchema(*db_);
  viewRecords_ = std::make_unique<RecordSetPort>(*db_, *rec_);
  calendar_ = std::make_unique<HolidayCalendar>(global_->RootPath("holiday.dat"),
                                                global_->RootPath("kinen.dat"), global_->ProgramFolder());
  viewCalendar_ = std::make_unique<CalendarPort>(*calendar_);
  static const char* kTables[5] = {"USER", "DIVIN", "DIVOUT", "COLOR", "RELATION"};
  for (int i = 0; i < 5; ++i) tables_[i] = std::make_unique<CMyMaster>(kTables[i], env_.prompter);
  alarm_ = std::make_unique<CMyAlarm>(*global_, *env_.clock, env_.prompter);
  periods_ = std::make_unique<CMyPeriods>(*global_, *db_, *rec2_, *tables_[2], *env_.prompter);
  viewPeriods_ = std::make_unique<PeriodsPort>(*periods_, *tables_[2]);
  view_ = std::make_unique<CMyView>(*viewRecords_, *viewCalendar_, *viewPeriods_, *env_.prompter,
                                    *env_.beeper, *env_.clock);
  scr_ = std::make_unique<CMyScr>();
  rowSource_ = std::make_unique<RecordRowSource>(*db_, *rec_);
  sheetScreen_ = std::make_unique<ScrSheetScreen>(*scr_, *rowSource_, *view_);
  painter_ = std::make_unique<SheetPainter>(*view_, *sheetScreen_);
  if (!screenLoader_) screenLoader_ = std::make_unique<JosScreenLoader>(*scr_, *db_);
  if (env_.sheetHeight > 0) SetSheetHeight(env_.sheetHeight);
  created_ = true;

  global_->ReadSettings(true);
  if (!env_.user.empty()) global_->SetUserName(env_.user);

  if (global_->UserName().empty()) {
    TfrmNewUser dlg(*global_, *env_.prompter, this);
    dlg.SetName(QStringLiteral("新規ユーザー"));
    if (!env_.runNewUser(dlg)) {
      global_->UndoFirstRun();  // a cancelled first run leaves nothing behind
      return;                   // FormShow closes the window
    }
  }
  fileops::MakeDirs(global_->UserPath(""));
  (void)listrecovery::LoadDivisionList(*global_, *tables_[0], *env_.prompter, *env_.clock);
  if (OpenDivision(9, 0) != 0) return;

  RestoreBounds();
  btn_WinW->setChecked(global_->autoWidth);
  if (global_->autoWidth) FitWidth(false);
  panel_Scr->setVisible(global_->scrVisible);
  CivilDate today = global_->Today();
  setWindowTitle(CaptionFor(today));
  setWindowIcon(DayIcon(today.day));
  alarm_->Load(global_->UserPath("alarm.dat"));
  lastDay_ = env_.clock->Today().Ymd();
  // the one-second tick that raises due alarms and follows the change of date
  auto* timer = new QTimer(this);
  connect(timer, &QTimer::timeout, this, &TfrmMain::TimerTick);
  timer->start(1000);
  lbl_YYYYMMClick();
}

void TfrmMain::AlarmHook::RemoveDivision(const std::string& d) { w->alarm_->RemoveDivision(d); }
void TfrmMain::AlarmHook::RenameDivision(const std::string& a, const std::string& b) {
  w->alarm_->RenameDivision(a, b);
}

void TfrmMain::TimerTick() {
  if (!alarm_) return;
  int i = alarm_->CheckDue(false);
  if (i >= 0) {
    const AlarmEntry& e = alarm_->Item(i);
    if (global_->alarmMsg) {
      env_.prompter->Show(e.message, "お知らせ("_sj + e.time + ")", PromptIcon::Information,
                          PromptButtons::Ok);
    } else if (env_.beeper) {
      env_.beeper->Beep();
    }
  }
  const int today = env_.clock->Today().Ymd();
  if (today != lastDay_) {
    lastDay_ = today;
    alarm_->RefreshToday();
    setWindowTitle(CaptionFor(env_.clock->Today()));
    setWindowIcon(DayIcon(env_.clock->Today().day));
  }
}

bool TfrmMain::StartsInTray() const {
  if (!global_ || !global_->task) return false;
  return !env_.arguments.isEmpty() && env_.arguments.first().toLower() == QStringLiteral("-c");
}

void TfrmMain::SetScreenLoader(std::unique_ptr<ScreenLoader> loader) { screenLoader_ = std::move(loader); }

int TfrmMain::ReadInputHeader(int& kind) const {
  jsc::Header header;
  const int rc = jsc::ReadHeader(global_->DivisionPath("scrin.jsc"), header);
  if (rc == 0) kind = header.dataKind;
  return rc;
}

void TfrmMain::RebuildDivisionTabs(int select) {
  updating_ = true;
  while (tab_Div->count() > 0) tab_Div->removeTab(0);
  for (int i = 0; i < tables_[0]->RecordCount(); ++i) tab_Div->addTab(FromSj(tables_[0]->Name(i)));
  tab_Div->setCurrentIndex(select);
  updating_ = false;
}

void TfrmMain::RebuildScreenTabs(int select) {
  updating_ = true;
  while (tab_Scr->count() > 0) tab_Scr->removeTab(0);
  for (int i = 0; i < tables_[1]->RecordCount(); ++i) tab_Scr->addTab(FromSj(tables_[1]->Name(i)));
  tab_Scr->setCurrentIndex(select);
  updating_ = false;
}

int TfrmMain::OpenDivision(int mode, int index) {
  Prompter& p = *env_.prompter;
  CMyMaster& users = *tables_[0];
  const std::string previousFolder = global_->DivisionFolder();
  bool rebuildTabs = false;
  bool created = false;
  if (users.Record(index) && mode != 1) {
    global_->SetDivisionFolder(users.Name(index));
    if (mode == 8 || mode == 9) rebuildTabs = true;
  } else {
    if (!env_.runNewDiv || env_.runNewDiv(0) != 1) return 1;
    if (users.RecordCount() == 0) {
      p.Warn("分類登録に失敗しました。"_sj);
      return -1;
    }
    index = users.RecordCount() - 1;
    global_->SetDivisionFolder(users.Name(index));
    created = true;
    rebuildTabs = true;
  }
  auto undo = [&] {
    if (created) users.Delete(users.RecordCount() - 1);
    global_->SetDivisionFolder(previousFolder);
  };

  int kind = 0;
  int header = ReadInputHeader(kind);
  if (header < 0) {
    p.Warn("ヘッダーのサイズが異なります。"_sj);
  }
  if (header != 0) {
    if (!env_.runNewDivIn || env_.runNewDivIn() != 1) {
      undo();
      return -1;
    }
    header = ReadInputHeader(kind);
    if (header == 1) {
      p.Warn("読込に失敗しました。"_sj);
      undo();
      return -1;
    }
    if (header < 0) {
      p.Warn("ヘッダーのサイズが異なります。"_sj);
      undo();
      return -1;
    }
  }
  global_->dataKind = kind;
  dataKind_ = kind;

  (void)listrecovery::LoadScreenList(*global_, *tables_[1], *env_.prompter, *env_.clock);
  if (OpenScreen(1, 9, 0) != 0) {
    undo();
    return -1;
  }
  if (rebuildTabs) {
    if (users.Write(global_->UserPath("jbxuser.jpr")) < 0) p.Warn("ユーザー情報書込に失敗しました。"_sj);
    RebuildDivisionTabs(index);
  }
  // a missing or damaged list is rebuilt from the data files, never left empty
  if (periods_->LoadTable() < 0) p.Warn("期間の一覧を読み込めませんでした。"_sj);
  db_->ClearRecords();
  rec_->Reset();
  view_->SetDataKind(dataKind_);
  view_->ReloadView();
  divIndex_ = index;
  RefreshPaletteButtons();
  const std::string& filter = view_->Screen().filter;
  if (!filter.empty() && filter[0] == '=') {
    if (!started_) p.Warn("起動直後の自動抽出は行えません。"_sj);
  }
  started_ = true;
  return 0;
}

int TfrmMain::OpenScreen(int quiet, int mode, int index) {
  Prompter& p = *env_.prompter;
  CMyMaster& screens = *tables_[1];
  bool rebuild = mode == 9;
  if (!screens.Record(index) || mode == 1) {
    if (!env_.runNewScr || env_.runNewScr(0, -1) != 1) return -1;
    if (screens.RecordCount() == 0) {
      p.Warn("表示画面の取得に失敗しました。"_sj);
      return -1;
    }
    index = screens.RecordCount() - 1;
    rebuild = true;
  }
  while (!LoadScreenDefinition(index)) {
    if (!env_.runNewScr || env_.runNewScr(1, index) != 1) {
      updating_ = true;
      tab_Scr->setCurrentIndex(scrIndex_);
      updating_ = false;
      return -1;
    }
  }
  if (rebuild) {
    if (screens.Write(global_->DivisionPath("divin.jpr")) < 0) p.Warn("画面情報書込に失敗しました。"_sj);
    RebuildScreenTabs(index);
  }
  scrIndex_ = index;
  if (quiet) return 0;
  view_->SetExtraction(false, {}, {});
  view_->ReloadView();
  view_->RebuildRows();
  view_->MoveCursorTo(view_->CursorRow());
  AfterViewChange();
  return 0;
}

bool TfrmMain::LoadScreenDefinition(int index) {
  Prompter& p = *env_.prompter;
  if (!tables_[1]->Record(index)) {
    p.Warn("存在しない分類を選択しました。"_sj);
    return false;
  }
  std::string path = global_->DivisionPath(tables_[1]->Name(index), ".jos");
  ViewScreen screen;
  int rc = screenLoader_->Load(path, screen);
  if (rc == -2) {
    p.Warn("表示画面のバージョンが古いです。"_sj);
    return false;
  }
  if (rc == -3) {
    p.Warn("表示画面のバージョンが新しいです。"_sj);
    return false;
  }
  if (rc != 0) {
    p.Warn("読込に失敗しました。<<"_sj + path + ">>");
    return false;
  }
  view_->SetScreen(screen);
  cmd_ModePickout->setChecked(screen.displayMode == CMyView::kListMode);
  cmd_ModeMM->setChecked(screen.displayMode != CMyView::kListMode);
  return true;
}

void TfrmMain::tab_DivChange(int index) {
  if (updating_ || index < 0 || !created_) return;
  if (OpenDivision(0, index) != 0) {
    int first = 0;
    updating_ = true;
    tab_Div->setCurrentIndex(first);
    updating_ = false;
    OpenDivision(0, first);
  }
  if (btn_WinW->isChecked()) FitWidth(true);
  view_->GoToday();
  AfterViewChange();
  scr_Key->setFocus();
}

void TfrmMain::tab_ScrChange(int index) {
  if (updating_ || index < 0 || !created_) return;
  int previous = scrIndex_;
  if (OpenScreen(0, 0, index) != 0) {
    updating_ = true;
    tab_Scr->setCurrentIndex(previous);
    updating_ = false;
    OpenScreen(0, 0, previous);
  }
  view_->MoveCursorTo(view_->CursorRow());
  AfterViewChange();
  scr_Key->setFocus();
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
  scr_Key->setFocus();
}

void TfrmMain::FormCloseQuery() {
  if (!created_ || !started_) return;
  alarm_->Save(global_->UserPath("alarm.dat"));
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
  g.task = inTray_;
  g.autoWidth = btn_WinW->isChecked();
  g.scrVisible = !panel_Scr->isHidden();
  g.WriteSettings(true);
}

void TfrmMain::FormClose() {
  if (closed_) return;
  closed_ = true;
  created_ = false;  // late widget events find nothing to act on
  started_ = false;
  // reverse order of creation
  painter_.reset();
  sheetScreen_.reset();
  rowSource_.reset();
  view_.reset();
  scr_.reset();
  viewPeriods_.reset();
  periods_.reset();
  alarm_.reset();
  for (int i = 9; i >= 0; --i) tables_[i].reset();
  viewCalendar_.reset();
  calendar_.reset();
  viewRecords_.reset();
  lines_.reset();
  rec2_.reset();
  rec_.reset();
  db_.reset();
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
  const std::string before = global_->UserName();
  const std::string beforeDivision = global_->DivisionFolder();
  const int beforeIndex = divIndex_;
  alarm_->Save(global_->UserPath("alarm.dat"));
  TfrmNewUser dlg(*global_, *env_.prompter, this);
  dlg.SetName(FromSj(before));
  if (!env_.runNewUser(dlg) || global_->UserName() == before) return;
  (void)listrecovery::LoadDivisionList(*global_, *tables_[0], *env_.prompter, *env_.clock);
  alarm_->Load(global_->UserPath("alarm.dat"));
  if (OpenDivision(8, 0) == 0) {
    view_->GoToday();
    AfterViewChange();
    return;
  }
  // the new user has no book yet and none was made: back to the one before,
  // and the new user's empty folder goes (jotbox.ini names the old one again)
  const std::string abandoned = global_->UserName();
  global_->SetUserName(before);
  (void)username::Abandon(*global_, abandoned);
  global_->SetDivisionFolder(beforeDivision);
  (void)listrecovery::LoadDivisionList(*global_, *tables_[0], *env_.prompter, *env_.clock);
  alarm_->Load(global_->UserPath("alarm.dat"));
  RebuildDivisionTabs(beforeIndex);
  OpenDivision(0, beforeIndex);
  view_->GoToday();
  AfterViewChange();
}

void TfrmMain::mnuFileNewDivClick() {
  if (!started_) return;
  if (OpenDivision(1, tables_[0]->RecordCount()) != 0) OpenDivision(0, 0);
  view_->GoToday();
  AfterViewChange();
}

std::string TfrmMain::AskName(int mode, const std::string& current) {
  TfrmHanyoData dlg(mode, FromSj(current), *env_.prompter, env_.beeper, this);
  if (env_.runName) return env_.runName(dlg);
  return dlg.exec() == QDialog::Accepted ? dlg.TextSj() : std::string();
}

void TfrmMain::mnuFileDelDivClick() {
  if (!started_) return;
  if (divisioncommands::DeleteDivision(*global_, *tables_[0], *env_.prompter, tab_Div->currentIndex(),
                                       &alarmHook_) != 0)
    return;
  RebuildDivisionTabs(0);
  OpenDivision(0, 0);
  view_->GoToday();
  AfterViewChange();
}

void TfrmMain::mnuFileChgDivClick() {
  if (!started_) return;
  const int index = tab_Div->currentIndex();
  if (!tables_[0]->Record(index)) {
    env_.prompter->Warn("分類を選択して下さい。"_sj);
    return;
  }
  std::string name = AskName(0, tables_[0]->Name(index));
  if (name.empty()) return;
  if (divisioncommands::RenameDivision(*global_, *tables_[0], *env_.prompter, index, name, &alarmHook_) == 0)
    tab_Div->setTabText(index, FromSj(name));
}

void TfrmMain::MoveDivisionTab(int direction) {
  if (!started_) return;
  const int index = tab_Div->currentIndex();
  if (divisioncommands::MoveDivision(*global_, *tables_[0], *env_.prompter, *env_.beeper, index, direction) !=
      0)
    return;
  divIndex_ = index + direction;
  RebuildDivisionTabs(divIndex_);
}

void TfrmMain::mnuFileDivMoveUpClick() { MoveDivisionTab(-1); }
void TfrmMain::mnuFileDivMoveDownClick() { MoveDivisionTab(1); }

void TfrmMain::mnuFileDelScrClick() {
  if (!started_) return;
  if (divisioncommands::DeleteScreen(*global_, *tables_[1], *env_.prompter, tab_Scr->currentIndex()) != 0)
    return;
  RebuildScreenTabs(0);
  OpenScreen(0, 0, 0);
}

void TfrmMain::mnuFileChgScrClick() {
  if (!started_) return;
  const int index = tab_Scr->currentIndex();
  if (!tables_[1]->Record(index)) {
    env_.prompter->Warn("表示画面を選択して下さい。"_sj);
    return;
  }
  std::string name = AskName(1, tables_[1]->Name(index));
  if (name.empty()) return;
  if (divisioncommands::RenameScreen(*global_, *tables_[1], *env_.prompter, index, name) == 0)
    tab_Scr->setTabText(index, FromSj(name));
}

void TfrmMain::MoveScreenTab(int direction) {
  if (!started_) return;
  const int index = tab_Scr->currentIndex();
  if (divisioncommands::MoveScreen(*global_, *tables_[1], *env_.prompter, *env_.beeper, index, direction) !=
      0)
    return;
  scrIndex_ = index + direction;
  RebuildScreenTabs(scrIndex_);
}

void TfrmMain::mnuFileScrMoveLeftClick() { MoveScreenTab(-1); }
void TfrmMain::mnuFileScrMoveRightClick() { MoveScreenTab(1); }

void TfrmMain::mnu_FileUpDivClick() {
  if (!started_) return;
  if (env_.runNewDiv(1) != 1) return;
  if (OpenDivision(0, tab_Div->currentIndex()) != 0) OpenDivision(0, 0);
  view_->GoToday();
  AfterViewChange();
}

void TfrmMain::mnuFileNewScrClick() {
  if (!started_) return;
  const int before = scrIndex_;
  if (OpenScreen(0, 1, tables_[1]->RecordCount()) != 0) OpenScreen(0, 0, before);
}

void TfrmMain::RefreshPaletteButtons() {
  CMyMaster& colors = *tables_[3];
  if (colors.Read(global_->DivisionPath("color.dat")) != 0) colors.Init("COLOR");
  CMyColorKinds kinds(colors, *env_.prompter, *env_.beeper);
  for (int b = 1; b <= 3; ++b) {
    QToolButton* button = cmd_Palette[b - 1];
    int k = kinds.PaletteKind(b);
    if (k < 0) {
      button->setStyleSheet(QString());
      button->setToolTip(QStringLiteral("カラーパレット%1").arg(b));
      continue;
    }
    ColorKind kind = kinds.Get(k);
    auto css = [](int c) {
      return QStringLiteral("#%1%2%3")
          .arg(c & 0xFF, 2, 16, QLatin1Char('0'))
          .arg((c >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
          .arg((c >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
    };
    // a colour the kind does not use shows as black text on white
    button->setStyleSheet(QStringLiteral("QToolButton { color: %1; background: %2; border: 1px solid #888; }")
                              .arg(kind.useText ? css(kind.textColor) : QStringLiteral("#000000"))
                              .arg(kind.useBack ? css(kind.backColor) : QStringLiteral("#ffffff")));
    button->setToolTip(FromSj(kind.name));
  }
}

void TfrmMain::mnuFileColorClick() {
  if (!started_) return;
  CMyMaster& colors = *tables_[3];
  if (colors.Read(global_->DivisionPath("color.dat")) != 0) colors.Init("COLOR");
  CMyColorKinds kinds(colors, *env_.prompter, *env_.beeper);
  TfrmSetColor dlg(kinds, *env_.prompter, *env_.beeper, this);
  if (env_.runSetColor) {
    env_.runSetColor(dlg);
  } else {
    dlg.exec();
  }
  if (kinds.SaveIfChanged(global_->DivisionPath("color.dat")) < 0)
    env_.prompter->Warn("保存に失敗しました。"_sj);
  RefreshPaletteButtons();
}

void TfrmMain::btn_WinWClick() {
  CMyGlobal& g = *global_;
  if (!btn_WinW->isChecked()) {
    setGeometry(g.left[CMyGlobal::kMainWindow], y(), g.width[CMyGlobal::kMainWindow], height());
    return;
  }
  g.left[CMyGlobal::kMainWindow] = x();
  g.width[CMyGlobal::kMainWindow] = width();
  FitWidth(false);
}

void TfrmMain::FitWidth(bool alsoNarrower) {
  const ViewScreen& vs = view_->Screen();
  const int sheet = std::max(vs.keyAreaWidth[0], vs.keyAreaWidth[1]) + vs.fieldAreaWidth;
  // the window's frame around the sheet: scroll bar, margins
  const int need = sheet + (width() - paiMain->width()) + 4;
  if (width() >= need && !alsoNarrower) return;
  QScreen* screen = this->screen();
  const int screenW = screen ? screen->availableGeometry().width() : need;
  int left = x();
  if (screenW - left - width() < left) left = x() + width() - need;  // keep the right edge
  left = std::max(0, std::min(left, screenW - need));
  setGeometry(left, y(), need, height());
}

void TfrmMain::AfterViewChange() {
  if (!view_) return;
  lbl_YYYYMM->setText(FromSj(view_->Label()));
  statusPanel0->setText(FromSj(view_->StatusText()));
  UpdateScrollBars();
  paiMain->update();
}

void TfrmMain::UpdateScrollBars() {
  updating_ = true;
  int rows = view_->RowCount();
  scr_Right->setRange(0, rows > 0 ? rows - 1 : 0);
  scr_Right->setPageStep(std::max(1, view_->LastVisibleRow() - view_->TopRow() + 1));
  scr_Right->setValue(view_->TopRow());
  const ViewScreen& sc = view_->Screen();
  int full =
      std::max(sc.keyAreaWidth[view_->DisplayMode() == CMyView::kListMode ? 1 : 0], 0) + sc.fieldAreaWidth;
  int visible = paiMain->width();
  if (visible > 0 && visible < full) {
    scr_Bottom->setEnabled(true);
    scr_Bottom->setRange(0, full - visible);
    scr_Bottom->setPageStep(visible);
  } else {
    scr_Bottom->setRange(0, 0);
    scr_Bottom->setEnabled(false);
  }
  updating_ = false;
}

void TfrmMain::tbt_LeftClick() {
  if (!view_) return;
  view_->StepPeriod(-1);
  AfterViewChange();
}

void TfrmMain::tbt_RightClick() {
  if (!view_) return;
  view_->StepPeriod(1);
  AfterViewChange();
}

void TfrmMain::lbl_YYYYMMClick() {
  if (!view_) return;
  view_->GoToday();
  AfterViewChange();
}

void TfrmMain::cmd_ModeMMClick() {
  if (!view_) return;
  view_->SetDisplayMode(CMyView::kSheetMode);
  AfterViewChange();
}

void TfrmMain::cmd_ModePickoutClick() {
  if (!view_) return;
  view_->SetDisplayMode(CMyView::kListMode);
  AfterViewChange();
}

void TfrmMain::mnuSelMovePrevNenClick() {
  if (!view_) return;
  view_->MoveYear(-1);
  AfterViewChange();
}

void TfrmMain::mnuSelMoveNextNenClick() {
  if (!view_) return;
  view_->MoveYear(1);
  AfterViewChange();
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (view_ && watched == scr_Key && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
      case Qt::Key_Left:
        tbt_LeftClick();
        return true;
      case Qt::Key_Right:
        tbt_RightClick();
        return true;
      case Qt::Key_Home:
        lbl_YYYYMMClick();
        return true;
      case Qt::Key_Up:
        view_->KeyUp();
        AfterViewChange();
        return true;
      case Qt::Key_Down:
        view_->KeyDown();
        AfterViewChange();
        return true;
      case Qt::Key_PageDown:
        view_->KeyPageDown();
        AfterViewChange();
        return true;
      case Qt::Key_PageUp:
        view_->KeyPageUp();
        AfterViewChange();
        return true;
      default:
        break;
    }
  }
  if (view_ && watched == paiMain && event->type() == QEvent::Resize) {
    SetSheetHeight(paiMain->height());
    UpdateScrollBars();
  }
  if (view_ && watched == paiMain && event->type() == QEvent::Paint) {
    paiMainPaint();
    return true;
  }
  if (view_ && watched == paiMain && event->type() == QEvent::MouseButtonPress) {
    paiMainMouseDown(static_cast<QMouseEvent*>(event)->position().toPoint().y());
    return true;
  }
  if (view_ && watched == paiMain && event->type() == QEvent::Wheel) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    view_->Wheel(wheel->angleDelta().y() < 0 ? 1 : -1);
    AfterViewChange();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::SetSheetHeight(int pixels) {
  if (view_ && scr_) view_->SetViewHeight(scr_->ToLogical(1, pixels));
}

void TfrmMain::RenderOffscreen(int width, int h) {
  SetSheetHeight(h);
  view_->LayoutFromTop(view_->TopRow());
  // the whole sheet width is drawn off screen, then shown from the scroll position
  const ViewScreen& vs = view_->Screen();
  const int full = std::max(
      vs.keyAreaWidth[view_->DisplayMode() == CMyView::kListMode ? 1 : 0] + vs.fieldAreaWidth, width);
  if (offscreen_.width() < full || offscreen_.height() != h)
    offscreen_ = QImage(full, h, QImage::Format_RGB32);
  QPainter op(&offscreen_);
  QtCanvas canvas(op);
  painter_->RenderSheet(canvas, full, h);
}

QImage TfrmMain::RenderSheetImage(int width, int height) {
  QImage out(width, height, QImage::Format_RGB32);
  out.fill(Qt::white);
  if (!started_ || !painter_) return out;
  RenderOffscreen(width, height);
  QPainter p(&out);
  p.drawImage(QPoint(0, 0), offscreen_, QRect(0, 0, width, height));
  QtCanvas screen(p);
  painter_->DrawCursor(screen, view_->CursorRow(), 0);
  return out;
}

void TfrmMain::paiMainPaint() {
  QPainter p(paiMain);
  if (!started_ || !painter_) {
    p.fillRect(paiMain->rect(), Qt::white);
    return;
  }
  const int h = paiMain->height();
  RenderOffscreen(paiMain->width(), h);
  const int x = scr_Bottom->isEnabled() ? scr_Bottom->value() : 0;
  p.drawImage(QPoint(0, 0), offscreen_, QRect(x, 0, paiMain->width(), h));
  QtCanvas screen(p);
  painter_->DrawCursor(screen, view_->CursorRow(), x);
  UpdateRowStatus();
}

void TfrmMain::paiMainMouseDown(int y) {
  if (!painter_ || view_->RowCount() == 0) return;
  int row = painter_->RowAt(y);
  if (row < 0) return;
  view_->MoveCursorTo(row);
  paiMain->update();
}

void TfrmMain::UpdateRowStatus() {
  const auto& rows = view_->Rows();
  int r = view_->CursorRow();
  if (r < 0 || r >= static_cast<int>(rows.size())) {
    statusPanel1->clear();
    return;
  }
  const SheetRow& row = rows[static_cast<size_t>(r)];
  std::string holiday = row.holiday ? row.holiday->Name() : std::string();
  std::string anniversary = row.anniversary ? row.anniversary->Name() : std::string();
  int start = row.anniversary ? row.anniversary->startYear : 0;
  statusPanel1->setText(FromSj(view_->RowStatus(r, holiday, anniversary, start)));
}

void TfrmMain::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  if (width() < 200 || height() < 200) resize(std::max(width(), 200), std::max(height(), 200));
  if (view_) {
    SetSheetHeight(paiMain->height());
    UpdateScrollBars();
  }
}
