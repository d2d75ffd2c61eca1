// What the main window needs from its surroundings: the seams (tests give
// their own) and what `jbx render` fixes before the window starts.
#pragma once
#include <QStringList>
#include <memory>
#include <string>

class Beeper;
class Clipboard;
class Clock;
class DialogRunner;
class FileChooser;
class Launcher;
class Opener;
class Prompter;
class QWidget;

// What the main window needs from its surroundings; tests give their own.
struct MainEnvironment {
  Prompter* prompter = nullptr;
  Beeper* beeper = nullptr;
  const Clock* clock = nullptr;
  std::string programFolder;  // folder of the executable
  std::string dataHome;       // per-user data folder; empty = the platform's
  QStringList arguments;      // command-line arguments after the program name
  std::string dataRoot;       // given outright (jbx render); empty = the usual rules
  std::string user;           // overrides the remembered user (jbx render)
  int sheetHeight = 0;        // paint box height known before the window is shown (jbx render)
  // The seams for dialogs, files, the clipboard and the desktop; each left
  // empty is the real one.
  DialogRunner* dialogs = nullptr;
  FileChooser* files = nullptr;
  Clipboard* clipboard = nullptr;
  Opener* opener = nullptr;
  Launcher* launcher = nullptr;  // starts the picture viewer
};

// The real seams, made for each one an environment leaves empty.
struct OwnSeams {
  OwnSeams();
  ~OwnSeams();
  void Fill(MainEnvironment& env, QWidget* window);
  std::unique_ptr<DialogRunner> dialogs;
  std::unique_ptr<FileChooser> files;
  std::unique_ptr<Clipboard> clipboard;
  std::unique_ptr<Opener> opener;
  std::unique_ptr<Launcher> launcher;
};
