// Compiles a readable package source (a folder with "package.json", texts
// in UTF-8) into the files a division needs and packs them. The format is
// described in docs/packages.md.
#pragma once
#include <functional>
#include <string>

#include "catalogue/PackageWriter.h"

class PackageBuilder {
 public:
  // Turns one JSON source file (UTF-8 text) into file bytes; false with an
  // error text. The screen-definition writers fill these in.
  using Compiler = std::function<bool(const std::string& jsonText, std::string& bytes, std::string& error)>;

  void SetInputCompiler(Compiler c) { input_ = std::move(c); }
  void SetScreenCompiler(Compiler c) { screen_ = std::move(c); }

  // Reads sourceDir/package.json and everything it names. 0, or -1 with
  // `error` (UTF-8) saying what and where.
  [[nodiscard]] int Build(const std::string& sourceDir, std::string& packageBytes, std::string& error) const;
  // The output file name without ".jpk" ("PK1_日記帳"), after Build.
  const std::string& FileName() const { return fileName_; }

  // "#RRGGBB" -> 0x00BBGGRR; false when malformed.
  [[nodiscard]] static bool ParseColour(const std::string& text, int& out);

 private:
  [[nodiscard]] int BuildImpl(const std::string& sourceDir, std::string& packageBytes,
                              std::string& error) const;
  Compiler input_, screen_;
  mutable std::string fileName_;
};
