// jbx backup / jbx restore: a user's archive made and read back through the
// same code the backup and restore dialogs use; and ".mbk" for jbx dump.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/Commands.h"
#include "cli/JsonText.h"
#include "exchange/ArchiveFormat.h"
#include "exchange/CMyBackup.h"
#include "exchange/CMyRestore.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "platform/SystemPaths.h"
#include "shell/CMyGlobal.h"

namespace {

// Answers Yes to the overwrite question (--yes); prints like its parent.
class YesPrompter : public StderrPrompter {
 public:
  int Show(const std::string& text, const std::string& caption, PromptIcon icon, PromptButtons buttons,
           int defaultButton) override {
    int answer = StderrPrompter::Show(text, caption, icon, buttons, defaultButton);
    return buttons == PromptButtons::YesNo ? kAnswerYes : answer;
  }
};

// A settings object on the given data root. The impossible data home keeps
// the constructor's probe for the per-user folder from creating anything.
CMyGlobal MakeGlobal(Prompter& prompter, const Clock& clock, const std::string& root) {
  CMyGlobal g(prompter, clock, syspaths::ProgramFolder(), "/dev/null");
  g.UseDataRoot(root);
  return g;
}

bool ToSj(const std::string& utf8, std::string& sj, const char* what) {
  if (cp932::FromUtf8(utf8, sj) == 0) return true;
  std::fprintf(stderr, "%s: Shift-JIS で表せない文字があります: %s\n", what, utf8.c_str());
  return false;
}

}  // namespace

int CmdBackup(int argc, char** argv) {
  std::string root, user, to;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--help") {
      std::printf("usage: jbx backup --root DIR --user NAME [--to FOLDER]\n");
      return 0;
    }
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    if (a == "--root" && v) {
      root = argv[++i];
    } else if (a == "--user" && v) {
      user = argv[++i];
    } else if (a == "--to" && v) {
      to = argv[++i];
    } else {
      std::fprintf(stderr, "usage: jbx backup --root DIR --user NAME [--to FOLDER]\n");
      return 2;
    }
  }
  if (root.empty() || user.empty()) {
    std::fprintf(stderr, "usage: jbx backup --root DIR --user NAME [--to FOLDER]\n");
    return 2;
  }
  StderrPrompter prompter;
  SystemClock clock;
  CMyGlobal g = MakeGlobal(prompter, clock, root);
  std::string sjUser;
  if (!ToSj(user, sjUser, "jbx backup")) return 2;
  g.SetUserName(sjUser);
  if (!fileops::IsDir(g.UserPath(""))) {
    std::fprintf(stderr, "jbx backup: ユーザーが見つかりません: %s\n", g.UserPath("").c_str());
    return 1;
  }
  g.ReadSettings(false);
  if (!to.empty() && !ToSj(to, g.backPath, "jbx backup")) return 2;  // this run only; PATH is not written
  BackupResult result;
  int rc = CMyBackup(g, clock).Run(&result);
  if (rc != 0) return 1;
  std::printf("%s\n", result.archive.c_str());
  return 0;
}

int CmdRestore(int argc, char** argv) {
  std::string root, archive, as;
  bool yes = false;
  const char* usage = "usage: jbx restore --root DIR ARCHIVE.mbk --as NAME [--yes]\n";
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    if (a == "--help") {
      std::printf("%s", usage);
      return 0;
    } else if (a == "--root" && v) {
      root = argv[++i];
    } else if (a == "--as" && v) {
      as = argv[++i];
    } else if (a == "--yes") {
      yes = true;
    } else if (a.rfind("--", 0) != 0 && archive.empty()) {
      archive = a;
    } else {
      std::fprintf(stderr, "%s", usage);
      return 2;
    }
  }
  if (root.empty() || archive.empty() || as.empty()) {
    std::fprintf(stderr, "%s", usage);
    return 2;
  }
  StderrPrompter plain;
  YesPrompter answering;
  Prompter& prompter = yes ? static_cast<Prompter&>(answering) : plain;
  SystemClock clock;
  CMyGlobal g = MakeGlobal(prompter, clock, root);
  g.ReadSettings(true);  // the current user, who cannot be restored over
  std::string sjAs;
  if (!ToSj(as, sjAs, "jbx restore")) return 2;
  // the tool does not change which user the program opens next
  int rc = CMyRestore(g, clock).Run(sjAs, archive, false);
  return rc == 0 ? 0 : 1;
}

int DumpArchiveJson(const std::string& path, std::string& json) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return mbk::kHeaderRead;
  int rc = mbk::CheckFileHeader(fd);
  if (rc != 0) {
    ::close(fd);
    return rc;
  }
  nlohmann::ordered_json entries = nlohmann::ordered_json::array();
  rc = mbk::Walk(fd, [&](const mbk::WalkedEntry& w) {
    const mbk::EntryHeader& h = w.header;
    nlohmann::ordered_json e;
    e["type"] = h.type == mbk::kFile ? "file" : h.type == mbk::kFolder ? "folder" : "end";
    e["name"] = jsontext::Value(h.name);
    e["size"] = h.size;
    e["attributes"] = h.attributes;
    time_t t = static_cast<time_t>(mbk::ToUnixSeconds(h.fileTime));
    struct tm tm;
    char buf[32] = "";
    if (h.fileTime != 0 && gmtime_r(&t, &tm)) std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M:%S", &tm);
    e["modifiedUtc"] = buf;
    e["offset"] = w.offset;
    entries.push_back(e);
    return 0;
  });
  ::close(fd);
  nlohmann::ordered_json j;
  j["format"] = "mbk";
  j["entries"] = entries;
  if (rc != 0) j["error"] = rc;  // what was read up to the damage is shown
  json = j.dump(2);
  return 0;
}
