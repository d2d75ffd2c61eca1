#include "mainview/FileActions.h"

#include <QWidget>

#include "mainview/FileCommands.h"
#include "mainview/MainActions.h"

void RegisterFileActions(MainActions& a, FileCommands& c, QWidget& window) {
  const char* m = "ファイル(&F)";
  a.Add({"mnu_FileUser", m, "ユーザー新規・読み込み(&U)...", {}, when::Started, [&c] { c.ChangeUser(); }});
  a.AddSeparator(m);
  a.Add({"mnuFileNewDiv", m, "新規分類作成(&N)...", {}, when::Started, [&c] { c.NewDivision(); }});
  a.Add({"mnu_FileUpDiv", m, "分類の再インストール...", {}, when::Started, [&c] { c.ReinstallDivision(); }});
  a.Add({"mnuFileChgDiv", m, "分類名の変更(&M)...", {}, when::Started, [&c] { c.RenameDivision(); }});
  a.Add({"mnuFileDelDiv", m, "分類の削除(&D)", {}, when::Started, [&c] { c.DeleteDivision(); }});
  a.Add({"mnuFileDivMoveUp", m, "分類を左へ移動", {}, when::Started, [&c] { c.MoveDivision(-1); }});
  a.Add({"mnuFileDivMoveDown", m, "分類を右へ移動", {}, when::Started, [&c] { c.MoveDivision(1); }});
  a.AddSeparator(m);
  a.Add({"mnuFileNewScr", m, "表示画面の追加(&A)...", {}, when::Started, [&c] { c.NewScreen(); }});
  a.Add({"mnuFileChgScr", m, "表示画面名の変更...", {}, when::Started, [&c] { c.RenameScreen(); }});
  a.Add({"mnuFileDelScr", m, "表示画面の削除", {}, when::Started, [&c] { c.DeleteScreen(); }});
  a.Add({"mnuFileScrMoveLeft", m, "表示画面を左へ移動", {}, when::Started, [&c] { c.MoveScreen(-1); }});
  a.Add({"mnuFileScrMoveRight", m, "表示画面を右へ移動", {}, when::Started, [&c] { c.MoveScreen(1); }});
  a.AddSeparator(m);
  a.Add({"mnuFileColor", m, "色設定(&C)...", {}, when::Started, [&c] { c.EditColors(); }});
  a.AddSeparator(m);
  a.Add({"mnuFileExit", m, "終了(&X)", {}, when::Always, [&window] { window.close(); }});
}
