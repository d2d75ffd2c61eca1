// The dialogs the main window shows for its commands, all through the
// DialogRunner so that tests answer them by name.
#include <QScrollBar>

#include "catalogue/TfrmHanyoData.h"
#include "catalogue/TfrmNewDiv.h"
#include "catalogue/TfrmNewScr.h"
#include "mainview/TfrmMain.h"
#include "options/CMyColorKinds.h"
#include "options/TfrmSetColor.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/QtText.h"
#include "screens/InputHeader.h"
#include "shell/TfrmNewUser.h"

int TfrmMain::RunDialog(QDialog& dialog) {
  const int rc = env_.dialogs->Run(dialog);
  // however many dialogs were nested, the keys go back to the sheet
  activateWindow();
  if (scr_Key) scr_Key->setFocus();
  return rc;
}

bool TfrmMain::RunNewDivision(bool reinstall) {
  CMyGlobal& g = *objects_->global;
  int packageId = 0;
  jsc::Header header;
  if (reinstall && jsc::ReadHeader(g.DivisionPath("scrin.jsc"), header) == 0) packageId = header.packageId;
  TfrmNewDiv dlg(reinstall ? 1 : 0, g, objects_->Table(kUserTable), *env_.prompter, env_.beeper, packageId,
                 this);
  dlg.files = env_.files;
  return RunDialog(dlg) == QDialog::Accepted;
}

bool TfrmMain::RunNewDivisionInput() {
  TfrmNewDivIn dlg(*objects_->global, *env_.prompter, this);
  dlg.files = env_.files;
  return RunDialog(dlg) == QDialog::Accepted;
}

bool TfrmMain::RunNewScreen(bool repair, int index) {
  TfrmNewScr dlg(repair ? 1 : 0, index, *objects_->global, objects_->Table(kDivInTable), *env_.prompter,
                 env_.beeper, this);
  dlg.files = env_.files;
  return RunDialog(dlg) == QDialog::Accepted;
}

bool TfrmMain::AskReinstall() { return RunNewDivision(true); }

std::string TfrmMain::AskName(int mode, const std::string& current) {
  TfrmHanyoData dlg(mode, FromSj(current), *env_.prompter, env_.beeper, this);
  return RunDialog(dlg) == QDialog::Accepted ? dlg.TextSj() : std::string();
}

void TfrmMain::EditColorKinds(CMyColorKinds& kinds) {
  TfrmSetColor dlg(kinds, *env_.prompter, *env_.beeper, this);
  (void)RunDialog(dlg);  // each change is kept as it is made
}

bool TfrmMain::AskUser(const std::string& current) {
  TfrmNewUser dlg(*objects_->global, *env_.prompter, this);
  dlg.SetName(FromSj(current));
  (void)RunDialog(dlg);
  return dlg.Result();
}
