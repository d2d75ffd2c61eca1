// The options dialog driven from the file menu by objectName: what it shows,
// what OK and cancel store, the bottom panel at once, and the settings at
// the next start.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <tuple>

#include "options/TfrmOption.h"
#include "platform/IniFile.h"
#include "qtkit/SjLineEdit.h"
#include "ui/MainWindowFixture.h"
#include "ui/Widgets.h"

namespace {

QWidget* Panel(TfrmMain& w) { return w.findChild<QWidget*>("panel_Scr"); }

// What the dialog showed when it opened.
struct Seen {
  bool title = false, page = false, now = false, hidePanel = false;
  int kind = -1;
  QString path, lastBackup;
  bool lastShown = false;
};

void Look(TfrmOption& dlg, Seen& seen) {
  seen.title = Child<QCheckBox>(dlg, "chk_PrnOnTitle")->isChecked();
  seen.page = Child<QCheckBox>(dlg, "chk_PrnOnPage")->isChecked();
  seen.now = Child<QCheckBox>(dlg, "chk_PrnOnNow")->isChecked();
  seen.hidePanel = Child<QCheckBox>(dlg, "chk_ScrView")->isChecked();
  seen.kind = Child<QComboBox>(dlg, "cbo_BackKind")->currentIndex();
  seen.path = Child<SjLineEdit>(dlg, "txt_BackPath")->text();
  seen.lastBackup = Child<QLabel>(dlg, "lbl_LastBackup")->text();
  seen.lastShown = !Child<QLabel>(dlg, "lbl_LastBackup")->isHidden();
}

}  // namespace

TEST(TfrmOption, OkStoresCancelDoesNotAndThePanelFollowsAtOnce) {
  MainFixture f;
  {
    TfrmMain w(f.As("花子"));
    f.window = &w;
    w.FormCreate();
    ASSERT_TRUE(w.Started());
    CMyGlobal& g = *w.Global();
    g.backKind = 3;  // a value of no item of its own
    ASSERT_FALSE(Panel(w)->isHidden());

    // cancel, after changing everything: nothing is kept
    Seen first;
    f.dialogs.On<TfrmOption>("frmOption", [&first](TfrmOption& dlg) {
      Look(dlg, first);
      Child<QCheckBox>(dlg, "chk_PrnOnTitle")->setChecked(false);
      Child<QCheckBox>(dlg, "chk_ScrView")->setChecked(true);
      Child<QComboBox>(dlg, "cbo_BackKind")->setCurrentIndex(2);
      Child<QPushButton>(dlg, "cmd_Cancel")->click();
      return dlg.result();
    });
    ASSERT_TRUE(Trigger(w, "mnuFileOption"));
    EXPECT_TRUE(first.title && first.page && first.now);
    EXPECT_FALSE(first.hidePanel);  // the panel is shown
    EXPECT_EQ(0, first.kind);       // KIND 3 reads as "manual only"
    EXPECT_TRUE(first.path.isEmpty());
    EXPECT_FALSE(first.lastShown);  // no backup yet
    EXPECT_TRUE(g.printTitle);
    EXPECT_EQ(3, g.backKind);
    EXPECT_FALSE(Panel(w)->isHidden());

    // OK without changes: KIND 3 becomes 0, the panel stays
    f.dialogs.On<TfrmOption>("frmOption", [](TfrmOption& dlg) {
      Child<QPushButton>(dlg, "cmd_Ok")->click();
      return dlg.result();
    });
    ASSERT_TRUE(Trigger(w, "mnuFileOption"));
    EXPECT_EQ(0, g.backKind);
    EXPECT_FALSE(Panel(w)->isHidden());

    // OK with changes; the folder comes from the chooser
    f.files.answers.push_back("/media/usb/控え");
    f.dialogs.On<TfrmOption>("frmOption", [](TfrmOption& dlg) {
      Child<QCheckBox>(dlg, "chk_PrnOnTitle")->setChecked(false);
      Child<QCheckBox>(dlg, "chk_PrnOnNow")->setChecked(false);
      Child<QCheckBox>(dlg, "chk_ScrView")->setChecked(true);
      Child<QComboBox>(dlg, "cbo_BackKind")->setCurrentIndex(3);
      Child<QPushButton>(dlg, "cmd_BackPath")->click();
      Child<QPushButton>(dlg, "cmd_Ok")->click();
      return dlg.result();
    });
    ASSERT_TRUE(Trigger(w, "mnuFileOption"));
    ASSERT_EQ(1u, f.files.asked.size());
    EXPECT_TRUE(f.files.asked[0].chooseFolder);
    EXPECT_FALSE(g.printTitle);
    EXPECT_TRUE(g.printPage);
    EXPECT_FALSE(g.printNow);
    EXPECT_EQ(31, g.backKind);
    EXPECT_EQ("/media/usb/控え"_sj, g.backPath);
    EXPECT_TRUE(Panel(w)->isHidden());  // at once, not at the next start

    // a folder the setting cannot hold is refused and the box keeps its text
    f.files.answers.push_back("/media/한국");
    QString kept;
    f.dialogs.On<TfrmOption>("frmOption", [&kept](TfrmOption& dlg) {
      Child<QPushButton>(dlg, "cmd_BackPath")->click();
      kept = Child<SjLineEdit>(dlg, "txt_BackPath")->text();
      Child<QPushButton>(dlg, "cmd_Cancel")->click();
      return dlg.result();
    });
    ASSERT_TRUE(Trigger(w, "mnuFileOption"));
    EXPECT_EQ(QString::fromUtf8("/media/usb/控え"), kept);
    EXPECT_EQ(1u, f.prompter.Shown().size());

    // the last backup, when there was one
    g.backLastTime = "2026/12/08 22:10";
    Seen last;
    f.dialogs.On<TfrmOption>("frmOption", [&last](TfrmOption& dlg) {
      Look(dlg, last);
      return 0;
    });
    ASSERT_TRUE(Trigger(w, "mnuFileOption"));
    EXPECT_TRUE(last.lastShown);
    EXPECT_EQ(QString::fromUtf8("前回のバックアップ：2026/12/08 22:10  成功"), last.lastBackup);
    w.FormCloseQuery();
  }
  // the next start shows what was stored, and the panel stays hidden
  TfrmMain w(f.As("花子"));
  f.window = &w;
  w.FormCreate();
  ASSERT_TRUE(w.Started());
  EXPECT_TRUE(Panel(w)->isHidden());
  Seen again;
  f.dialogs.On<TfrmOption>("frmOption", [&again](TfrmOption& dlg) {
    Look(dlg, again);
    return 0;
  });
  ASSERT_TRUE(Trigger(w, "mnuFileOption"));
  EXPECT_FALSE(again.title);
  EXPECT_TRUE(again.page);
  EXPECT_FALSE(again.now);
  EXPECT_TRUE(again.hidePanel);
  EXPECT_EQ(3, again.kind);
  EXPECT_EQ(QString::fromUtf8("/media/usb/控え"), again.path);
  // showing the panel again takes effect at once too
  f.dialogs.On<TfrmOption>("frmOption", [](TfrmOption& dlg) {
    Child<QCheckBox>(dlg, "chk_ScrView")->setChecked(false);
    Child<QPushButton>(dlg, "cmd_Ok")->click();
    return dlg.result();
  });
  ASSERT_TRUE(Trigger(w, "mnuFileOption"));
  EXPECT_FALSE(Panel(w)->isHidden());
}

