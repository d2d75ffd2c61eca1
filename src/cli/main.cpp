// jbx: the command-line tool over the notebook's core.
#include "cli/Cli.h"

int main(int argc, char** argv) { return cli::Main(argc, argv); }
