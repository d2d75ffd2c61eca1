// The selection lists of the input form without its widgets: combo-box
// histories ("cboms%02d.ms", text lines under a "$$$ 0/1" header), the
// two-level combo pair and the text-editor lists ("cbsms" / "selms", CMyHyo
// tables), learning values typed into the form, and code entry.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/FileOps.h"

class CMyHyo;

namespace sellist {

constexpr int kMaxComboItems = 100;  // more than this and the oldest goes
constexpr int kMaxItemName = 50;     // what the list editors let a user type

std::string ComboFile(int slot);  // "cboms03.ms"
std::string PairFile(int slot);   // "cbsms03.ms"
std::string ListFile(int slot);   // "selms03.ms"

// A combo list as the form holds it: the items without the header line.
struct ComboList {
  ComboList(std::vector<std::string> i = {}, bool l = false) : items(std::move(i)), learn(l) {}
  std::vector<std::string> items;
  bool learn = false;
  // the file as this list last read or wrote it: learning onto a file
  // another program changed since starts from what that program left
  bool fromFile = false;
  fileops::FileId seen;
};
// 0, or -1 when the file is missing or unreadable (empty list, learning off).
int LoadComboList(const std::string& path, ComboList& out);
// Writes "$$$ 1" / "$$$ 0" and the items, atomically. Lines, or -1.
int SaveComboList(const std::string& path, ComboList& list);
// True when a first line is the learning header ("$$$" and 5+ characters).
bool IsComboHeader(const std::string& line);

// Puts `text` on top of the history and saves it to `path` when learning is
// on. 0 nothing to do, 1 learned and saved, -1 the save failed (the items
// in memory still changed).
int LearnComboValue(ComboList& list, const std::string& text, const std::string& path);

// The child combo items of a two-level pair for the parent's text.
std::vector<std::string> FillChildCombo(CMyHyo& pair, const std::string& parentText);

// Learns `value` (under `parent` for two-level lists) into a text-editor
// list (pair = false) or the pair table (pair = true) and saves it into
// `dir` as "selms%02d.ms" / "cbsms%02d.ms" of `slot`. 0 nothing to do, 1
// learned and saved, -1 the save failed. The caller refills the child combo
// after a pair learned.
int LearnListValue(bool pair, CMyHyo& table, const std::string& value, const std::string& parent, int slot,
                   const std::string& dir);

// Code entry: `typed` is a whole number; the text of the first row with that
// code (under `parent` when the list is two-level and usesParent) or none.
std::optional<std::string> CodeEntry(CMyHyo& list, const std::string& typed, bool usesParent,
                                     const std::string& parent);

}  // namespace sellist
