// The help that ships beside the program: every topic a help button or menu
// item opens resolves to a page that is there, and no page points at a
// file or anchor that is not.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Opener.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

const std::string kSourceHelp = std::string(JBX_SOURCE_DIR) + "/help";
const std::string kProgramHelp = std::string(JBX_PROGRAM_DIR) + "/help";

std::string Read(const std::string& path) {
  std::string s;
  (void)fileops::ReadAll(path, s);
  return s;
}

struct Topic {
  std::string keyword;  // UTF-8, as written in the code
  std::string where;    // file that names it
};

// Every ShowHelp call in src/ with its keyword. The keyword must be a
// literal ("..." or "..."_sj or cp932::FromUtf8("...")), so that this test
// sees it; a call that computes its keyword is reported as a failure.
std::vector<Topic> TopicsInTheCode(std::vector<std::string>& unreadable) {
  std::vector<Topic> topics;
  for (const auto& e : fs::recursive_directory_iterator(std::string(JBX_SOURCE_DIR) + "/src")) {
    const std::string ext = e.path().extension().string();
    if (!e.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
    const std::string name = e.path().filename().string();
    if (name == "CMyGlobal.cpp" || name == "CMyGlobal.h") continue;  // the definition
    const std::string text = Read(e.path().string());
    for (size_t at = text.find("ShowHelp("); at != std::string::npos; at = text.find("ShowHelp(", at + 1)) {
      size_t p = at + 9;
      while (p < text.size() && (text[p] == ' ' || text[p] == '\n')) ++p;
      const std::string wrap = "cp932::FromUtf8(";
      if (text.compare(p, wrap.size(), wrap) == 0) p += wrap.size();
      // F1's topic comes from the table ByWindow, whose keywords are checked below
      if (text.compare(p, 20, "helptopics::KeywordO") == 0) continue;
      const size_t close = p < text.size() && text[p] == '"' ? text.find('"', p + 1) : std::string::npos;
      if (close == std::string::npos) {
        unreadable.push_back(name);
        continue;
      }
      topics.push_back({text.substr(p + 1, close - p - 1), name});
    }
  }
  return topics;
}

// `target` ("page.html#anchor", relative to `folder`) names a file there
// and, with an anchor, an element of that file with that id.
std::string Missing(const std::string& folder, const std::string& target) {
  const size_t hash = target.find('#');
  const std::string file = target.substr(0, hash);
  const std::string path = folder + "/" + file;
  if (!fileops::IsFile(path)) return "no file " + path;
  if (hash == std::string::npos) return {};
  const std::string anchor = target.substr(hash + 1);
  const std::string page = Read(path);
  if (page.find("id=\"" + anchor + "\"") == std::string::npos &&
      page.find("name=\"" + anchor + "\"") == std::string::npos)
    return "no anchor #" + anchor + " in " + path;
  return {};
}

std::vector<std::string> HelpPages(const std::string& folder) {
  std::vector<std::string> pages;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().extension() == ".html") pages.push_back(e.path().filename().string());
  return pages;
}

// The href and src attributes of a page that point inside the help folder.
std::vector<std::string> LocalLinks(const std::string& page) {
  std::vector<std::string> links;
  for (const std::string attr : {"href=\"", "src=\""}) {
    for (size_t at = page.find(attr); at != std::string::npos; at = page.find(attr, at + 1)) {
      if (at > 0 && page[at - 1] != ' ' && page[at - 1] != '\n') continue;  // e.g. data-src
      const size_t begin = at + attr.size();
      const std::string link = page.substr(begin, page.find('"', begin) - begin);
      if (link.rfind("http:", 0) == 0 || link.rfind("https:", 0) == 0 || link.rfind("mailto:", 0) == 0)
        continue;
      links.push_back(link);
    }
  }
  return links;
}

}  // namespace

TEST(HelpPages, EveryTopicTheCodeOpensResolvesToAPageBesideTheProgram) {
  std::vector<std::string> unreadable;
  const std::vector<Topic> topics = TopicsInTheCode(unreadable);
  EXPECT_TRUE(unreadable.empty()) << "ShowHelp without a literal keyword in " << unreadable.front();
  // the contents page, the new-book, extraction, export and import buttons at least
  ASSERT_GE(topics.size(), 5u);

  TempDir home;
  ScriptedPrompter prompter;
  FixedClock clock{{2026, 12, 9}};
  CMyGlobal global(prompter, clock, JBX_PROGRAM_DIR, home / "data");
  for (const Topic& t : topics) {
    RecordingOpener opener;
    const std::string page = global.ShowHelp(cp932::FromUtf8(t.keyword), &opener);
    ASSERT_FALSE(page.empty()) << "「" << t.keyword << "」 (" << t.where << ") is not in help/keywords.txt";
    EXPECT_EQ(1u, opener.opened.size()) << t.keyword;
    const std::string relative = page.substr(page.rfind("/help/") + 6);
    EXPECT_EQ("", Missing(kProgramHelp, relative)) << "「" << t.keyword << "」 (" << t.where << ")";
  }
  EXPECT_TRUE(prompter.Shown().empty());
}

TEST(HelpPages, EveryKeywordNamesAPageAndAnchorThatExist) {
  const std::string index = Read(kSourceHelp + "/keywords.txt");
  ASSERT_FALSE(index.empty());
  std::set<std::string> keywords;
  size_t pos = 0;
  int line = 0;
  while (pos < index.size()) {
    size_t end = index.find('\n', pos);
    if (end == std::string::npos) end = index.size();
    const std::string text = index.substr(pos, end - pos);
    pos = end + 1;
    ++line;
    if (text.empty()) continue;
    const size_t tab = text.find('\t');
    ASSERT_NE(std::string::npos, tab) << "keywords.txt line " << line << " has no TAB";
    const std::string keyword = text.substr(0, tab);
    // the look-up stops at the first line with the keyword: a second one is never reached
    EXPECT_TRUE(keywords.insert(keyword).second) << "「" << keyword << "」 twice in keywords.txt";
    EXPECT_LE(keyword.size(), 127u) << keyword;
    EXPECT_EQ("", Missing(kSourceHelp, text.substr(tab + 1))) << "keywords.txt line " << line;
  }
}

TEST(HelpPages, NoPageLinksToAMissingFileOrAnchorAndTheContentsLinkEveryPage) {
  const std::vector<std::string> pages = HelpPages(kProgramHelp);
  ASSERT_GE(pages.size(), 18u);
  std::set<std::string> linkedFromIndex;
  for (const std::string& name : pages) {
    const std::string page = Read(kProgramHelp + "/" + name);
    EXPECT_NE(std::string::npos, page.find("<meta charset=\"utf-8\">")) << name;
    for (const std::string& link : LocalLinks(page)) {
      const std::string target = link.empty() || link[0] == '#' ? name + link : link;
      EXPECT_EQ("", Missing(kProgramHelp, target)) << "in " << name << ": " << link;
      if (name == "index.html") linkedFromIndex.insert(target.substr(0, target.find('#')));
    }
  }
  for (const std::string& name : pages) {
    if (name != "index.html") {
      EXPECT_TRUE(linkedFromIndex.count(name)) << name << " is not in the contents";
    }
  }
}

TEST(HelpPages, EverySourceFileIsCopiedBesideTheProgram) {
  for (const auto& e : fs::recursive_directory_iterator(kSourceHelp)) {
    if (!e.is_regular_file()) continue;
    const std::string relative = fs::relative(e.path(), kSourceHelp).string();
    EXPECT_EQ(Read(e.path().string()), Read(kProgramHelp + "/" + relative)) << relative;
  }
}
