// Feeds arbitrary bytes to the alarm-list reader, then scans, adds and saves.
#include <cstdint>
#include <string>

#include "FuzzFile.h"
#include "alarm/CMyAlarm.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzFile file(data, size);
  if (!file.ok()) return 0;
  const std::string& path = file.path();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  ScriptedPrompter prompter;
  FixedClock clock;
  // the input's own folder as the program's and the home: never the real home
  CMyGlobal global(prompter, clock, file.dir().path(), file.dir() / "home");
  CMyAlarm alarms(global, clock);
  alarms.Load(path);
  alarms.ScanMemo("2026/12/09", "00001", bytes.substr(0, 400));
  for (int i = 0; i < alarms.Count(); ++i) alarms.CheckDue(false);
  alarms.Save(path);
  return 0;
}
