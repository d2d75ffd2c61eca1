#include <gtest/gtest.h>

#include "exchange/ArchiveFormat.h"
#include "exchange/BackupDue.h"
#include "platform/Cp932.h"
#include "platform/LittleEndian.h"

TEST(BackupDue, IntervalsAndTheRecordedOffer) {
  struct Case {
    int kind, ymd;
    CivilDate today;
    bool due;
    int ymdAfter;
  } cases[] = {
      {0, 20200101, {2026, 12, 9}, false, 20200101},   // never
      {7, 0, {2026, 12, 9}, false, 20261209},          // first start: only recorded
      {7, 20261201, {2026, 12, 9}, true, 20261209},    // eight days ago
      {7, 20261202, {2026, 12, 9}, true, 20261209},    // exactly seven
      {7, 20261203, {2026, 12, 9}, false, 20261203},   // six
      {31, 20261109, {2026, 12, 9}, false, 20261109},  // thirty days
      {31, 20261108, {2026, 12, 9}, true, 20261209},
      {1, 20261208, {2026, 12, 9}, true, 20261209},
      {1, 20261209, {2026, 12, 9}, false, 20261209},
      {3, 20261208, {2026, 12, 9}, true, 20261209},  // any other kind is daily
      {7, 20261228, {2027, 1, 4}, true, 20270104},   // across a year
      {1, 20240228, {2024, 2, 29}, true, 20240229},
  };
  for (const Case& c : cases) {
    int ymd = c.ymd;
    EXPECT_EQ(c.due, BackupDue(c.kind, ymd, c.today)) << c.kind << " " << c.ymd;
    EXPECT_EQ(c.ymdAfter, ymd) << c.kind << " " << c.ymd;
  }
  // a cancelled offer does not come back before the interval passed again
  int ymd = 20261201;
  EXPECT_TRUE(BackupDue(7, ymd, {2026, 12, 9}));
  EXPECT_FALSE(BackupDue(7, ymd, {2026, 12, 15}));
  EXPECT_TRUE(BackupDue(7, ymd, {2026, 12, 16}));
}

TEST(ArchiveFormat, HeadersRoundTripFieldByField) {
  std::string fh = mbk::EncodeFileHeader();
  ASSERT_EQ(32u, fh.size());
  EXPECT_EQ(-2, le::GetI32(fh.data()));
  EXPECT_EQ(1, le::GetI32(fh.data() + 4));
  EXPECT_EQ(std::string(24, '\0'), fh.substr(8));

  mbk::EntryHeader e;
  e.type = mbk::kFile;
  e.size = 70000;
  e.fileTime = mbk::ToFileTime(1767225600, 500);  // 2026-01-01 00:00:00 UTC
  e.name = "日記帳\\dt202601.jdt"_sj;
  std::string b = mbk::EncodeEntry(e);
  ASSERT_EQ(300u, b.size());
  EXPECT_EQ(-2, le::GetI32(b.data()));
  EXPECT_EQ(1, le::GetI32(b.data() + 4));
  EXPECT_EQ(32, le::GetI32(b.data() + 12));
  EXPECT_EQ(70000, le::GetI32(b.data() + 16));
  EXPECT_EQ(0, le::GetI32(b.data() + 292));
  EXPECT_EQ(0, le::GetI32(b.data() + 296));
  EXPECT_EQ('\0', b[28 + e.name.size()]);
  mbk::EntryHeader d = mbk::DecodeEntry(b.data());
  EXPECT_EQ(e.name, d.name);
  EXPECT_EQ(e.fileTime, d.fileTime);
  EXPECT_EQ(1767225600, mbk::ToUnixSeconds(d.fileTime));
  EXPECT_EQ(116444736000000000LL, mbk::ToFileTime(0));  // the two epochs
  // a name filling the whole field is read only within it
  std::string full = b;
  std::fill(full.begin() + 28, full.begin() + 292, 'a');
  EXPECT_EQ(264u, mbk::DecodeEntry(full.data()).name.size());
}

TEST(ArchiveFormat, EntryNamesThatMayBeRestored) {
  struct Case {
    std::string name;
    bool folder;
    bool ok;
  } cases[] = {
      {"jbxuser.ini", false, true},
      {"日記帳\\dt202601.jdt"_sj, false, true},
      {"日記帳"_sj, true, true},
      {"\x95\x5c.txt", false, true},        // 表: its trail byte is "\", not a folder
      {"\x95\x5c\\\x95\x5c", false, true},  // 表\表
      {"日記帳\\x"_sj, true, false},        // a folder entry is one component
      {"", false, false},
      {"..", false, false},
      {".", true, false},
      {"..\\jbxuser.ini", false, false},
      {"div\\..", false, false},
      {"div\\.", false, false},
      {"\\etc", false, false},
      {"div\\", false, false},
      {"a\\b\\c", false, false},
      {"C:\\Windows", false, false},
      {"C:x", false, false},
      {"/etc/passwd", false, false},
      {"div/../../x", false, false},
      {"a\tb", false, false},
      {"\x81", false, false},  // a lead byte without its trail
  };
  for (const Case& c : cases) {
    std::string a, b;
    EXPECT_EQ(c.ok, mbk::SafeName(c.name, c.folder, &a, &b)) << cp932::ToUtf8(c.name);
  }
  std::string a, b;
  ASSERT_TRUE(mbk::SafeName("日記帳\\scrin.jsc"_sj, false, &a, &b));
  EXPECT_EQ("日記帳"_sj, a);
  EXPECT_EQ("scrin.jsc", b);
}

TEST(ArchiveFormat, CrcAndNames) {
  EXPECT_EQ(0xCBF43926u, mbk::Crc32(0, "123456789", 9));
  EXPECT_EQ(mbk::Crc32(0, "123456789", 9), mbk::Crc32(mbk::Crc32(0, "1234", 4), "56789", 5));
  EXPECT_EQ("taro_3.mbk", mbk::ArchiveName("taro", 3));
  // eight bytes a step gives what one byte a step gives, at every length,
  // alignment and split
  auto bytewise = [](const std::string& s, uint32_t poly = 0xEDB88320u) {
    uint32_t c = ~0u;
    for (unsigned char b : s) {
      c ^= b;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? poly ^ (c >> 1) : c >> 1;
    }
    return ~c;
  };
  // the backup's read-back check, through the processor's instruction here
  EXPECT_EQ(0xE3069283u, mbk::Crc32c(0, "123456789", 9));
  std::string big;
  for (int i = 0; i < 50000; ++i) big += static_cast<char>((i * 7919) >> 5 ^ i);
  for (size_t cut : {0, 5, 12289, 49999})
    EXPECT_EQ(bytewise(big, 0x82F63B78u),
              mbk::Crc32c(mbk::Crc32c(0, big.data(), cut), big.data() + cut, big.size() - cut))
        << cut;
  std::string data;
  for (int i = 0; i < 300; ++i) data += static_cast<char>((i * 131 + 7) ^ (i >> 3));
  for (size_t from = 0; from < 9; ++from)
    for (size_t len = 0; from + len <= data.size(); len += 13) {
      const std::string s = data.substr(from, len);
      EXPECT_EQ(bytewise(s), mbk::Crc32(0, s.data(), s.size())) << from << " " << len;
      const size_t half = len / 3;
      EXPECT_EQ(bytewise(s), mbk::Crc32(mbk::Crc32(0, s.data(), half), s.data() + half, len - half));
      EXPECT_EQ(bytewise(s, 0x82F63B78u),
                mbk::Crc32c(mbk::Crc32c(0, s.data(), half), s.data() + half, len - half));
    }
}
