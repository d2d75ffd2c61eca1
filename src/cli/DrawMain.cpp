// jbx-draw: the subcommands of jbx that draw through Qt. jbx runs it in its
// own place for them (cli/Cli.cpp), so that jbx itself starts without Qt;
// run on its own it is jbx with these subcommands.
#include "cli/Cli.h"
#include "cli/Commands.h"

int main(int argc, char** argv) {
  // one line a subcommand; its entry in the table of Cli.cpp runs kDrawing,
  // and its Cmd<Name>.cpp is listed in JBX_DRAW_COMMANDS (CMakeLists.txt)
  static const std::vector<cli::Drawer> kDrawers = {
      {"render", CmdRender}, {"print", CmdPrint}, {"draw", CmdDraw}, {"sheet", CmdSheet}, {"chart", CmdChart},
  };
  return cli::Main(argc, argv, kDrawers);
}
