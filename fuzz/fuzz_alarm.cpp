// Feeds arbitrary bytes to the alarm-list reader, then scans, adds and saves.
#include <cstdint>
#include <string>
#include <unistd.h>

#include "alarm/CMyAlarm.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  char path[] = "/tmp/fuzz_alarm.XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) return 0;
  close(fd);
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  fileops::WriteAtomic(path, bytes);
  ScriptedPrompter prompter;
  FixedClock clock;
  CMyGlobal global(prompter, clock, "/tmp");
  CMyAlarm alarms(global, clock);
  alarms.Load(path);
  alarms.ScanMemo("2026/12/09", "00001", bytes.substr(0, 400));
  for (int i = 0; i < alarms.Count(); ++i) alarms.CheckDue(false);
  alarms.Save(path);
  fileops::Remove(path);
  return 0;
}
