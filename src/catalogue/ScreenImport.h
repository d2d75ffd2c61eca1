// Giving a division its input definition and adding display screens, from
// templates (".jit", ".jot": copies of the files) or from packages.
#pragma once
#include <string>
#include <vector>

class CMyGlobal;
class CMyMaster;
class Prompter;

namespace screenimport {

// The file checks every import starts with. 0, or 1 after the message.
[[nodiscard]] int CheckFile(const std::string& path, Prompter& p);
[[nodiscard]] bool IsPackage(const std::string& path);  // ".jpk", ASCII case ignored

// "scrin.jsc" of the current division from a template or a package. 0, or 1.
[[nodiscard]] int ImportInputDefinition(CMyGlobal& g, Prompter& p, const std::string& file);

// The screen names a package offers (its "divin.jpr", through the "tmp"
// folder, emptied again after). 0, or 1 when it cannot be read (the unpacker has told why).
[[nodiscard]] int PackageScreens(CMyGlobal& g, Prompter& p, const std::string& package,
                                 std::vector<std::string>& names);
// Copies one screen of a package to target + ".jos" in the division. 0 or 1.
[[nodiscard]] int TakeScreen(CMyGlobal& g, Prompter& p, const std::string& package, const std::string& screen,
                             const std::string& target);
// A template's file copied to target + ".jos". 0 or 1.
[[nodiscard]] int CopyTemplate(CMyGlobal& g, Prompter& p, const std::string& file, const std::string& target);

}  // namespace screenimport
