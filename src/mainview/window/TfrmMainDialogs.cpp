// The dialogs the main window shows for its commands, all through the
// DialogRunner so that tests answer them by name.
#include <QScrollBar>

#include "catalogue/menu/QtBookDialogs.h"
#include "mainview/window/TfrmMain.h"

BookDialogs TfrmMain::Ask() {
  return BookDialogs(*env_.dialogs, *context_, this, [this] {
    // however many dialogs were nested, the keys go back to the sheet
    activateWindow();
    if (scr_Key) scr_Key->setFocus();
  });
}

bool TfrmMain::AskReinstall() { return Ask().NewDivision(true); }
std::string TfrmMain::AskName(int mode, const std::string& current) { return Ask().AskName(mode, current); }
void TfrmMain::EditColorKinds(CMyColorKinds& kinds) { Ask().EditColorKinds(kinds); }
bool TfrmMain::AskUser(const std::string& current) { return Ask().AskUser(current); }