TEST(TfrmOption, WhatOkStoresIsOnDiskAtOnceAndFollowsItsUser) {
  MainFixture f;
  TfrmMain w(f.As("花子"));
  f.window = &w;
  w.FormCreate();
  Seen seen;
  f.dialogs.On<TfrmOption>("frmOption", [](TfrmOption& dlg) {
    Child<QComboBox>(dlg, "cbo_BackKind")->setCurrentIndex(2);
    Child<SjLineEdit>(dlg, "txt_BackPath")->setText(QString::fromUtf8("/media/usb/控え"));
    Child<QPushButton>(dlg, "cmd_Ok")->click();
    return dlg.result();
  });
  ASSERT_TRUE(Trigger(w, "mnuFileOption"));  // a crash now loses nothing:
  EXPECT_EQ("/media/usb/控え"_sj, ReadIniString(f.program + "/花子/jbxuser.ini", "BACK", "PATH", ""));
  // another user has their own settings; back again, the first user's are there
  for (const auto& [user, kind, path] : {std::tuple{"太郎", 0, ""}, {"花子", 2, "/media/usb/控え"}}) {
    f.UserAnswers(user);
    ASSERT_TRUE(Trigger(w, "mnu_FileUser"));
    f.dialogs.On<TfrmOption>("frmOption", [&seen](TfrmOption& dlg) { return Look(dlg, seen), 0; });
    ASSERT_TRUE(Trigger(w, "mnuFileOption"));
    EXPECT_EQ(kind, seen.kind) << user;
    EXPECT_EQ(QString::fromUtf8(path), seen.path) << user;
  }
}
