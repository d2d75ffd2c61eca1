#include "mainview/editing/EditActions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QToolButton>

#include "mainview/editing/FieldRun.h"
#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "options/CMyColorKinds.h"
#include "qtkit/QtText.h"

namespace {
const char* const kMenu = "編集(&E)";
const char* const kPopup = "#pmenu_MainPopup";
const QKeySequence kKeys[4] = {QKeySequence(Qt::Key_Delete), QKeySequence(Qt::CTRL | Qt::Key_X),
                               QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_V)};
}  // namespace

EditActions::EditActions(MainActions& a, EditCommands& c) : a_(a) {
  auto records = when::RecordsShown;
  auto pages = [&c](const MainState& s) { return when::RecordsShown(s) && c.PageSheet(); };
  QAction* undo = a.Add({"mnuEditUndo", kMenu, "元に戻す(&U)", QKeySequence(Qt::CTRL | Qt::Key_Z),
                         [&c](const MainState& s) { return when::RecordsShown(s) && c.Undo().CanUndo(); },
                         [&c] { c.mnuEditUndo(); }, "undo"});
  QAction* redo = a.Add({"mnuEditRedo", kMenu, "やり直し(&R)", QKeySequence(Qt::CTRL | Qt::Key_Y),
                         [&c](const MainState& s) { return when::RecordsShown(s) && c.Undo().CanRedo(); },
                         [&c] { c.mnuEditRedo(); }, "undo"});
  keyed_[0] =
      a.Add({"mnuEditDel", kMenu, "データ削除(&D)", kKeys[0], records, [&c] { c.mnuEditDel(); }, "delete"});
  keyed_[1] = a.Add(
      {"mnuEditCut", kMenu, "切り取り(&T)", kKeys[1], records, [&c] { c.mnuEditCopy(1); }, "clipboard"});
  keyed_[2] =
      a.Add({"mnuEditCopy", kMenu, "コピー(&C)", kKeys[2], records, [&c] { c.mnuEditCopy(0); }, "clipboard"});
  keyed_[3] = a.Add(
      {"mnuEditPaste", kMenu, "貼り付け(&P)", kKeys[3], records, [&c] { c.mnuEditPaste(); }, "clipboard"});
  a.Add({"mnuEditPageIns", kMenu, "ページの追加", {}, pages, [&c] { c.mnuEditPageIns(); }, "pages"});
  a.Add({"mnuEditPageDel", kMenu, "ページの削除", {}, pages, [&c] { c.mnuEditPageDel(); }, "pages"});
  a.Add({"mnuEditLineIns", kMenu, "行番号の追加", {}, pages, [&c] { c.mnuEditLineIns(); }, "pages"});
  a.Add({"mnuEditLineDel", kMenu, "行番号の削除", {}, pages, [&c] { c.mnuEditLineDel(); }, "pages"});

  a.Add({"pmenu_InsLine", kPopup, "行番号の追加", {}, pages, [&c] { c.mnuEditLineIns(); }, "lines"});
  a.Add({"pmenu_DelLine", kPopup, "行番号の削除", {}, pages, [&c] { c.mnuEditLineDel(); }, "lines"});
  a.Add({"pmenu_GyoUp",
         kPopup,
         "行を上に移動",
         {},
         [&c](const MainState& s) { return when::RecordsShown(s) && c.CanMoveUp(); },
         [&c] { c.pmenu_GyoUp(-1); },
         "lines"});
  a.Add({"pmenu_GyoDown",
         kPopup,
         "行を下に移動",
         {},
         [&c](const MainState& s) { return when::RecordsShown(s) && c.CanMoveDown(); },
         [&c] { c.pmenu_GyoUp(1); },
         "lines"});
  QAction* fieldCopy = a.Add({"pmenu_FieldCopy",
                              kPopup,
                              "コピー(&C)",
                              {},
                              [&c](const MainState& s) { return s.started && !c.FieldUnderMouse().empty(); },
                              [&c] { c.pmenu_FieldCopy(); },
                              "copy"});

  QAction* run =
      a.Add({"pmenu_FieldRun",
             kPopup,
             "関連付け実行(&R)",
             {},
             [&c](const MainState& s) { return when::RecordsShown(s) && !c.FieldUnderMouse().empty(); },
             [&c] { fieldrun::RunFieldTarget(c.Context(), c); },
             "run"});
  QObject::connect(a.Menu(QString::fromUtf8(kPopup)), &QMenu::aboutToShow, run, [run, &c] {
    const std::string& name = c.FieldUnderMouse();
    run->setText(name.empty() ? QStringLiteral("関連付け実行(&R)")
                              : QStringLiteral("『%1』の関連付け実行(&R)").arg(FromSj(name)));
  });

  // the palette buttons and F6 colour the cursor row; the menu items are
  // the buttons' road from the keyboard (their captions name the kinds)
  for (int n = 1; n <= 3; ++n) {
    const QByteArray name = "cmd_Cr" + QByteArray::number(n);
    const QByteArray caption = "色 " + QByteArray::number(n) + "(&" + QByteArray::number(n) + ")";
    a.Add({name.constData(), kMenu, caption.constData(), {}, records, [&c, n] { c.cmd_Cr(n); }, "colors"});
  }
  a.Add({"KeyF6", "", "F6", QKeySequence(Qt::Key_F6), when::Started, [&c] { c.KeyF6(); }});

  // captions that name what they act on
  QObject::connect(a.Menu(QString::fromUtf8(kMenu)), &QMenu::aboutToShow, undo, [undo, redo, &c] {
    const std::string u = c.Undo().UndoName(), r = c.Undo().RedoName();
    // the step's name is text, never an access key of its own
    auto named = [](const char* verb, const std::string& step, const char* key) {
      return QString::fromUtf8(verb) + QStringLiteral(": ") +
             FromSj(step).replace('&', QStringLiteral("&&")) + QString::fromUtf8(key);
    };
    undo->setText(u.empty() ? QStringLiteral("元に戻す(&U)") : named("元に戻す", u, "(&U)"));
    redo->setText(r.empty() ? QStringLiteral("やり直し(&R)") : named("やり直し", r, "(&R)"));
  });
  QObject::connect(a.Menu(QString::fromUtf8(kPopup)), &QMenu::aboutToShow, fieldCopy, [fieldCopy, &c] {
    const std::string& name = c.FieldUnderMouse();
    fieldCopy->setText(name.empty() ? QStringLiteral("コピー(&C)")
                                    : QStringLiteral("『%1』をコピー(&C)").arg(FromSj(name)));
  });
}

