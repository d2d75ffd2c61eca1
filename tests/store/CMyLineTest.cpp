#include <gtest/gtest.h>

#include "platform/FileOps.h"
#include "platform/LittleEndian.h"
#include "store/CMyLine.h"
#include "support/TempDir.h"

TEST(CMyLine, OutOfRangeLinesAreEmptyOrNull) {
  CMyLine l(2048);
  l.Append("abc");
  EXPECT_STREQ("", l.Text(5));
  EXPECT_STREQ("", l.Text(-1));
  EXPECT_EQ(nullptr, l.Item(1));
  EXPECT_EQ(nullptr, l.Item(-1));
  EXPECT_EQ(0, l.Length(9));
  EXPECT_EQ(nullptr, l.GetEntry(1));
}

TEST(CMyLine, RewriteStaysInPlaceWhileItFitsItsReserve) {
  CMyLine l(2048);
  l.Set(0, "12345");
  const char* where = l.Item(0);
  l.Set(0, "123456");  // 6 + 2 < 15
  EXPECT_EQ(where, l.Item(0));
  EXPECT_STREQ("123456", l.Text(0));
  l.Set(0, "1234567890123");  // 13 + 2 >= 15
  EXPECT_NE(where, l.Item(0));
  EXPECT_STREQ("1234567890123", l.Text(0));
  EXPECT_EQ(13, l.MaxLength());
  l.Set(0, "1");
  EXPECT_EQ(1, l.MaxLength());
}

TEST(CMyLine, SetPastTheEndExtendsWithEmptyLines) {
  CMyLine l(512);
  ASSERT_EQ(1, l.Set(3, "x"));
  EXPECT_EQ(4, l.Count());
  EXPECT_STREQ("", l.Text(1));
  EXPECT_EQ(nullptr, l.Item(1));
  l.Insert(1);
  EXPECT_EQ(5, l.Count());
  EXPECT_STREQ("x", l.Text(4));
  l.Insert(7);
  EXPECT_EQ(8, l.Count());
  l.Delete(4);
  EXPECT_EQ(7, l.Count());
  l.Delete(99);
  EXPECT_EQ(7, l.Count());
  EXPECT_EQ(0, l.Swap(0, 7));
  EXPECT_EQ(1, l.Swap(0, 6));
}

TEST(CMyLine, ManyLinesAcrossBlocksKeepTheirBytes) {
  CMyLine l(512);
  for (int i = 0; i < 2000; ++i) l.Append(std::string(i % 700, static_cast<char>('a' + i % 26)));
  // delete every other line so blocks empty and are freed
  for (int i = 1999; i >= 0; i -= 2) l.Delete(i);
  ASSERT_EQ(1000, l.Count());
  for (int i = 0; i < 1000; ++i) {
    int orig = i * 2;
    ASSERT_EQ(orig % 700, l.Length(i));
    if (l.Length(i)) {
      ASSERT_EQ('a' + orig % 26, l.Text(i)[0]);
    }
    ASSERT_EQ('\0', l.Text(i)[l.Length(i)]);
  }
  // binary lines with NULs survive
  l.Set(0, std::string("a\0b", 3));
  EXPECT_EQ(3, l.Length(0));
  EXPECT_EQ('b', l.Item(0)[2]);
}

TEST(CMyLine, SetTextStopsAtAControlCharacterButKeepsTabs) {
  CMyLine l;
  l.SetText(0, "a\tb\rc");
  EXPECT_STREQ("a\tb", l.Text(0));
}

TEST(CMyLine, ReadTextEndsLinesAtCrAndDropsLf) {
  TempDir dir;
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb", {"a", "b"}},  // lone CR ends a line; last line without CR
      {"a\nb\r\n", {"ab"}},  // lone LF is dropped
      {"\r\n\r\n", {"", ""}},
      {std::string(2500, 'x'), {std::string(1024, 'x'), std::string(1024, 'x'), std::string(452, 'x')}},
  };
  for (const auto& c : cases) {
    WriteBytes(dir / "t.txt", c.bytes);
    CMyLine l;
    ASSERT_EQ(static_cast<int>(c.lines.size()), l.ReadText(dir / "t.txt"));
    for (size_t i = 0; i < c.lines.size(); ++i) EXPECT_EQ(c.lines[i], l.Str(static_cast<int>(i)));
  }
  CMyLine l;
  EXPECT_EQ(-1, l.ReadText(dir / "missing.txt"));
  // a folder opens but every read of it fails: that is not an empty list
  ASSERT_TRUE(fileops::MakeDir(dir / "folder.txt"));
  EXPECT_EQ(-3, l.ReadText(dir / "folder.txt"));
}

