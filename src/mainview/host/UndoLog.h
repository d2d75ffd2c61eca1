// The last changes made to the open division from the sheet and the input
// form, so that a slip can be taken back and redone. A step remembers, for
// every file it wrote or removed, what the file held before and after, and
// the alarms it added and removed. Undo puts the files back as they were
// (all of them or none) only while they still hold what the step left; it
// never writes anything but those files.
#pragma once
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "alarm/CMyAlarm.h"

class UndoLog {
 public:
  static constexpr size_t kMaxSteps = 50;
  // Steps beyond this many bytes of kept files are forgotten, oldest first.
  static constexpr size_t kMaxBytes = size_t{96} << 20;

  // What a file held: its bytes, or that there was no such file.
  struct Image {
    std::string path;
    bool exists = false;
    std::string bytes;
  };
  struct Step {
    std::string name;  // what the menu shows: "元に戻す: " + name
    std::vector<Image> before, after;
    std::vector<AlarmEntry> alarmsAdded, alarmsRemoved;
    size_t Bytes() const;
  };

  // The division the steps belong to; another one forgets every step.
  void SetScope(const std::string& divisionFolder);
  const std::string& Scope() const { return scope_; }

  // Opens a step named `name`; `alarms` is the alarm list before it. While a
  // step is open a second Begin only counts (the outer step keeps its name).
  void Begin(const std::string& name, const std::vector<AlarmEntry>& alarms);
  // A step the input form opens by saving: it ends at EndImplicit, or when
  // the next step begins (a save that stopped half-way never leaves it open).
  void BeginImplicit(const std::string& name, const std::vector<AlarmEntry>& alarms);
  void EndImplicit(const std::vector<AlarmEntry>& alarms);
  bool IsOpen() const { return depth_ > 0; }
  // Before `path` is written, renamed or removed while a step is open:
  // keeps what it holds now, once per step. False when the file could not
  // be read whole; it must then not be changed. Without an open step: true.
  bool Touch(const std::string& path);
  // Ends the step (the outermost End): what the touched files hold now is
  // kept for redo, and the step becomes the last one to undo. A step that
  // changed nothing is dropped. `alarms` is the alarm list now.
  void End(const std::vector<AlarmEntry>& alarms);
  // Takes the open step back: every touched file is put back as it was.
  // True when all were; the step is closed either way.
  bool Abort(CMyAlarm& alarm);

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  std::string UndoName() const { return undo_.empty() ? std::string() : undo_.back().name; }
  std::string RedoName() const { return redo_.empty() ? std::string() : redo_.back().name; }

  enum Result { kDone = 0, kNothing = 1, kChangedSince = 2, kWriteFailed = 3 };
  // Puts the files of the last step back as before it and reverses its
  // alarms in `alarm`. kChangedSince (every step forgotten) when a file no
  // longer holds what the step left; kWriteFailed when a file could not be
  // written (every file as it was before the attempt, the step kept).
  Result Undo(CMyAlarm& alarm);
  // The same forwards for the last undone step.
  Result Redo(CMyAlarm& alarm);
  void Clear();

  size_t StepCount() const { return undo_.size(); }

 private:
  static bool Read(const std::string& path, Image& out);
  // True when every file holds what `images` says.
  static bool Holds(const std::vector<Image>& images);
  // Writes every image (all or none).
  static bool Put(const std::vector<Image>& images);
  static void Diff(const std::vector<AlarmEntry>& from, const std::vector<AlarmEntry>& to,
                   std::vector<AlarmEntry>& onlyInFrom);
  void Trim();

  std::string scope_;
  int depth_ = 0;
  Step open_;
  std::vector<AlarmEntry> alarmsAtBegin_;
  bool touchFailed_ = false;
  bool implicit_ = false;
  std::deque<Step> undo_;
  std::deque<Step> redo_;
};
