// The readable JSON forms of an input definition and of a display screen,
// compiled into their binary files for packages (docs/packages.md).
#pragma once
#include <string>

namespace packagejson {

// input.json -> "scrin.jsc" bytes. False with an error text.
[[nodiscard]] bool CompileInput(const std::string& jsonText, std::string& bytes, std::string& error);
// screen.json -> ".jos" bytes. False with an error text.
[[nodiscard]] bool CompileScreen(const std::string& jsonText, std::string& bytes, std::string& error);

}  // namespace packagejson
