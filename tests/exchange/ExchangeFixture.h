// A data root with one user of two divisions, a backup folder, and helpers
// to build archives by hand and to compare folder trees.
#pragma once
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "catalogue/CMyMaster.h"
#include "exchange/ArchiveFormat.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "support/TempDir.h"

namespace exfix {

// Every file under a folder: relative path -> bytes ("dir/" for folders).
inline std::map<std::string, std::string> Tree(const std::string& root) {
  std::map<std::string, std::string> t;
  std::error_code ec;
  if (!std::filesystem::exists(root, ec)) return t;
  for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::string rel = std::filesystem::relative(it->path(), root, ec).string();
    if (it->is_directory(ec)) {
      t[rel + "/"] = "";
    } else {
      std::string bytes;
      // an unreadable file shows as such in the comparison
      t[rel] = fileops::ReadAll(it->path().string(), bytes) ? bytes : std::string("<unreadable>");
    }
  }
  return t;
}

inline std::vector<std::string> Keys(const std::map<std::string, std::string>& tree) {
  std::vector<std::string> keys;
  for (const auto& [k, v] : tree) keys.push_back(k);
  return keys;
}

struct Entry {
  int type;
  std::string name;  // CP932
  std::string data;
};

// An archive's bytes; `end` false leaves the end entry out.
inline std::string Archive(const std::vector<Entry>& entries, bool end = true) {
  std::string out = mbk::EncodeFileHeader();
  for (const Entry& e : entries) {
    mbk::EntryHeader h;
    h.type = e.type;
    h.attributes = e.type == mbk::kFile ? mbk::kAttrArchive : mbk::kAttrFolder;
    h.size = static_cast<int32_t>(e.data.size());
    h.name = e.name;
    out += mbk::EncodeEntry(h) + e.data;
  }
  if (end) {
    mbk::EntryHeader h;
    h.type = mbk::kEnd;
    h.attributes = mbk::kAttrFolder;
    out += mbk::EncodeEntry(h);
  }
  return out;
}

struct Fixture {
  TempDir dir;
  ScriptedPrompter prompter;
  FixedClock clock{{2026, 12, 9}, {21, 5, 7}};
  std::string root = dir / "root";  // program folder and data root (portable)
  std::string back = dir / "back";
  std::string diary = cp932::ToUtf8("日記帳"_sj);
  CMyGlobal global;

  Fixture() : global((Prepare(dir / "root"), prompter), clock, dir / "root", dir / "home") {
    EXPECT_TRUE(fileops::MakeDirs(back));
    global.SetUserName("taro");
    std::string u = root + "/taro";
    EXPECT_TRUE(fileops::MakeDirs(u + "/" + diary + "/PhotSm"));
    EXPECT_TRUE(fileops::MakeDirs(u + "/work"));
    WriteBytes(u + "/jbxuser.ini", "[BACK]\r\nKIND=7\r\n");
    WriteBytes(u + "/alarm.dat", "alarms");
    CMyMaster users("USER");
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, "日記帳"_sj);
    EXPECT_EQ(0, users.Append(rec));
    CMyMaster::SetName(rec, "work");
    EXPECT_EQ(0, users.Append(rec));
    EXPECT_GE(users.Write(u + "/jbxuser.jpr"), 0);
    std::string d = u + "/" + diary;
    WriteBytes(d + "/scrin.jsc", "scrin");
    WriteBytes(d + "/divin.jpr", "divin");
    WriteBytes(d + "/relation.dat", "relation");
    WriteBytes(d + "/month.jos", "month screen");
    WriteBytes(d + "/dt202601.jdt", std::string(70000, 'x'));  // more than one chunk
    WriteBytes(d + "/dt202602.jdt", "");
    WriteBytes(d + "/selms01.ms", "sel");
    WriteBytes(d + "/notes.txt", "not taken");
    WriteBytes(d + "/PhotSm/a.jos", "in a sub-folder: not taken");
    WriteBytes(u + "/work/scrin.jsc", "work scrin");
    WriteBytes(u + "/work/dt00001.jdt", "page one");
    WriteBytes(root + "/holiday.dat", "holidays of the data root");
    global.ReadSettings(false);
    global.backPath = back;
  }
  static void Prepare(const std::string& root) {
    ASSERT_TRUE(fileops::MakeDirs(root));
    WriteBytes(root + "/jotbox.ini", "[APL]\r\nNAME=taro\r\n");
  }
  std::string UserDir(const std::string& name) const { return root + "/" + name; }
};

}  // namespace exfix
