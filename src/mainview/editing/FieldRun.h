// "関連付け実行": the value of a field in the cursor row's record is a file,
// a text file of the user's folder or a web address, opened with the
// program the desktop associates with it.
#pragma once
#include <string>

#include "mainview/host/MainObjects.h"

class EditCommands;

namespace fieldrun {

enum Kind { kRefused, kFile, kUserText, kWeb };

// What a value is, and the message (CP932, caption "注意") when it is none
// of them: a full path starts with "/", a bare "*.txt" name is a file of the
// user's folder, "http://" or "https://" (any case) starts a web address.
Kind Classify(const std::string& value, std::string& message);

// Opens `value` through ctx.opener, after its checks and messages; a text
// file of the user's folder is made first when missing. True when opened.
bool Run(MainContext& ctx, const std::string& value);

// The popup's handler: the field under the mouse when the popup opened, in
// the cursor row's record (empty when the row has none). Nothing without a field.
void RunFieldTarget(MainContext& ctx, const EditCommands& edit);

// The value of that field in the cursor row's record; false without a field.
bool FieldValue(const MainContext& ctx, const EditCommands& edit, std::string& value);

}  // namespace fieldrun
