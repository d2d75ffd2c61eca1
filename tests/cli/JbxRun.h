// Runs the real jbx binary as a person would, with a private data home so its
// data-folder probe never reaches the real one.
#pragma once
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/CMyMaster.h"
#include "support/TempDir.h"

struct RunResult {
  int status;
  std::string out;  // stdout
  std::string err;  // stderr
  std::string all() const { return out + err; }
};

inline RunResult Jbx(const std::string& args) {
  TempDir errDir;
  std::string cmd = "XDG_DATA_HOME=" + errDir / "home" + " " + std::string(JBX_PROGRAM_DIR) + "/jbx " + args +
                    " 2>" + errDir / "err";
  FILE* p = popen(cmd.c_str(), "r");
  RunResult r{-1, {}, {}};
  if (!p) return r;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  r.err = ReadBytes(errDir / "err");
  return r;
}

// Books of user "u" below `root`, each unpacked by jbx from a shipped
// package: {package file without ".jpk", book folder}, in tab order. False
// when a package does not unpack or the user's book list cannot be written.
inline bool MakeBooks(const std::string& root,
                      const std::vector<std::pair<std::string, std::string>>& books) {
  CMyMaster users("USER");
  for (const auto& [package, folder] : books) {
    if (Jbx("unpack " + std::string(JBX_PROGRAM_DIR) + "/" + package + ".jpk " + root + "/u/" + folder)
            .status != 0)
      return false;
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, folder);
    if (users.Append(rec) != 0) return false;
  }
  return users.Write(root + "/u/jbxuser.jpr") >= 0;
}