void EditActions::SetWindowActive(bool active, bool groupShown) {
  for (int i = 0; i < 4; ++i)
    if (keyed_[i]) keyed_[i]->setShortcut(active ? kKeys[i] : QKeySequence());
  if (!groupShown) a_.Menu(QString::fromUtf8(kMenu))->setEnabled(active);
}

EditFeature::EditFeature(FeatureHost& host)
    : host_(host), commands_(host.Context(), host.EditPort()), actions_(host.Actions(), commands_) {}

void EditFeature::WindowActivated(bool active) { actions_.SetWindowActive(active, host_.State().groupShown); }

void EditFeature::PaletteChanged() {
  MainContext& ctx = host_.Context();
  CMyMaster& colors = ctx.objects.Table(kColorTable);
  if (colors.Read(ctx.objects.global->DivisionPath("color.dat")) != 0) colors.Init("COLOR");
  CMyColorKinds kinds(colors, ctx.prompter, ctx.beeper);
  const std::array<PanelLook, 3> looks = commands_.RefreshColorPanels();
  auto css = [](int c) {
    return QStringLiteral("#%1%2%3")
        .arg(c & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((c >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((c >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
  };
  for (int b = 1; b <= 3; ++b) {
    auto* button = host_.Window().findChild<QToolButton*>(QStringLiteral("cmd_Cr%1").arg(b));
    if (!button) continue;
    const PanelLook& look = looks[static_cast<size_t>(b - 1)];
    button->setStyleSheet(QStringLiteral("QToolButton { color: %1; background: %2; border: 1px solid #888; }")
                              .arg(css(look.text), css(look.back)));
    const int k = kinds.PaletteKind(b);
    const QString name = k < 0 ? QString() : FromSj(kinds.Get(k).name);
    button->setToolTip(k < 0 ? QStringLiteral("カラーパレット%1").arg(b) : name);
    button->setAccessibleName(
        QStringLiteral("色 %1: %2").arg(b).arg(k < 0 ? QStringLiteral("未設定") : name));
    if (QAction* item = host_.Actions().Find(QStringLiteral("cmd_Cr%1").arg(b)))
      item->setText(k < 0 ? QStringLiteral("色 %1(&%1)").arg(b)
                          : QStringLiteral("色 %1: %2(&%1)")
                                .arg(b)
                                .arg(QString(name).replace('&', QStringLiteral("&&"))));
  }
}
