// jbx date / jbx time: the date and time helpers on texts from the command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "shell/CMyPublic.h"

int CmdDate(int argc, char** argv) {
  bool era = false;
  std::vector<std::string> texts;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--era"))
      era = true;
    else
      texts.push_back(argv[i]);
  }
  if (texts.empty()) {
    std::fprintf(stderr, "usage: jbx date TEXT... [--era]\n");
    return 2;
  }
  SystemClock clock;
  CMyPublic pub(clock);
  for (const auto& t : texts) {
    std::string sj;
    if (cp932::FromUtf8(t, sj) != 0) sj.clear();
    std::printf("%s\n", pub.FormatDate(sj, era).c_str());
  }
  return 0;
}

int CmdTime(int argc, char** argv) {
  bool max23 = false;
  std::vector<std::string> texts;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--max23"))
      max23 = true;
    else
      texts.push_back(argv[i]);
  }
  if (texts.empty()) {
    std::fprintf(stderr, "usage: jbx time TEXT... [--max23]\n");
    return 2;
  }
  for (const auto& t : texts) {
    std::string sj;
    bool ok = cp932::FromUtf8(t, sj) == 0;
    std::string norm = ok ? CMyPublic::NormalizeTime(sj) : std::string();
    bool isTime = ok && CMyPublic::IsTime(sj, max23);
    std::printf("%s\t%s\n", norm.c_str(), isTime ? "yes" : "no");
  }
  return 0;
}