TEST(CMyLine, WriteTextPutsCrLfAfterEveryLine) {
  TempDir dir;
  CMyLine l;
  l.Append("a");
  l.Append("");
  l.Append("c");
  EXPECT_EQ(3, l.WriteText(dir / "o.txt"));
  EXPECT_EQ("a\r\n\r\nc\r\n", ReadBytes(dir / "o.txt"));
  EXPECT_EQ(-1, l.WriteText(dir / "no/such/o.txt"));
}

TEST(CMyLine, ListRoundTripsByteForByte) {
  TempDir dir;
  CMyLine l;
  l.Append("abc");
  l.Append("");
  l.Append(std::string("\0\x01\xff", 3));
  ASSERT_EQ(3, l.WriteList(dir / "a.li"));
  std::string expect("LI\x01\0\0\0", 6);
  le::AppendI32(expect, 3);
  expect += "abc";
  le::AppendI32(expect, 0);
  le::AppendI32(expect, 3);
  expect += std::string("\0\x01\xff", 3);
  le::AppendI32(expect, -1);
  EXPECT_EQ(expect, ReadBytes(dir / "a.li"));
  CMyLine r;
  ASSERT_EQ(3, r.ReadList(dir / "a.li"));
  EXPECT_EQ(l.Str(2), r.Str(2));
}

TEST(CMyLine, DamagedListsKeepWhatWasSound) {
  TempDir dir;
  auto list = [](std::initializer_list<int32_t> lens, const std::string& tail = "") {
    std::string s("LI\x01\0\0\0", 6);
    for (int32_t n : lens) {
      le::AppendI32(s, n);
      if (n > 0) s += std::string(static_cast<size_t>(n), 'z');
    }
    return s + tail;
  };
  struct Case {
    const char* what;
    std::string bytes;
    int result;
  } cases[] = {
      {"wrong header", "LX\x01\0\0\0", -3},
      {"too short for a header", "LI", -3},
      {"no end marker", list({2, 3}), 2},
      {"short record", list({2}) + std::string("\x05\0\0\0ab", 6), 1},
      {"hostile length", list({1}) + std::string("\xff\xff\xff\x7f", 4), 1},
      {"negative length", list({1}) + std::string("\xfe\xff\xff\xff", 4) + "zz", 1},
      {"long line grows the buffer", list({5000, -1}), 1},
  };
  for (const auto& c : cases) {
    WriteBytes(dir / "d.li", c.bytes);
    CMyLine l;
    EXPECT_EQ(c.result, l.ReadList(dir / "d.li")) << c.what;
  }
  CMyLine l;
  l.Append("x");
  EXPECT_EQ(-1, l.ReadList(dir / "missing.li"));
  EXPECT_EQ(0, l.Count());
}

TEST(CMyLine, EmbeddedListOnAnOpenHandle) {
  TempDir dir;
  CMyLine a, b;
  a.Append("first");
  b.Append("second");
  b.Append("third");
  std::string path = dir / "two.bin";
  FILE* fp = std::fopen(path.c_str(), "wb");
  ASSERT_EQ(1, a.WriteList(fp));
  ASSERT_EQ(2, b.WriteList(fp));
  std::fclose(fp);
  fp = std::fopen(path.c_str(), "rb");
  CMyLine ra, rb;
  EXPECT_EQ(1, ra.ReadList(fp));
  EXPECT_EQ(2, rb.ReadList(fp));
  std::fclose(fp);
  EXPECT_STREQ("third", rb.Text(1));
}
