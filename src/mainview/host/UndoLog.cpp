#include "mainview/host/UndoLog.h"

#include <algorithm>

#include "exchange/FileTransaction.h"
#include "platform/FileOps.h"

size_t UndoLog::Step::Bytes() const {
  size_t n = 0;
  for (const Image& i : before) n += i.bytes.size();
  for (const Image& i : after) n += i.bytes.size();
  return n;
}

void UndoLog::SetScope(const std::string& divisionFolder) {
  if (divisionFolder == scope_) return;
  Clear();
  scope_ = divisionFolder;
}

void UndoLog::Clear() {
  undo_.clear();
  redo_.clear();
}

void UndoLog::Begin(const std::string& name, const std::vector<AlarmEntry>& alarms) {
  if (implicit_) EndImplicit(alarms);
  if (depth_++ > 0) return;
  implicit_ = false;
  open_ = Step{};
  open_.name = name;
  alarmsAtBegin_ = alarms;
  touchFailed_ = false;
}

void UndoLog::BeginImplicit(const std::string& name, const std::vector<AlarmEntry>& alarms) {
  if (depth_ > 0) return;  // inside a step of a command, or already open
  Begin(name, alarms);
  implicit_ = true;
}

void UndoLog::EndImplicit(const std::vector<AlarmEntry>& alarms) {
  if (!implicit_) return;
  implicit_ = false;
  End(alarms);
}

bool UndoLog::Read(const std::string& path, Image& out) {
  out.path = path;
  out.bytes.clear();
  out.exists = fileops::Exists(path);
  if (!out.exists) return true;
  return fileops::ReadAll(path, out.bytes);
}

bool UndoLog::Touch(const std::string& path) {
  if (depth_ == 0) return true;
  for (const Image& i : open_.before)
    if (i.path == path) return true;
  Image image;
  if (!Read(path, image)) {
    touchFailed_ = true;
    return false;
  }
  open_.before.push_back(std::move(image));
  return true;
}

void UndoLog::Diff(const std::vector<AlarmEntry>& from, const std::vector<AlarmEntry>& to,
                   std::vector<AlarmEntry>& onlyInFrom) {
  // the state is left out: an alarm that fired meanwhile is still the same alarm
  auto same = [](const AlarmEntry& a, const AlarmEntry& b) {
    return a.division == b.division && a.date == b.date && a.serial == b.serial && a.time == b.time &&
           a.message == b.message && a.origin == b.origin;
  };
  std::vector<bool> used(to.size(), false);
  for (const AlarmEntry& a : from) {
    bool found = false;
    for (size_t j = 0; j < to.size() && !found; ++j) {
      if (!used[j] && same(a, to[j])) used[j] = found = true;
    }
    if (!found) onlyInFrom.push_back(a);
  }
}

void UndoLog::End(const std::vector<AlarmEntry>& alarms) {
  if (depth_ == 0 || --depth_ > 0) return;
  Step step = std::move(open_);
  open_ = Step{};
  Diff(alarms, alarmsAtBegin_, step.alarmsAdded);
  Diff(alarmsAtBegin_, alarms, step.alarmsRemoved);
  alarmsAtBegin_.clear();
  bool changed = !step.alarmsAdded.empty() || !step.alarmsRemoved.empty();
  for (const Image& b : step.before) {
    Image a;
    if (!Read(b.path, a)) {
      // what the step left cannot be known: it could not be redone, nor
      // checked before an undo, so no step is better than a wrong one
      Clear();
      return;
    }
    if (a.exists != b.exists || a.bytes != b.bytes) changed = true;
    step.after.push_back(std::move(a));
  }
  if (!changed) return;
  undo_.push_back(std::move(step));
  redo_.clear();
  Trim();
}

bool UndoLog::Abort(CMyAlarm& alarm) {
  if (depth_ == 0) return true;
  depth_ = 0;
  implicit_ = false;
  Step step = std::move(open_);
  open_ = Step{};
  // the alarms go back as they were too
  std::vector<AlarmEntry> added, removed;
  Diff(alarm.Entries(), alarmsAtBegin_, added);
  Diff(alarmsAtBegin_, alarm.Entries(), removed);
  for (const AlarmEntry& e : added) (void)alarm.Erase(e);
  for (const AlarmEntry& e : removed) alarm.Insert(e);
  alarmsAtBegin_.clear();
  std::vector<Image> changed;
  for (const Image& b : step.before) {
    Image now;
    if (Read(b.path, now) && now.exists == b.exists && now.bytes == b.bytes) continue;
    changed.push_back(b);
  }
  return changed.empty() || Put(changed);
}

void UndoLog::Trim() {
  size_t total = 0;
  for (const Step& s : undo_) total += s.Bytes();
  for (const Step& s : redo_) total += s.Bytes();
  while (undo_.size() > kMaxSteps || (total > kMaxBytes && undo_.size() > 1)) {
    total -= undo_.front().Bytes();
    undo_.pop_front();
  }
}

bool UndoLog::Holds(const std::vector<Image>& images) {
  for (const Image& i : images) {
    Image now;
    if (!Read(i.path, now) || now.exists != i.exists || now.bytes != i.bytes) return false;
  }
  return true;
}

bool UndoLog::Put(const std::vector<Image>& images) {
  // one batch: after a crash between its renames the next opening of the
  // book finishes it from its journal; a failure here takes every file back
  FileTransaction t;
  fileops::AtomicBatch batch;
  for (const Image& i : images) {
    fileops::AtomicFile* f = nullptr;
    const bool ok = t.Protect(i.path) && (!i.exists || ((f = batch.Add(i.path)) && f->Write(i.bytes)));
    if (!ok) {
      (void)t.Rollback();
      return false;
    }
    if (!i.exists && fileops::Exists(i.path)) batch.AddRemoval(i.path);
  }
  if (!batch.Commit()) {
    (void)t.Rollback();
    return false;
  }
  t.Commit();
  return true;
}

UndoLog::Result UndoLog::Undo(CMyAlarm& alarm) {
  if (undo_.empty()) return kNothing;
  Step& step = undo_.back();
  if (!Holds(step.after)) {
    Clear();
    return kChangedSince;
  }
  if (!Put(step.before)) return kWriteFailed;
  for (const AlarmEntry& e : step.alarmsAdded) (void)alarm.Erase(e);
  for (const AlarmEntry& e : step.alarmsRemoved) alarm.Insert(e);
  redo_.push_back(std::move(step));
  undo_.pop_back();
  return kDone;
}

UndoLog::Result UndoLog::Redo(CMyAlarm& alarm) {
  if (redo_.empty()) return kNothing;
  Step& step = redo_.back();
  if (!Holds(step.before)) {
    Clear();
    return kChangedSince;
  }
  if (!Put(step.after)) return kWriteFailed;
  for (const AlarmEntry& e : step.alarmsRemoved) (void)alarm.Erase(e);
  for (const AlarmEntry& e : step.alarmsAdded) alarm.Insert(e);
  undo_.push_back(std::move(step));
  redo_.pop_back();
  return kDone;
}
