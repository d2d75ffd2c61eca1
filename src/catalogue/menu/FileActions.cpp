#include "catalogue/menu/FileActions.h"

#include <QMainWindow>
#include <QWidget>

#include "catalogue/menu/FileCommands.h"
#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"

FileFeature::FileFeature(FeatureHost& host) : commands_(host.Context(), host.WindowPort()) {
  RegisterFileActions(host.Actions(), commands_, host.Window());
  host.Services().changeUserBy = [this](const auto& ask) { commands_.ChangeUserBy(ask); };
  host.Services().editColors = [this] { commands_.EditColors(); };
}

void RegisterFileActions(MainActions& a, FileCommands& c, QWidget& window) {
  const char* m = "ファイル(&F)";
  a.Add({"mnu_FileUser",
         m,
         "ユーザー新規・読み込み(&U)...",
         {},
         when::Started,
         [&c] { c.ChangeUser(); },
         "user"});
  a.Add({"mnuFileNewDiv", m, "新規分類作成(&N)...", {}, when::Started, [&c] { c.NewDivision(); }, "books"});
  a.Add({"mnu_FileUpDiv",
         m,
         "分類の再インストール...",
         {},
         when::Started,
         [&c] { c.ReinstallDivision(); },
         "books"});
  a.Add(
      {"mnuFileChgDiv", m, "分類名の変更(&M)...", {}, when::Started, [&c] { c.RenameDivision(); }, "books"});
  a.Add({"mnuFileDelDiv", m, "分類の削除(&D)", {}, when::Started, [&c] { c.DeleteDivision(); }, "books"});
  a.Add({"mnuFileDivMoveUp", m, "分類を左へ移動", {}, when::Started, [&c] { c.MoveDivision(-1); }, "books"});
  a.Add({"mnuFileDivMoveDown", m, "分類を右へ移動", {}, when::Started, [&c] { c.MoveDivision(1); }, "books"});
  a.Add({"mnuFileNewScr", m, "表示画面の追加(&A)...", {}, when::Started, [&c] { c.NewScreen(); }, "screens"});
  a.Add(
      {"mnuFileChgScr", m, "表示画面名の変更...", {}, when::Started, [&c] { c.RenameScreen(); }, "screens"});
  a.Add({"mnuFileDelScr", m, "表示画面の削除", {}, when::Started, [&c] { c.DeleteScreen(); }, "screens"});
  a.Add({"mnuFileScrMoveLeft",
         m,
         "表示画面を左へ移動",
         {},
         when::Started,
         [&c] { c.MoveScreen(-1); },
         "screens"});
  a.Add({"mnuFileScrMoveRight",
         m,
         "表示画面を右へ移動",
         {},
         when::Started,
         [&c] { c.MoveScreen(1); },
         "screens"});
  a.Add({"mnuFileColor", m, "色設定(&C)...", {}, when::Started, [&c] { c.EditColors(); }, "colors"});
  a.Add({"mnuFileExit", m, "終了(&X)", {}, when::Always, [&window] { window.close(); }, "exit"});
}
