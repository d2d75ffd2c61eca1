// jbx: the command-line tool over the notebook's core.
#include <cstdio>
#include <cstring>

#include "cli/Commands.h"

namespace {

const CliCommand kCommands[] = {
    {"date", "jbx date TEXT... [--era]          canonical date of each text", CmdDate},
    {"time", "jbx time TEXT... [--max23]        canonical time of each text and whether it is a time",
     CmdTime},
    {"select", "jbx select FILE.jdt... [--memo] [--filter EXPR] [--sort SPEC] [--columns NAME,...] [--count]",
     CmdSelect},
    {"dump", "jbx dump FILE                     a program file as JSON", CmdDump},
    {"holidays", "jbx holidays YEAR... [--root DIR]  holidays and anniversaries as the sheet shows them",
     CmdHolidays},
    {"render",
     "jbx render --root DIR --user NAME [--division N] [--screen N] (--month yyyy/mm | --page N |\n"
     "             --list-page N) [--today yyyy/mm/dd] [--width PX --height PX] --out FILE.png",
     CmdRender},
    {"pack", "jbx pack SOURCE_DIR OUT.jpk          build a package from its source folder", CmdPack},
    {"unpack", "jbx unpack FILE.jpk DIR [NAME]    unpack a package (or one file of it) into DIR", CmdUnpack},
    {"draw",
     "jbx draw FILE.jos --out FILE.png [--scale PX_PER_MM] [--record NAME=VALUE...]  one row of a screen as "
     "PNG",
     CmdDraw},
    {"backup", "jbx backup --root DIR --user NAME [--to FOLDER]   back a user up into its archive",
     CmdBackup},
    {"restore", "jbx restore --root DIR ARCHIVE.mbk --as NAME [--yes]   restore an archive as a user",
     CmdRestore},
};

void Usage(FILE* out) {
  std::fprintf(out, "jbx - the JotBox (ひとこと帳) command-line tool\n\nusage:\n");
  for (const auto& c : kCommands) std::fprintf(out, "  %s\n", c.usage);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") ||
      !std::strcmp(argv[1], "help")) {
    Usage(stdout);
    return argc < 2 ? 2 : 0;
  }
  for (const auto& c : kCommands) {
    if (!std::strcmp(argv[1], c.name)) return c.run(argc - 1, argv + 1);
  }
  std::fprintf(stderr, "jbx: unknown command '%s'\n", argv[1]);
  Usage(stderr);
  return 2;
}
