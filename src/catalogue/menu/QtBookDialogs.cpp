#include "catalogue/menu/QtBookDialogs.h"

#include "catalogue/TfrmHanyoData.h"
#include "catalogue/TfrmNewDiv.h"
#include "catalogue/TfrmNewScr.h"
#include "mainview/host/MainObjects.h"
#include "options/CMyColorKinds.h"
#include "options/TfrmSetColor.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/QtText.h"
#include "screens/InputHeader.h"
#include "shell/TfrmNewUser.h"

int BookDialogs::Run(QDialog& dialog) {
  const int rc = dialogs_.Run(dialog);
  // however many dialogs were nested, the keys go back where they were
  if (after_) after_();
  return rc;
}

bool BookDialogs::NewDivision(bool reinstall) {
  CMyGlobal& g = *c_.objects.global;
  int packageId = 0;
  jsc::Header header;
  if (reinstall && jsc::ReadHeader(g.DivisionPath("scrin.jsc"), header) == 0) packageId = header.packageId;
  TfrmNewDiv dlg(reinstall ? 1 : 0, g, c_.objects.Table(kUserTable), c_.prompter, &c_.beeper, packageId,
                 parent_);
  dlg.files = &c_.files;
  return Run(dlg) == QDialog::Accepted;
}

bool BookDialogs::NewDivisionInput() {
  TfrmNewDivIn dlg(*c_.objects.global, c_.prompter, parent_);
  dlg.files = &c_.files;
  return Run(dlg) == QDialog::Accepted;
}

bool BookDialogs::NewScreen(bool repair, int index) {
  TfrmNewScr dlg(repair ? 1 : 0, index, *c_.objects.global, c_.objects.Table(kDivInTable), c_.prompter,
                 &c_.beeper, parent_);
  dlg.files = &c_.files;
  return Run(dlg) == QDialog::Accepted;
}

std::string BookDialogs::AskName(int mode, const std::string& current) {
  TfrmHanyoData dlg(mode, FromSj(current), c_.prompter, &c_.beeper, parent_);
  return Run(dlg) == QDialog::Accepted ? dlg.TextSj() : std::string();
}

void BookDialogs::EditColorKinds(CMyColorKinds& kinds) {
  TfrmSetColor dlg(kinds, c_.prompter, c_.beeper, parent_);
  (void)Run(dlg);  // each change is kept as it is made
}

bool BookDialogs::AskUser(const std::string& current) {
  TfrmNewUser dlg(*c_.objects.global, c_.prompter, parent_);
  dlg.SetName(FromSj(current));
  (void)Run(dlg);
  return dlg.Result();
}
