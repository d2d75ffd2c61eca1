#include "mainview/search/TfrmSub.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "mainview/sheet/QtSheetWidget.h"
#include "qtkit/QtSheetAccessible.h"
#include "qtkit/QtText.h"

TfrmSub::TfrmSub(MainObjects& objects, ReferenceCommands& commands, QWidget* parent)
    : QWidget(parent, Qt::Window),
      o_(objects),
      commands_(commands),
      rows_(*objects.db, view_.Records()),
      screen_(*objects.scr, rows_, view_),
      painter_(view_, screen_) {
  setObjectName("frmSub");
  setWindowTitle(QStringLiteral("参照画面"));
  setMinimumSize(kMinSize, kMinSize);

  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(2, 2, 2, 0);
  top->setSpacing(2);
  auto* bar = new QHBoxLayout;
  tbt_Left = new QToolButton(this);
  tbt_Left->setObjectName("tbt_Left");
  tbt_Left->setArrowType(Qt::LeftArrow);
  tbt_Left->setToolTip(QStringLiteral("前月に移動"));
  tbt_Left->setAccessibleName(QStringLiteral("前の月"));
  tbt_Left->setFocusPolicy(Qt::NoFocus);
  lbl_YYYYMM = new QLabel(this);
  lbl_YYYYMM->setObjectName("lbl_YYYYMM");
  QFont big = lbl_YYYYMM->font();
  big.setPointSize(big.pointSize() + 4);
  big.setBold(true);
  lbl_YYYYMM->setFont(big);
  tbt_Right = new QToolButton(this);
  tbt_Right->setObjectName("tbt_Right");
  tbt_Right->setArrowType(Qt::RightArrow);
  tbt_Right->setToolTip(QStringLiteral("翌月に移動"));
  tbt_Right->setAccessibleName(QStringLiteral("次の月"));
  tbt_Right->setFocusPolicy(Qt::NoFocus);
  bar->addWidget(tbt_Left);
  bar->addWidget(lbl_YYYYMM);
  bar->addWidget(tbt_Right);
  bar->addStretch(1);
  top->addLayout(bar);

  sheet_ = new QtSheetWidget(
      std::make_unique<SheetBoxOver<ReferenceView>>([this] { return &view_; }, [this] { return &painter_; },
                                                    [this](int px) { return o_.scr->ToLogical(1, px); }),
      [this] { return view_.RowCount() > 0; }, this);
  sheet_->wheeled = [this] { Moved(); };
  sheet_->painted = [this] { statusPanel1->setText(FromSj(view_.RowStatus(view_.CursorRow()))); };
  paiMain = sheet_->PaintBox();
  paiMain->installEventFilter(this);  // the keys and the mouse; the sheet paints itself
  sheet_->Vertical()->setFocusPolicy(Qt::NoFocus);
  sheet_->Horizontal()->setFocusPolicy(Qt::NoFocus);
  SheetText::Ports ports;
  ports.sheet = [this]() -> const SheetRows* { return &view_; };
  ports.screen = [this]() -> const CMyScr* { return o_.scr.get(); };
  ports.values = [this](int record) -> const RowSource* {
    rows_.SetPosition(record);
    return &rows_;
  };
  ports.cursor = [this] { return view_.CursorRow(); };
  access_ = new QtSheetAccess(paiMain, std::move(ports),
                              [this] { return QStringLiteral("参照画面 ") + lbl_YYYYMM->text(); });
  scr_Key = MakeKeyReceiver(this, paiMain);
  bar->addWidget(scr_Key);
  top->addWidget(sheet_, 1);
  auto* status = new QStatusBar(this);
  status->setObjectName("StatusBar");
  status->setSizeGripEnabled(true);
  statusPanel1 = new QLabel(this);
  statusPanel1->setObjectName("statusPanel1");
  status->addWidget(statusPanel1, 1);
  top->addWidget(status);

  connect(tbt_Left, &QToolButton::clicked, this, [this] { commands_.StepMonth(-1); });
  connect(tbt_Right, &QToolButton::clicked, this, [this] { commands_.StepMonth(1); });
  FormCreate();
}

