// Starting another program of ours (the picture viewer) as a seam: the
// caller learns why a start failed, and tests record what would have run.
#pragma once
#include <string>
#include <vector>

class Launcher {
 public:
  enum Result { kStarted = 0, kNoResources = 1, kInvalidProgram = 2, kFailed = 3 };
  virtual ~Launcher() = default;
  // `program` is a UTF-8 path, `args` are UTF-8 arguments passed as they are
  // (no shell). The started program is not waited for.
  virtual Result Start(const std::string& program, const std::vector<std::string>& args) = 0;
};

// Double fork and exec: the started program is never our zombie, and an exec
// that fails reports its errno back through a close-on-exec pipe.
class ProcessLauncher : public Launcher {
 public:
  Result Start(const std::string& program, const std::vector<std::string>& args) override;
};

class RecordingLauncher : public Launcher {
 public:
  Result Start(const std::string& program, const std::vector<std::string>& args) override {
    started.push_back({program, args});
    return answer;
  }
  struct Run {
    std::string program;
    std::vector<std::string> args;
  };
  std::vector<Run> started;
  Result answer = kStarted;
};
