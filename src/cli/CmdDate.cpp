#include "cli/Commands.h"
int CmdDate(int, char**) { return 1; }
int CmdTime(int, char**) { return 1; }
int CmdDump(int, char**) { return 1; }
