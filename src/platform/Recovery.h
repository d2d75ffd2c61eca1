// Putting right, at opening, what a crash left half done in a folder (see
// fileops::RecoverFolder), with the one message the user gets for it.
#pragma once
#include <string>

class Prompter;

namespace recovery {

// Finishes or takes back what the journal in `dir` names and tells the user
// once what was put right. `folder` (CP932) names the folder in the message
// when it could not be. False after that message.
bool RecoverAndTell(const std::string& dir, Prompter& prompter, const std::string& folder);

}  // namespace recovery
