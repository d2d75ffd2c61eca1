#include "alarm/TfrmMissedAlarms.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "qtkit/QtForm.h"
#include "qtkit/QtText.h"

TfrmMissedAlarms::TfrmMissedAlarms(const std::vector<std::string>& lines, QWidget* parent) : QDialog(parent) {
  setObjectName("frmMissedAlarms");
  setWindowTitle(QStringLiteral("お知らせ（見逃したアラーム）"));
  // seen even when the main window waits hidden in the tray
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  auto* lead = new QLabel(QStringLiteral("次のアラームは、プログラムが動いていない間に時刻が過ぎました。\n"
                                         "これらのアラームは停止しました。"),
                          this);
  lst_Missed = new QListWidget(this);
  lst_Missed->setObjectName("lst_Missed");
  QFont fixed(QStringLiteral("IPAGothic"));
  fixed.setStyleHint(QFont::Monospace);
  fixed.setFixedPitch(true);
  lst_Missed->setFont(fixed);
  lst_Missed->setMinimumSize(520, 160);
  for (const std::string& l : lines) lst_Missed->addItem(FromSj(l));
  cmd_Close = qtform::Button(this, QStringLiteral("閉じる(&C)"), "cmd_Close");
  connect(cmd_Close, &QPushButton::clicked, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(cmd_Close);
  auto* top = new QVBoxLayout(this);
  top->addWidget(lead);
  top->addWidget(lst_Missed, 1);
  top->addLayout(row);
}

void TfrmMissedAlarms::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  raise();
  activateWindow();
  cmd_Close->setFocus();
}
