// Files more than one program rewrites (the alarm list, the settings, name
// tables, the holiday files, selection lists): the read-check-write under
// the write lock of the folder that guards them, and a three-way merge of
// what this program changed since it read a file onto what is on disk now.
#pragma once
#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileOps.h"

class Prompter;

namespace sharedfile {

// The lock guarding a file of the folder that holds it.
[[nodiscard]] std::string LockBeside(const std::string& path);
// The lock guarding the files of a division folder (the selection lists,
// the saved extraction methods): its user folder's, as for the book.
[[nodiscard]] std::string LockOfDivision(const std::string& divisionDir);
// Takes `lock`; when another program held it too long, tells the user
// (when there is a prompter) and gives false. A folder that is not there
// yet has no other writer: true without a lock.
[[nodiscard]] bool Lock(fileops::WriteLock& lock, const std::string& lockPath, Prompter* prompter);
// The busy message, CP932.
[[nodiscard]] std::string BusyText();

// What `path` is now against what was read: 0 the same file (or still
// none), 1 another program wrote, made or removed it, -1 it cannot be
// looked at. `now` gets its identity.
[[nodiscard]] int Compare(const std::string& path, const fileops::FileId& seen, fileops::FileId& now);

// "「NAME」は…保存しませんでした" for a file that changed where no merge
// makes sense, and for one that could not be read again (CP932).
[[nodiscard]] std::string ChangedText(const std::string& path);
[[nodiscard]] std::string UnreadableText(const std::string& path);

// Copies of `path` a sync tool left beside it when two machines changed it
// ("alarm.sync-conflict-20261210-101530-ABCDEFG.dat", "alarm (conflicted
// copy 2026-12-10).dat"): names, not paths.
[[nodiscard]] std::vector<std::string> ConflictCopies(const std::string& path);

// Records with a key: what this program changed since `base` is put on top
// of `disk`. A key this program left as it was takes the disk's value (or
// its absence); a key changed on both sides keeps this program's value.
// The order is `mine`'s, then the keys only the disk has, in its order, so
// that what this program points at by position stays where it was.
template <class K, class V>
std::vector<std::pair<K, V>> MergeByKey(const std::vector<std::pair<K, V>>& base,
                                        const std::vector<std::pair<K, V>>& mine,
                                        const std::vector<std::pair<K, V>>& disk) {
  auto index = [](const std::vector<std::pair<K, V>>& v) {
    std::map<K, const V*> m;
    for (const auto& [k, val] : v) m.emplace(k, &val);
    return m;
  };
  const auto b = index(base), m = index(mine), d = index(disk);
  auto at = [](const std::map<K, const V*>& in, const K& k) -> const V* {
    auto it = in.find(k);
    return it == in.end() ? nullptr : it->second;
  };
  auto same = [](const V* x, const V* y) { return x == y || (x && y && *x == *y); };
  std::vector<std::pair<K, V>> out;
  std::map<K, bool> placed;
  for (const auto* side : {&mine, &disk}) {
    for (const auto& [k, val] : *side) {
      (void)val;
      if (placed[k]) continue;
      placed[k] = true;
      const V *bv = at(b, k), *mv = at(m, k), *dv = at(d, k);
      const V* v = same(mv, bv) ? dv : mv;
      if (v) out.emplace_back(k, *v);
    }
  }
  return out;
}

// Records without a key other than themselves (an alarm, a holiday rule):
// each distinct record is as many times in the result as this program left
// it when the disk did not change its count, else as the disk has it, and
// where both changed it the more of the two. The disk's order, with what
// only this program added after it.
template <class R>
std::vector<R> MergeRecords(const std::vector<R>& base, const std::vector<R>& mine,
                            const std::vector<R>& disk) {
  std::map<R, int> b, m, d;
  for (const R& r : base) ++b[r];
  for (const R& r : mine) ++m[r];
  for (const R& r : disk) ++d[r];
  auto count = [](const std::map<R, int>& in, const R& r) {
    auto it = in.find(r);
    return it == in.end() ? 0 : it->second;
  };
  std::map<R, int> want;
  for (const auto* side : {&m, &d})
    for (const auto& [r, n] : *side) {
      (void)n;
      const int bn = count(b, r), mn = count(m, r), dn = count(d, r);
      want[r] = mn == bn ? dn : dn == bn ? mn : std::max(mn, dn);
    }
  std::vector<R> out;
  auto keep = [&](const std::vector<R>& side) {
    for (const R& r : side) {
      int& left = want[r];
      if (left <= 0) continue;
      --left;
      out.push_back(r);
    }
  };
  keep(disk);
  keep(mine);
  return out;
}

}  // namespace sharedfile
