// jbx pack: builds a package from its readable source folder.
#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/PackageBuilder.h"
#include "catalogue/PackageJson.h"
#include "cli/Cli.h"
#include "cli/Commands.h"
#include "platform/FileOps.h"

int CmdPack(int argc, char** argv) {
  cli::Args args(argc, argv);
  const std::vector<std::string> rest = args.Rest();
  if (!args.Ok()) return cli::UsageError("pack", args.Error());
  if (rest.size() != 2) return cli::UsageError("pack", "ソースのフォルダと出力ファイルを指定してください");
  if (!fileops::IsDir(rest[0])) return cli::Fail("pack", "フォルダが見つかりません: " + rest[0]);
  PackageBuilder builder;
  builder.SetInputCompiler(packagejson::CompileInput);
  builder.SetScreenCompiler(packagejson::CompileScreen);
  std::string bytes, error;
  if (builder.Build(rest[0], bytes, error) != 0)
    return cli::Fail("pack", "パッケージを作れません: " + rest[0] + ": " + error);
  if (!fileops::WriteAtomic(rest[1], bytes)) return cli::Fail("pack", "書込に失敗しました: " + rest[1]);
  return cli::kSuccess;
}
