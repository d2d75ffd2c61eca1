// jbx pack: builds a package from its readable source folder.
#include <cstdio>
#include <string>

#include "catalogue/PackageBuilder.h"
#include "catalogue/PackageJson.h"
#include "cli/Commands.h"
#include "platform/FileOps.h"

int CmdPack(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: jbx pack SOURCE_DIR OUT.jpk\n");
    return 2;
  }
  PackageBuilder builder;
  builder.SetInputCompiler(packagejson::CompileInput);
  builder.SetScreenCompiler(packagejson::CompileScreen);
  std::string bytes, error;
  if (builder.Build(argv[1], bytes, error) != 0) {
    std::fprintf(stderr, "jbx pack: %s\n", error.c_str());
    return 2;
  }
  if (!fileops::WriteAtomic(argv[2], bytes)) {
    std::fprintf(stderr, "jbx pack: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
