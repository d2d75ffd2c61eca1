// The subcommands of `jbx`. Each lives in its own Cmd*.cpp; arguments are
// UTF-8 as typed, output is UTF-8. Exit status: 0 success, 1 failure,
// 2 bad arguments or input that does not parse.
#pragma once
#include <string>

struct CliCommand {
  const char* name;
  const char* usage;    // one line shown by `jbx --help`
  int (*run)(int argc, char** argv);  // argv[0] is the subcommand name
};

int CmdDate(int argc, char** argv);
int CmdTime(int argc, char** argv);
int CmdDump(int argc, char** argv);

// jbx draw FILE.jos --out FILE.png [--scale S] [--record NAME=VALUE...]
int CmdDraw(int argc, char** argv);

// JSON views for `jbx dump`: 0 with the JSON in `json`; 1 the file is missing
// (or holds no input definition); 2 it does not parse (`json` then holds
// {"error", "code"}).
int DumpJosJson(const std::string& path, std::string& json);
int DumpScrinJson(const std::string& path, std::string& json);
