#include "alarm/TfrmAlarm.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "alarm/AlarmSettings.h"
#include "alarm/TfrmAlarmSet.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/QtForm.h"
#include "qtkit/QtText.h"
#include "qtkit/SjLineEdit.h"
#include "shell/CMyGlobal.h"

TfrmAlarm::TfrmAlarm(AlarmEditor& editor, CMyGlobal& settings, DialogRunner& dialogs, FileChooser& files,
                     Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      editor_(editor),
      settings_(settings),
      dialogs_(dialogs),
      files_(files),
      prompter_(prompter) {
  setObjectName("frmAlarm");
  setWindowTitle(QStringLiteral("アラーム設定"));

  lst_Main = new QListWidget(this);
  lst_Main->setAccessibleName(QStringLiteral("アラームの一覧"));
  lst_Main->setObjectName("lst_Main");
  QFont fixed(QStringLiteral("IPAGothic"));
  fixed.setStyleHint(QFont::Monospace);
  fixed.setFixedPitch(true);
  lst_Main->setFont(fixed);
  lst_Main->setMinimumSize(520, 240);

  auto box = [this](const char* name, int max, int width) {
    auto* e = new SjLineEdit(this);
    e->setObjectName(name);
    e->SetMaxBytes(max);
    e->SetPrompter(&prompter_);
    if (width > 0) e->setFixedWidth(width);
    e->installEventFilter(this);
    return e;
  };
  txt_YMD = box("txt_YMD", AlarmEditor::kMaxDate, 110);
  txt_Time = box("txt_Time", AlarmEditor::kMaxTime, 70);
  txt_Sc = box("txt_Sc", AlarmEditor::kMaxMessage, 0);
  for (SjLineEdit* e : {txt_YMD, txt_Time}) {
    e->SetInputMethodOn(false);
    e->SetHalfWidth(true);
  }

  cmd_Insert = qtform::Button(this, QStringLiteral("追加登録"), "cmd_Insert");
  cmd_Update = qtform::Button(this, QStringLiteral("更  新"), "cmd_Update");
  cmd_AlarmOnOff = qtform::Button(this, QStringLiteral("アラーム停止"), "cmd_AlarmOnOff");
  cmd_Delete = qtform::Button(this, QStringLiteral("削  除"), "cmd_Delete");
  cmd_DelAll = qtform::Button(this, QStringLiteral("使用済全削除"), "cmd_DelAll");
  cmd_DetailSet = qtform::Button(this, QStringLiteral("詳細設定"), "cmd_DetailSet");
  cmd_Close = qtform::Button(this, QStringLiteral("閉じる(&C)"), "cmd_Close");

  auto* fields = new QGridLayout;
  auto label = [this](const QString& text, QWidget* buddy) {
    auto* l = new QLabel(text, this);
    l->setBuddy(buddy);
    return l;
  };
  fields->addWidget(label(QStringLiteral("年月日"), txt_YMD), 0, 0);
  auto* when = new QHBoxLayout;
  when->addWidget(txt_YMD);
  when->addSpacing(12);
  when->addWidget(label(QStringLiteral("時間"), txt_Time));
  when->addWidget(txt_Time);
  when->addStretch(1);
  fields->addLayout(when, 0, 1);
  fields->addWidget(label(QStringLiteral("件名"), txt_Sc), 1, 0);
  fields->addWidget(txt_Sc, 1, 1);

  auto* edits = new QHBoxLayout;
  for (QPushButton* b : {cmd_Insert, cmd_Update, cmd_AlarmOnOff, cmd_Delete}) edits->addWidget(b);
  edits->addStretch(1);
  auto* others = new QHBoxLayout;
  others->addWidget(cmd_DelAll);
  others->addWidget(cmd_DetailSet);
  others->addStretch(1);
  others->addWidget(cmd_Close);

  auto* top = new QVBoxLayout(this);
  top->addWidget(lst_Main, 1);
  top->addLayout(fields);
  top->addLayout(edits);
  top->addLayout(others);

  // Enter moves on through the boxes
  connect(txt_YMD, &QLineEdit::returnPressed, this, [this] { qtform::MoveFocus(txt_Time); });
  connect(txt_Time, &QLineEdit::returnPressed, this, [this] { qtform::MoveFocus(txt_Sc); });
  connect(txt_Sc, &QLineEdit::returnPressed, this, [this] { qtform::MoveFocus(cmd_Insert); });
  connect(lst_Main, &QListWidget::itemDoubleClicked, this, [this] { lst_MainDblClick(); });
  new qtform::EnterRuns(lst_Main, [this] { lst_MainDblClick(); });
  connect(lst_Main, &QListWidget::itemClicked, this, [this] { lst_MainClick(); });
  connect(cmd_Insert, &QPushButton::clicked, this, [this] { cmd_InsertClick(); });
  connect(cmd_Update, &QPushButton::clicked, this, [this] { cmd_UpdateClick(); });
  connect(cmd_AlarmOnOff, &QPushButton::clicked, this, [this] { cmd_AlarmOnOffClick(); });
  connect(cmd_Delete, &QPushButton::clicked, this, [this] { cmd_DeleteClick(); });
  connect(cmd_DelAll, &QPushButton::clicked, this, [this] { cmd_DelAllClick(); });
  connect(cmd_DetailSet, &QPushButton::clicked, this, [this] { cmd_DetailSetClick(); });
  connect(cmd_Close, &QPushButton::clicked, this, &QDialog::accept);

  FillList();
  EditButtons(false);
  txt_YMD->setFocus();
}

void TfrmAlarm::FillList() {
  const int keep = lst_Main->currentRow();
  lst_Main->clear();
  for (const std::string& line : editor_.Lines()) lst_Main->addItem(FromSj(line));
  if (keep >= 0 && keep < lst_Main->count()) lst_Main->setCurrentRow(keep);
}

void TfrmAlarm::EditButtons(bool on) {
  cmd_Update->setEnabled(on);
  cmd_AlarmOnOff->setEnabled(on);
  cmd_Delete->setEnabled(on);
}

void TfrmAlarm::ClearBoxes() {
  txt_YMD->clear();
  txt_Time->clear();
  txt_Sc->clear();
}

void TfrmAlarm::lst_MainDblClick() {
  AlarmFields f;
  if (!editor_.Edit(lst_Main->currentRow(), f)) return;
  txt_YMD->SetTextSj(f.date);
  txt_Time->SetTextSj(f.time);
  txt_Sc->SetTextSj(f.message);
  cmd_AlarmOnOff->setText(editor_.EditingArmed() ? QStringLiteral("アラーム停止")
                                                 : QStringLiteral("アラーム開始"));
  EditButtons(true);
  txt_YMD->selectAll();
  txt_YMD->setFocus();
}

void TfrmAlarm::lst_MainClick() {
  if (lst_Main->currentRow() == editor_.Editing()) return;
  editor_.StopEditing();
  EditButtons(false);
}

bool TfrmAlarm::Exit(SjLineEdit* box, bool ok) {
  exitRefused_ = !ok;
  if (!ok) qtform::FocusLater(box);
  return ok;
}

bool TfrmAlarm::txt_YMDExit() {
  std::string t = txt_YMD->TextSj();
  const bool ok = editor_.LeaveDate(t);
  if (ok) txt_YMD->SetTextSj(t);
  return Exit(txt_YMD, ok);
}

bool TfrmAlarm::txt_TimeExit() {
  std::string t = txt_Time->TextSj();
  const bool ok = editor_.LeaveTime(t);
  if (ok) txt_Time->SetTextSj(t);
  return Exit(txt_Time, ok);
}

bool TfrmAlarm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && !exiting_ && isVisible()) {
    const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
    // a message box or another window taking the focus is no leaving
    if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason) {
      exiting_ = true;
      if (watched == txt_YMD) (void)txt_YMDExit();
      if (watched == txt_Time) (void)txt_TimeExit();
      exiting_ = false;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmAlarm::Commit(AlarmEditor::Mode mode) {
  if (exitRefused_) {
    // the button's click left a box that refused its text: said once
    exitRefused_ = false;
    return;
  }
  exiting_ = true;  // the checks below tell what is wrong, once
  const bool ok = editor_.Commit(mode, {txt_YMD->TextSj(), txt_Time->TextSj(), txt_Sc->TextSj()});
  exiting_ = false;
  if (!ok) return;
  FillList();
  EditButtons(false);
  ClearBoxes();
  txt_YMD->setFocus();
}

void TfrmAlarm::cmd_DeleteClick() {
  if (!editor_.Delete(lst_Main->currentRow())) return;
  FillList();
  EditButtons(false);
  ClearBoxes();
}

void TfrmAlarm::cmd_DelAllClick() {
  if (!editor_.DeleteOff()) return;
  FillList();
  EditButtons(false);
  ClearBoxes();
}

void TfrmAlarm::cmd_DetailSetClick() {
  TfrmAlarmSet dlg(settings_, files_, prompter_, this);
  (void)dialogs_.Run(dlg);
}
