#include "alarm/TfrmAlarmSet.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "qtkit/QtForm.h"
#include "qtkit/QtText.h"
#include "qtkit/SjLineEdit.h"
#include "shell/CMyGlobal.h"

TfrmAlarmSet::TfrmAlarmSet(CMyGlobal& settings, FileChooser& files, Prompter& prompter, QWidget* parent)
    : QDialog(parent), settings_(settings), files_(files), prompter_(prompter) {
  setObjectName("frmAlarmSet");
  setWindowTitle(QStringLiteral("アラーム設定詳細"));
  auto check = [this](const QString& text, const char* name) {
    auto* c = new QCheckBox(text, this);
    c->setObjectName(name);
    return c;
  };
  chk_OnMsg = check(QStringLiteral("メッセージボックスで知らせる"), "chk_OnMsg");
  chk_OnTask = check(QStringLiteral("タスクトレイのアイコンで知らせる（タスク入れ処理中）"), "chk_OnTask");
  chk_TaskAnime = check(QStringLiteral("アニメーションする"), "chk_TaskAnime");
  chk_OnSound = check(QStringLiteral("サウンドで知らせる"), "chk_OnSound");
  txt_SoundPath = new SjLineEdit(this);
  txt_SoundPath->setAccessibleName(QStringLiteral("サウンドファイル"));
  txt_SoundPath->setObjectName("txt_SoundPath");
  txt_SoundPath->SetMaxBytes(CMyGlobal::kMaxPath - 1);
  txt_SoundPath->SetPrompter(&prompter_);
  txt_SoundPath->setMinimumWidth(300);
  cmd_SoundPath = qtform::Button(this, QStringLiteral("..."), "cmd_SoundPath");
  cmd_SoundPath->setFixedWidth(32);
  auto mark = [this](const char* name) {
    auto* e = new SjLineEdit(this);
    e->setObjectName(name);
    e->SetMaxBytes(2);  // one character, of one or two bytes
    e->setMaxLength(1);
    e->SetPrompter(&prompter_);
    e->setFixedWidth(36);
    e->setAlignment(Qt::AlignCenter);
    e->setAttribute(Qt::WA_InputMethodEnabled, true);
    return e;
  };
  txt_TimeFrom = mark("txt_TimeFrom");
  txt_TimeTo = mark("txt_TimeTo");
  txt_TimeFrom->setAccessibleName(QStringLiteral("通知する時間帯の始め"));
  txt_TimeTo->setAccessibleName(QStringLiteral("通知する時間帯の終わり"));
  cmd_Ok = qtform::Button(this, QStringLiteral("OK(&O)"), "cmd_Ok");
  cmd_Close = qtform::Button(this, QStringLiteral("閉じる(&C)"), "cmd_Close");

  auto* how = new QGroupBox(this);
  auto* hl = new QVBoxLayout(how);
  hl->addWidget(chk_OnMsg);
  hl->addWidget(chk_OnTask);
  auto* anime = new QHBoxLayout;
  anime->addSpacing(24);
  anime->addWidget(chk_TaskAnime);
  anime->addStretch(1);
  hl->addLayout(anime);
  hl->addWidget(chk_OnSound);
  auto* sound = new QHBoxLayout;
  sound->addSpacing(24);
  sound->addWidget(txt_SoundPath, 1);
  sound->addWidget(cmd_SoundPath);
  hl->addLayout(sound);

  auto* marks = new QHBoxLayout;
  marks->addWidget(new QLabel(QStringLiteral("時間の囲み文字"), this));
  marks->addSpacing(8);
  marks->addWidget(txt_TimeFrom);
  marks->addWidget(new QLabel(QStringLiteral("HH:MM"), this));
  marks->addWidget(txt_TimeTo);
  marks->addSpacing(8);
  marks->addWidget(new QLabel(QStringLiteral("（メモ中のアラーム判定用）"), this));
  marks->addStretch(1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmd_Ok);
  buttons->addWidget(cmd_Close);

  auto* top = new QVBoxLayout(this);
  top->addWidget(how);
  top->addLayout(marks);
  top->addLayout(buttons);

  const AlarmSettings s = AlarmSettings::From(settings_);
  chk_OnMsg->setChecked(s.onMsg);
  chk_OnTask->setChecked(s.onTask);
  chk_TaskAnime->setChecked(s.taskAnime);
  chk_OnSound->setChecked(s.onSound);
  txt_SoundPath->SetTextSj(s.soundPath);
  txt_TimeFrom->SetTextSj(s.timeFrom);
  txt_TimeTo->SetTextSj(s.timeTo);
  EnableDependents();

  connect(chk_OnTask, &QCheckBox::toggled, this, [this] { EnableDependents(); });
  connect(chk_OnSound, &QCheckBox::toggled, this, [this] { EnableDependents(); });
  connect(txt_SoundPath, &QLineEdit::returnPressed, this, [this] { qtform::MoveFocus(txt_TimeFrom); });
  connect(txt_TimeFrom, &QLineEdit::returnPressed, this, [this] { qtform::MoveFocus(txt_TimeTo); });
  connect(txt_TimeTo, &QLineEdit::returnPressed, this, [this] { qtform::MoveFocus(cmd_Ok); });
  connect(cmd_SoundPath, &QPushButton::clicked, this, [this] { cmd_SoundPathClick(); });
  connect(cmd_Ok, &QPushButton::clicked, this, [this] { cmd_OkClick(); });
  connect(cmd_Close, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmAlarmSet::EnableDependents() {
  chk_TaskAnime->setEnabled(chk_OnTask->isChecked());
  txt_SoundPath->setEnabled(chk_OnSound->isChecked());
  cmd_SoundPath->setEnabled(chk_OnSound->isChecked());
}

AlarmSettings TfrmAlarmSet::Values() const {
  AlarmSettings s;
  s.onMsg = chk_OnMsg->isChecked();
  s.onTask = chk_OnTask->isChecked();
  s.taskAnime = chk_TaskAnime->isChecked();
  s.onSound = chk_OnSound->isChecked();
  s.soundPath = txt_SoundPath->TextSj();
  s.timeFrom = txt_TimeFrom->TextSj();
  s.timeTo = txt_TimeTo->TextSj();
  return s;
}

void TfrmAlarmSet::cmd_SoundPathClick() {
  FileChoice c;
  c.title = "サウンドファイル"_sj;
  c.filter = "Wav files (*.wav)"_sj;
  const std::string path = files_.Choose(c);
  if (path.empty()) return;
  std::string sj;
  if (cp932::FromUtf8(path, sj) != 0) {
    // the settings file keeps CP932: a name it cannot hold could not be found again
    prompter_.Warn("このファイル名は設定に保存できません。"_sj);
    return;
  }
  txt_SoundPath->SetTextSj(sj);
}

void TfrmAlarmSet::cmd_OkClick() {
  const AlarmSettings s = Values();
  alarmsettings::Box box = alarmsettings::kNone;
  const std::string message = alarmsettings::Check(s, box);
  if (!message.empty()) {
    prompter_.Warn(message);
    switch (box) {
      case alarmsettings::kChecks:
        chk_OnMsg->setFocus();
        break;
      case alarmsettings::kTimeFrom:
        txt_TimeFrom->setFocus();
        break;
      case alarmsettings::kTimeTo:
        txt_TimeTo->setFocus();
        break;
      case alarmsettings::kSoundPath:
        txt_SoundPath->setFocus();
        break;
      case alarmsettings::kNone:
        break;
    }
    return;
  }
  s.To(settings_);
  (void)settings_.WriteSettings(true);
  accept();
}
