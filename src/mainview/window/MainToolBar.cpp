#include "mainview/window/MainToolBar.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>

MainToolBar::MainToolBar(QWidget* parent) {
  bar = new QHBoxLayout;
  tbt_Left = new QToolButton(parent);
  tbt_Left->setObjectName("tbt_Left");
  tbt_Left->setArrowType(Qt::LeftArrow);
  tbt_Left->setToolTip(QStringLiteral("前月に移動"));
  tbt_Left->setAccessibleName(QStringLiteral("前の月"));
  lbl_YYYYMM = new QPushButton(parent);
  lbl_YYYYMM->setObjectName("lbl_YYYYMM");
  lbl_YYYYMM->setFlat(true);
  lbl_YYYYMM->setToolTip(QStringLiteral("今日に戻る"));
  lbl_YYYYMM->setFocusPolicy(Qt::NoFocus);  // the arrow keys stay with the sheet
  QFont big = lbl_YYYYMM->font();
  big.setPointSize(big.pointSize() + 4);
  big.setBold(true);
  lbl_YYYYMM->setFont(big);
  tbt_Right = new QToolButton(parent);
  tbt_Right->setObjectName("tbt_Right");
  tbt_Right->setArrowType(Qt::RightArrow);
  tbt_Right->setToolTip(QStringLiteral("翌月に移動"));
  tbt_Right->setAccessibleName(QStringLiteral("次の月"));
  cmd_ModeMM = new QToolButton(parent);
  cmd_ModeMM->setObjectName("cmd_ModeMM");
  cmd_ModeMM->setText(QStringLiteral("月表"));
  cmd_ModeMM->setCheckable(true);
  cmd_ModeMM->setAutoExclusive(true);
  cmd_ModeMM->setChecked(true);
  cmd_ModePickout = new QToolButton(parent);
  cmd_ModePickout->setObjectName("cmd_ModePickout");
  cmd_ModePickout->setText(QStringLiteral("一覧"));
  cmd_ModePickout->setCheckable(true);
  cmd_ModePickout->setAutoExclusive(true);
  btn_WinW = new QToolButton(parent);
  btn_WinW->setObjectName("btn_WinW");
  btn_WinW->setCheckable(true);
  btn_WinW->setText(QStringLiteral("幅"));
  btn_WinW->setToolTip(QStringLiteral("画面の幅に合わせる"));
  bar->addWidget(tbt_Left);
  bar->addWidget(lbl_YYYYMM);
  bar->addWidget(tbt_Right);
  bar->addStretch(1);
  for (int i = 0; i < 3; ++i) {
    cmd_Palette[i] = new QToolButton(parent);
    cmd_Palette[i]->setObjectName(QStringLiteral("cmd_Cr%1").arg(i + 1));
    cmd_Palette[i]->setText(QString::fromUtf8("色"));
    cmd_Palette[i]->setAutoRaise(false);
    bar->addWidget(cmd_Palette[i]);
  }
  // made after the mode buttons, they still come before them on Tab
  QWidget* previous = tbt_Right;
  for (QWidget* w : {static_cast<QWidget*>(cmd_Palette[0]), static_cast<QWidget*>(cmd_Palette[1]),
                     static_cast<QWidget*>(cmd_Palette[2]), static_cast<QWidget*>(cmd_ModeMM)}) {
    QWidget::setTabOrder(previous, w);
    previous = w;
  }
  bar->addSpacing(8);
  bar->addWidget(cmd_ModeMM);
  bar->addWidget(cmd_ModePickout);
  bar->addWidget(btn_WinW);
}
