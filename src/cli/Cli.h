// The manners every `jbx` subcommand shares, so a new one gets them by
// being listed in the command table (Commands.cpp):
//   exit 0 the work was done, 1 the work failed (a file that cannot be read
//   or is not what its name says, a refused value, a failed write), 2 the
//   command line itself is wrong;
//   `jbx SUB --help` prints the subcommand's help on stdout and exits 0;
//   messages go to stderr in Japanese, "jbx SUB: ..." ; values go to stdout
//   in UTF-8; nothing is created but what the command was asked to write.
// See docs/cli.md.
#pragma once
#include <string>
#include <vector>

namespace cli {

constexpr int kSuccess = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

struct Command {
  const char* name;
  const char* synopsis;               // after "jbx NAME ": "TEXT... [--era]"
  const char* summary;                // one line for `jbx --help`
  const char* details;                // the options and examples for `jbx NAME --help`
  int (*run)(int argc, char** argv);  // argv[0] is the subcommand name; kDrawing: see Drawer
};

// The run of a subcommand that draws through Qt. jbx links no Qt, so it
// starts jbx-draw from its program folder in its place, and jbx-draw runs the
// subcommand by its Drawer (the table in DrawMain.cpp).
constexpr int (*kDrawing)(int, char**) = nullptr;
struct Drawer {
  const char* name;
  int (*run)(int argc, char** argv);
};

// The table of every subcommand, and the one named `name` (nullptr if none).
const std::vector<Command>& Commands();
const Command* Find(const std::string& name);

// The whole tool: dispatch, `--version`, `--help` at both levels; the
// drawing subcommands run by `drawers`, or without them by jbx-draw.
int Main(int argc, char** argv, const std::vector<Drawer>& drawers = {});

// Appends a value to a tab-separated output line with its backslash, TAB,
// CR and LF written as a backslash followed by "\", "t", "r" or "n", so a
// record stays one line.
void AppendEscaped(std::string& line, const std::string& value);

// "jbx SUB: message" on stderr; returns kFailed.
int Fail(const std::string& sub, const std::string& message);
// The reason, the synopsis and where to find more, on stderr; returns kUsage.
int UsageError(const std::string& sub, const std::string& why);

// What is wrong with `path` as a file to read, in words ("ファイルが見つかり
// ません: x.jdt"); empty when it is a regular file that can be opened.
std::string FileProblem(const std::string& path);

// Command-line options, taken out of the argument list as they are asked
// for; what remains are the positional arguments. "--name VALUE" and
// "--name=VALUE" both work.
class Args {
 public:
  Args(int argc, char** argv);
  bool Flag(const std::string& name);
  // true when the option was given; a missing value is a usage error.
  bool Value(const std::string& name, std::string& out);
  // Value read as an integer within [lo, hi]; anything else a usage error.
  bool Int(const std::string& name, int& out, int lo, int hi);
  // The arguments left; an option nobody asked for is a usage error.
  const std::vector<std::string>& Rest();
  bool Ok() const { return error_.empty(); }
  const std::string& Error() const { return error_; }

 private:
  std::vector<std::string> args_;
  std::string error_;
};

}  // namespace cli
