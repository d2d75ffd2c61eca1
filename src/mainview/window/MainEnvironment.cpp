#include "mainview/window/MainEnvironment.h"

#include "platform/Launcher.h"
#include "qtkit/DesktopOpener.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/QtFileChooser.h"

OwnSeams::OwnSeams() = default;
OwnSeams::~OwnSeams() = default;

void OwnSeams::Fill(MainEnvironment& env, QWidget* window) {
  if (!env.dialogs) env.dialogs = (dialogs = std::make_unique<DialogRunner>()).get();
  if (!env.files) env.files = (files = std::make_unique<QtFileChooser>(window)).get();
  if (!env.clipboard) env.clipboard = (clipboard = std::make_unique<QtClipboard>()).get();
  if (!env.opener) env.opener = (opener = std::make_unique<DesktopOpener>()).get();
  if (!env.launcher) env.launcher = (launcher = std::make_unique<ProcessLauncher>()).get();
}
