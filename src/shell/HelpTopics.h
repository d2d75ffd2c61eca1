// Which help topic F1 opens in which window: the window's objectName to a
// keyword of help/keywords.txt. Qt-free, so the help pages' test can check
// that every topic named here has its page.
#pragma once
#include <string>
#include <utility>
#include <vector>

class CMyGlobal;

namespace helptopics {

// Every window with a topic of its own: {objectName, keyword (UTF-8)}.
const std::vector<std::pair<std::string, std::string>>& ByWindow();

// The keyword (UTF-8) of a window; "" (the contents page) for any other.
std::string KeywordOf(const std::string& windowName);

// F1 in the window named so: its page opened through the settings' opener.
void OpenFor(const CMyGlobal& global, const std::string& windowName);

}  // namespace helptopics
