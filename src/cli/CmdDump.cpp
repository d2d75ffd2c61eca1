// jbx dump: any of the program's files as JSON, texts in UTF-8.
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/Commands.h"
#include "cli/JsonText.h"
#include "platform/FileOps.h"
#include "platform/LittleEndian.h"
#include "store/CMyLine.h"

using nlohmann::ordered_json;

namespace {

bool EndsWithNoCase(const std::string& s, const char* suffix) {
  size_t n = std::strlen(suffix);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    char a = s[s.size() - n + i], b = suffix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
    if (a != b) return false;
  }
  return true;
}

ordered_json LinesJson(const CMyLine& lines) {
  ordered_json arr = ordered_json::array();
  for (int i = 0; i < lines.Count(); ++i) arr.push_back(jsontext::Value(lines.View(i)));
  return arr;
}

}  // namespace

namespace {

// Lines of an "LI" list or of a CR LF text file.
int DumpLines(const std::string& path, bool list, std::string& json) {
  CMyLine lines(2048);
  int rc = list ? lines.ReadList(path) : lines.ReadText(path);
  if (rc < 0) return rc;
  ordered_json j;
  j["format"] = list ? "LI" : "text";
  j["count"] = lines.Count();
  j["lines"] = LinesJson(lines);
  json = j.dump(2);
  return 0;
}

}  // namespace

int DumpListJson(const std::string& path, std::string& json) { return DumpLines(path, true, json); }
int DumpTextJson(const std::string& path, std::string& json) { return DumpLines(path, false, json); }

int CmdDump(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: jbx dump FILE\n");
    return 2;
  }
  std::string path = argv[1];
  std::string head;
  {
    FILE* fp = std::fopen(path.c_str(), "rb");
    if (!fp) {
      std::fprintf(stderr, "jbx dump: cannot open %s\n", path.c_str());
      return 1;
    }
    char buf[32];
    size_t n = std::fread(buf, 1, sizeof buf, fp);
    head.assign(buf, n);
    std::fclose(fp);
  }
  std::string json;
  int rc;
  if (EndsWithNoCase(path, "alarm.dat") && (path.size() == 9 || path[path.size() - 10] == '/')) {
    rc = DumpAlarmJson(path, json);
  } else if (EndsWithNoCase(path, ".mbk")) {
    rc = DumpArchiveJson(path, json);
  } else if (EndsWithNoCase(path, ".jdt")) {
    rc = DumpJdtJson(path, json);
  } else if (EndsWithNoCase(path, ".jos") || EndsWithNoCase(path, ".jot")) {
    rc = DumpJosJson(path, json);
    if (rc == 2) rc = 0;  // the JSON names the damage
  } else if (EndsWithNoCase(path, "scrin.jsc") || EndsWithNoCase(path, ".jit")) {
    rc = DumpScrinJson(path, json);
    if (rc == 2) rc = 0;
  } else if (head.size() >= 4 && head.compare(0, 4, std::string("JB\0\0", 4)) == 0) {
    rc = DumpPackageJson(path, json);
  } else if (head.size() >= 2 && head[0] == 'L' && head[1] == 'I') {
    // a name table is a list whose first line is its 12-byte signature
    if (head.size() >= 20 && le::GetI32(head.data() + 6) == 12 && head[18] == 'M' && head[19] == 'S') {
      rc = DumpMasterJson(path, json);
    } else {
      rc = DumpListJson(path, json);
    }
  } else {
    rc = DumpTextJson(path, json);
  }
  if (rc != 0) {
    std::fprintf(stderr, "jbx dump: %s could not be read (%d)\n", path.c_str(), rc);
    return 1;
  }
  std::printf("%s\n", json.c_str());
  return 0;
}
