// Settings files from arbitrary bytes: the reads the program makes at start,
// then a write of a known key and a new one, saved and read back. Whatever
// the file held, a key just written reads back as written and no other line
// is lost.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFile.h"
#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzFile file(data, size);
  if (!file.ok()) return 0;
  IniFile ini;
  (void)ini.Load(file.path());
  (void)ini.GetString("APL", "NAME", "");
  for (const char* form : {"FORM0", "FORM1"}) {
    (void)ini.GetInt(form, "LEFT", 0);
    (void)ini.GetInt(form, "WIDTH", 462);
  }
  (void)ini.GetBool("FORM0", "SCR_VISIBLE", true);
  (void)ini.GetInt("BACK", "YMD", 0);
  (void)ini.GetString("BACK", "PATH", "");

  const size_t before = ini.Lines().size();
  ini.SetString("APL", "NAME", "fuzz");
  ini.SetInt("NEWSEC", "KEY", -12);
  if (ini.Lines().size() < before || ini.Lines().size() > before + 4) std::abort();
  if (ini.GetString("APL", "NAME", "?") != "fuzz" || ini.GetInt("NEWSEC", "KEY", 0) != -12) std::abort();

  FuzzDir dir;
  if (!dir.ok() || !ini.Save(dir / "jotbox.ini")) return 0;
  IniFile back;
  if (!back.Load(dir / "jotbox.ini")) std::abort();
  if (back.GetString("APL", "NAME", "?") != "fuzz" || back.GetInt("NEWSEC", "KEY", 0) != -12) std::abort();
  if (back.Lines() != ini.Lines()) std::abort();
  return 0;
}
