// Writes display-screen files (".jos") in the layout CMyScr reads, for the
// package builder and for tests.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "screens/ScreenFormat.h"

struct ScreenItemDoc {
  jos::ItemHeader head;
  jos::FontRecord font;
  std::string text;  // CP932; written as the block's text
};

struct ScreenDoc {
  jos::ScreenLayout layout;
  std::vector<ScreenItemDoc> items;
  std::array<std::string, 3> texts;  // extraction condition, sort order, spare
};

// The file image. Each font block's text length is the text's, and its
// capacity is raised to hold it; each screen text is written with its NUL.
[[nodiscard]] std::string ScreenFileBytes(const ScreenDoc& doc);
// Writes the file atomically. 0, -1 when it could not be written.
[[nodiscard]] int WriteScreenFile(const std::string& path, const ScreenDoc& doc);
