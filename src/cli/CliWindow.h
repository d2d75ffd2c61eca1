// What `jbx render` and `jbx sheet` check before they open the main window
// off screen: everything the window would otherwise ask for with a dialog.
#pragma once
#include <string>

namespace cliwindow {

// Everything the window would otherwise ask for with a dialog (a user, a
// book, an input definition, a screen) is checked here first, so a wrong
// argument fails with a message and nothing is made. Empty when all is there
// (UTF-8 words otherwise).
std::string MissingPart(const std::string& root, const std::string& user, int division, int screen);
// 0 when the folder of `out` is there, else the exit code after saying so.
int CheckOutFolder(const char* command, const std::string& out);
// A division given as its position in the user's list (from 0) or its
// name (UTF-8): its position, or -1 when the user has no such division.
int DivisionIndex(const std::string& root, const std::string& user, const std::string& division);

}  // namespace cliwindow
