// A division and the extraction dialog's model opened from `jbx pickout`'s
// options, and the records (or group rows) those conditions select: what
// `jbx pickout` prints and `jbx chart` draws, through the same code.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "catalogue/CMyMaster.h"
#include "extract/CMyGroup.h"
#include "extract/CMyPickup.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"

class PickoutSession {
 public:
  // `sub` names the subcommand in messages.
  explicit PickoutSession(const char* sub);

  // Reads pickout's options (argv[0] is the subcommand) into the model as
  // the dialog's controls would; `prepare` may change the model before its
  // conditions are built (false: its message was told, exit 1). `needBook`:
  // --root and --user are required. cli::kSuccess, or the exit code after
  // the message.
  int Open(int argc, char** argv, bool needBook, const std::function<bool(CMyPickup&)>& prepare = {});
  // Loads the book read-only and selects the records; in group display the
  // group rows are built and sorted. cli::kSuccess or cli::kFailed (told).
  int Run();

  bool run = false, header = false, json = false;  // --run, --header, --json
  StderrPrompter prompter;
  CountingBeeper beeper;
  std::unique_ptr<FixedClock> clock;
  std::unique_ptr<CMyGlobal> global;
  CMyDB db{&prompter};
  PickupSetup setup;
  std::unique_ptr<CMyPickup> model;
  CMyRec records{&db}, work{&db};
  CMyMaster divout{"DIVOUT", &prompter};
  std::unique_ptr<CMyPeriods> periods;
  CMyGroup group{prompter};

 private:
  const char* sub_;
};
