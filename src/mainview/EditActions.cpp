#include "mainview/EditActions.h"

#include <QAction>
#include <QMenu>

#include "mainview/EditCommands.h"
#include "mainview/MainActions.h"
#include "qtkit/QtText.h"

namespace {
const char* const kMenu = "編集(&E)";
const char* const kPopup = "#pmenu_MainPopup";
const QKeySequence kKeys[4] = {QKeySequence(Qt::Key_Delete), QKeySequence(Qt::CTRL | Qt::Key_X),
                               QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_V)};
}  // namespace

EditActions::EditActions(MainActions& a, EditCommands& c) : a_(a), c_(c) {
  auto records = when::RecordsShown;
  auto pages = [&c](const MainState& s) { return when::RecordsShown(s) && c.PageSheet(); };
  QAction* undo = a.Add({"mnuEditUndo", kMenu, "元に戻す(&U)", QKeySequence(Qt::CTRL | Qt::Key_Z),
                         [&c](const MainState& s) { return when::RecordsShown(s) && c.Undo().CanUndo(); },
                         [&c] { c.mnuEditUndo(); }});
  QAction* redo = a.Add({"mnuEditRedo", kMenu, "やり直し(&R)", QKeySequence(Qt::CTRL | Qt::Key_Y),
                         [&c](const MainState& s) { return when::RecordsShown(s) && c.Undo().CanRedo(); },
                         [&c] { c.mnuEditRedo(); }});
  a.AddSeparator(kMenu);
  keyed_[0] = a.Add({"mnuEditDel", kMenu, "データ削除(&D)", kKeys[0], records, [&c] { c.mnuEditDel(); }});
  a.AddSeparator(kMenu);
  keyed_[1] = a.Add({"mnuEditCut", kMenu, "切り取り(&T)", kKeys[1], records, [&c] { c.mnuEditCopy(1); }});
  keyed_[2] = a.Add({"mnuEditCopy", kMenu, "コピー(&C)", kKeys[2], records, [&c] { c.mnuEditCopy(0); }});
  keyed_[3] = a.Add({"mnuEditPaste", kMenu, "貼り付け(&P)", kKeys[3], records, [&c] { c.mnuEditPaste(); }});
  a.AddSeparator(kMenu);
  a.Add({"mnuEditPageIns", kMenu, "ページの追加", {}, pages, [&c] { c.mnuEditPageIns(); }});
  a.Add({"mnuEditPageDel", kMenu, "ページの削除", {}, pages, [&c] { c.mnuEditPageDel(); }});
  a.Add({"mnuEditLineIns", kMenu, "行番号の追加", {}, pages, [&c] { c.mnuEditLineIns(); }});
  a.Add({"mnuEditLineDel", kMenu, "行番号の削除", {}, pages, [&c] { c.mnuEditLineDel(); }});

  a.AddSeparator(kPopup);
  a.Add({"pmenu_InsLine", kPopup, "行番号の追加", {}, pages, [&c] { c.mnuEditLineIns(); }});
  a.Add({"pmenu_DelLine", kPopup, "行番号の削除", {}, pages, [&c] { c.mnuEditLineDel(); }});
  a.Add({"pmenu_GyoUp",
         kPopup,
         "行を上に移動",
         {},
         [&c](const MainState& s) { return when::RecordsShown(s) && c.CanMoveUp(); },
         [&c] { c.pmenu_GyoUp(-1); }});
  a.Add({"pmenu_GyoDown",
         kPopup,
         "行を下に移動",
         {},
         [&c](const MainState& s) { return when::RecordsShown(s) && c.CanMoveDown(); },
         [&c] { c.pmenu_GyoUp(1); }});
  a.AddSeparator(kPopup);
  QAction* fieldCopy = a.Add({"pmenu_FieldCopy",
                              kPopup,
                              "コピー(&C)",
                              {},
                              [&c](const MainState& s) { return s.started && !c.FieldUnderMouse().empty(); },
                              [&c] { c.pmenu_FieldCopy(); }});

  // the palette buttons and F6 colour the cursor row
  for (int n = 1; n <= 3; ++n) {
    const QByteArray name = "cmd_Cr" + QByteArray::number(n);
    a.Add({name.constData(), "", "", {}, records, [&c, n] { c.cmd_Cr(n); }});
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