void TfrmSub::FormCreate() {
  CMyGlobal& g = *o_.global;
  const int i = CMyGlobal::kReferenceWindow;
  const int w = std::max(g.width[i] > 0 ? g.width[i] : 462, kMinSize);
  const int h = std::max(g.height[i] > 0 ? g.height[i] : 600, kMinSize);
  resize(w, h);
  QPoint at(g.left[i], g.top[i]);
  if (QScreen* s = QApplication::primaryScreen()) {
    const QRect avail = s->availableGeometry();
    // never placed, or placed on a monitor that is gone: beside the main window
    if ((at.isNull() || !avail.intersects(QRect(at, QSize(w, h)))) && parentWidget()) {
      const QRect main = parentWidget()->frameGeometry();
      at = QPoint(
          main.right() + 1 + w <= avail.right() ? main.right() + 1 : std::max(avail.left(), main.left() - w),
          main.top());
    }
    if (!avail.intersects(QRect(at, QSize(w, h)))) at = avail.topLeft() + QPoint(40, 40);
  }
  move(at);
  open_ = true;
}

void TfrmSub::FormClose() {
  if (!open_) return;
  CMyGlobal& g = *o_.global;
  const int i = CMyGlobal::kReferenceWindow;
  // where move() puts it back: the frame's corner, the inner size
  g.left[i] = frameGeometry().left();
  g.top[i] = frameGeometry().top();
  g.width[i] = width();
  g.height[i] = height();
  open_ = false;
}

void TfrmSub::closeEvent(QCloseEvent* e) {
  FormClose();
  e->accept();
}

void TfrmSub::Present() {
  lbl_YYYYMM->setText(FromSj(view_.Label()));
  if (!isVisible()) show();
  raise();
  SetSheetHeight();
  view_.LayoutFromTop(view_.TopRow());
  UpdateScrollBars();
  paiMain->update();
  scr_Key->setFocus();
  access_->Changed();
}

void TfrmSub::SetSheetHeight() { sheet_->SetSheetHeight(paiMain->height()); }

void TfrmSub::UpdateScrollBars() { sheet_->UpdateScrollBars(); }

void TfrmSub::Moved() {
  UpdateScrollBars();
  paiMain->update();
  access_->Changed();
}

bool TfrmSub::KeyPress(const QKeyEvent& e) {
  if (e.modifiers() & Qt::ControlModifier) {
    switch (e.key()) {
      case Qt::Key_C:
        commands_.Copy();
        break;
      case Qt::Key_V:
        commands_.RefusePaste();
        break;
      case Qt::Key_X:
        commands_.RefuseCut();
        break;
      default:
        break;  // nothing else acts while Ctrl is held
    }
    return true;
  }
  switch (e.key()) {
    case Qt::Key_Left:
      commands_.StepMonth(-1);
      return true;
    case Qt::Key_Right:
      commands_.StepMonth(1);
      return true;
    case Qt::Key_Up:
      view_.KeyUp();
      break;
    case Qt::Key_Down:
      view_.KeyDown();
      break;
    case Qt::Key_PageUp:
      view_.KeyPageUp();
      break;
    case Qt::Key_PageDown:
      view_.KeyPageDown();
      break;
    case Qt::Key_Home:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Insert:
    case Qt::Key_F6:
      return true;  // the main sheet's editing keys do nothing here
    default:
      return false;
  }
  Moved();
  return true;
}

bool TfrmSub::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == scr_Key || watched == paiMain) && event->type() == QEvent::KeyPress)
    return KeyPress(*static_cast<QKeyEvent*>(event)) || QWidget::eventFilter(watched, event);
  if (watched != paiMain) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const int row = painter_.RowAt(static_cast<QMouseEvent*>(event)->position().toPoint().y());
      if (row >= 0) view_.ClickRow(row);
      scr_Key->setFocus();
      paiMain->update();
      access_->Changed();
      return true;
    }
    case QEvent::MouseButtonDblClick:
      commands_.RefuseEdit();
      return true;
    default:
      return QWidget::eventFilter(watched, event);
  }
}

void TfrmSub::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (width() < kMinSize || height() < kMinSize)
    resize(std::max(width(), kMinSize), std::max(height(), kMinSize));
  SetSheetHeight();
  UpdateScrollBars();
  paiMain->update();
}
