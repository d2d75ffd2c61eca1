// "alarm.dat" for jbx dump.
#include <nlohmann/json.hpp>
#include <string>

#include "alarm/CMyAlarm.h"
#include "cli/Commands.h"
#include "cli/JsonText.h"
#include "store/CMyLine.h"

int DumpAlarmJson(const std::string& path, std::string& json) {
  CMyLine list(2048);
  int n = list.ReadList(path);
  if (n < 0) return n;
  nlohmann::ordered_json arr = nlohmann::ordered_json::array();
  bool damaged = false;
  for (int i = 0; i < n; ++i) {
    AlarmEntry e;
    if (!CMyAlarm::ParseEntry(list.Item(i), static_cast<size_t>(list.Length(i)), e)) {
      arr.push_back({{"damaged", jsontext::Value(list.View(i))}});
      damaged = true;
      continue;
    }
    arr.push_back({{"state", e.state},
                   {"division", jsontext::Value(e.division)},
                   {"date", e.date},
                   {"serial", e.serial},
                   {"time", e.time},
                   {"message", jsontext::Value(e.message)},
                   {"origin", e.origin}});
  }
  nlohmann::ordered_json j;
  j["format"] = "alarm.dat";
  j["alarms"] = arr;
  if (damaged) j["damaged"] = true;
  json = j.dump(2);
  return 0;
}
