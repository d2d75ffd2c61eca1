#include "input/SelectionLists.h"

#include <algorithm>
#include <cstdio>

#include "input/CMyHyo.h"
#include "platform/FileOps.h"
#include "platform/SharedFile.h"
#include "store/CMyLine.h"

namespace sellist {
namespace {

std::string SlotName(const char* stem, int slot) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s%02d.ms", stem, slot);
  return buf;
}

bool IsWholeNumber(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string ComboFile(int slot) { return SlotName("cboms", slot); }
std::string PairFile(int slot) { return SlotName("cbsms", slot); }
std::string ListFile(int slot) { return SlotName("selms", slot); }

bool IsComboHeader(const std::string& line) { return line.size() >= 5 && line.compare(0, 3, "$$$") == 0; }

int LoadComboList(const std::string& path, ComboList& out) {
  out = {};
  out.fromFile = true;
  (void)fileops::Identify(path, out.seen);
  CMyLine lines(4096);
  if (lines.ReadText(path) < 0) return -1;
  for (int i = 0; i < lines.Count(); ++i) out.items.emplace_back(lines.Text(i));
  if (!out.items.empty() && IsComboHeader(out.items[0])) {
    out.learn = out.items[0][4] == '1';
    out.items.erase(out.items.begin());
  }
  return 0;
}

int SaveComboList(const std::string& path, ComboList& list) {
  CMyLine lines(4096);
  lines.Append(list.learn ? "$$$ 1" : "$$$ 0");
  for (const auto& s : list.items) lines.Append(s);
  const int written = lines.WriteText(path);
  if (written >= 0) {
    list.fromFile = true;
    (void)fileops::Identify(path, list.seen);
  }
  return written;
}

int LearnComboValue(ComboList& list, const std::string& text, const std::string& path) {
  if (!list.learn || text.empty()) return 0;
  // another window or form may have learned meanwhile: the value goes on
  // top of the list as that one left it, read under the lock
  fileops::WriteLock lock;
  if (!sharedfile::Lock(lock, sharedfile::LockOfDivision(fileops::DirName(path)), nullptr)) return -1;
  fileops::FileId now;
  if (list.fromFile && sharedfile::Compare(path, list.seen, now) != 0) {
    ComboList disk;
    if (LoadComboList(path, disk) != 0 && fileops::Exists(path)) return -1;
    if (!disk.learn) return 0;
    list = std::move(disk);
  }
  auto it = std::find(list.items.begin(), list.items.end(), text);
  if (it == list.items.begin() && it != list.items.end()) return 0;
  if (it != list.items.end()) {
    list.items.erase(it);
  } else if (static_cast<int>(list.items.size()) > kMaxComboItems) {
    list.items.pop_back();
  }
  list.items.insert(list.items.begin(), text);
  return SaveComboList(path, list) < 0 ? -1 : 1;
}

std::vector<std::string> FillChildCombo(CMyHyo& pair, const std::string& parentText) {
  std::vector<std::string> items;
  pair.ClearFilter();
  if (pair.Switch(2)) {
    if (parentText.empty()) return items;
    pair.AddCondition(1, parentText, "=", false);
  }
  for (int r = pair.Find(0); r >= 0; r = pair.Find(1)) items.push_back(pair.Cell(2, r));
  return items;
}

int LearnListValue(bool pair, CMyHyo& table, const std::string& value, const std::string& parent, int slot,
                   const std::string& dir) {
  // text-editor lists exist for all 20 editors, pairs for the 10 combos
  if (slot < 0 || slot >= (pair ? 10 : 20) || value.empty() || !table.Switch(1)) return 0;
  const std::string path = dir + "/" + (pair ? PairFile(slot) : ListFile(slot));
  // what another program learned into the list meanwhile is read first
  fileops::WriteLock lock;
  if (!sharedfile::Lock(lock, sharedfile::LockOfDivision(fileops::DirName(path)), nullptr)) return -1;
  if (table.ChangedOnDisk(path)) {
    CMyHyo disk;
    if (disk.Load(path) != 0) return -1;
    table = std::move(disk);
    if (!table.Switch(1)) return 0;
  }
  const bool twoLevel = table.Switch(2);
  if (twoLevel && parent.empty()) return 0;
  const std::string owner = twoLevel ? parent : std::string("NoP");
  table.ClearFilter();
  if (twoLevel) table.AddCondition(1, parent, "=", false);
  auto append = [&](int at) {
    if (at < 0) at = table.RowCount();
    table.InsertRow(at);
    table.SetCell(0, at, "");
    table.SetCell(1, at, owner);
    table.SetCell(2, at, value);
  };
  if (!pair) {
    table.AddCondition(2, value, "=", false);
    if (table.Find(0) >= 0) return 0;
    append(-1);
  } else {
    int first = table.Find(0);
    if (first >= 0 && table.Cell(2, first) == value) return 0;
    int found = -1;
    if (first >= 0) {
      for (int r = table.Find(1); r >= 0; r = table.Find(1)) {
        if (table.Cell(2, r) == value) {
          found = r;
          break;
        }
      }
    }
    if (found >= 0) {
      table.DeleteRow(found);
      append(first);
    } else {
      append(-1);
    }
  }
  table.ClearFilter();
  return table.Save(path) < 0 ? -1 : 1;
}

std::optional<std::string> CodeEntry(CMyHyo& list, const std::string& typed, bool usesParent,
                                     const std::string& parent) {
  if (!IsWholeNumber(typed)) return std::nullopt;
  list.ClearFilter();
  list.AddCondition(0, typed, "=", false);
  if (usesParent && list.Switch(2)) list.AddCondition(1, parent, "=", false);
  int r = list.Find(0);
  list.ClearFilter();
  if (r < 0) return std::nullopt;
  return list.Cell(2, r);
}

}  // namespace sellist
