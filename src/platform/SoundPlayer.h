// Playing the alarm's sound file without waiting for it. A file that cannot
// be played (missing, a folder, not a WAV file) or a desktop without a sound
// server is never an error the user has to answer: the player says why it
// stayed quiet, and the caller shows that in passing.
#pragma once
#include <string>
#include <vector>

namespace wavfile {
enum Check { kWav = 0, kMissing = 1, kFolder = 2, kNotWav = 3 };
// What `path` (UTF-8) names: a RIFF/WAVE file, nothing, a folder, or a file
// of another kind (also one that cannot be read).
Check Inspect(const std::string& path);
// The note for a check that is not kWav (CP932), e.g. "サウンドファイルが見付かりません".
std::string Why(Check c);
}  // namespace wavfile

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Starts playing `path` (UTF-8) and returns at once. False when nothing
  // will sound; `why` (CP932) then says what is wrong.
  virtual bool Play(const std::string& path, std::string& why) = 0;
};

// The desktop's event-sound library (libcanberra): the file is played on the
// library's own thread; one context for the run, opened at the first sound.
class CanberraPlayer : public SoundPlayer {
 public:
  CanberraPlayer();
  ~CanberraPlayer() override;
  CanberraPlayer(const CanberraPlayer&) = delete;
  CanberraPlayer& operator=(const CanberraPlayer&) = delete;
  bool Play(const std::string& path, std::string& why) override;

 private:
  struct Context;
  Context* ctx_ = nullptr;
  bool failed_ = false;  // the context could not be made: stay quiet from now on
};

// For tests: remembers what it was asked to play; fails when `fail` is set.
class RecordingPlayer : public SoundPlayer {
 public:
  bool Play(const std::string& path, std::string& why) override {
    played.push_back(path);
    if (fail) why = "no sound";
    return !fail;
  }
  std::vector<std::string> played;
  bool fail = false;
};
