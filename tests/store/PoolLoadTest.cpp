// Data files are read in one piece into the record pool and their records
// indexed where they lie. These tests pin what that path must keep from the
// record-by-record copy it replaced: the same records and refusals for every
// damaged file, records that never reach past their own bytes, and saves that
// write the same bytes after records were changed in place.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "StoreTestUtil.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "store/CMyDB.h"
#include "store/CMyLine.h"
#include "support/TempDir.h"

namespace {

constexpr int T = fielddef::kTypeText;

std::string Header(int flag, int count) {
  std::string f;
  le::AppendI32(f, flag);
  le::AppendI32(f, count);
  le::AppendI32(f, 0);
  le::AppendI32(f, 0);
  return f;
}

// A record of values laid out one after another, each followed by
// 1 + extra[i] NULs.
std::string Record(unsigned char status, const std::vector<std::string>& values,
                   std::vector<int> extra = {}) {
  extra.resize(values.size(), 0);
  std::string rec(1 + 2 * values.size(), '\0');
  rec[0] = static_cast<char>(status);
  for (size_t i = 0; i < values.size(); ++i) {
    le::PutU16(&rec[1 + 2 * i], static_cast<uint16_t>(rec.size()));
    rec += values[i];
    rec.append(static_cast<size_t>(1 + extra[i]), '\0');
  }
  return rec;
}

void AppendRecord(std::string& file, const std::string& rec) {
  le::AppendI32(file, static_cast<int32_t>(rec.size() + 1));
  file += rec;
  file.push_back('\0');
}

// What a table holds, record by record, and what it showed.
struct Loaded {
  int rc = 0;
  std::vector<std::string> records;
  int live = 0;
  size_t messages = 0;
  bool operator==(const Loaded& o) const {
    return rc == o.rc && records == o.records && live == o.live && messages == o.messages;
  }
};

Loaded Snapshot(const CMyDB& t, int rc, const ScriptedPrompter& p) {
  Loaded l;
  l.rc = rc;
  for (int r = 0; r < t.RecordCount(); ++r) l.records.emplace_back(t.RecordBytes(r));
  l.live = t.LiveCount();
  l.messages = p.Shown().size();
  return l;
}

class PoolLoadTest : public ::testing::Test {
 protected:
  // Three fields of at most 5 bytes; the table already holds one record, so
  // a file is appended after records of the pool.
  void Prepare(CMyDB& t) {
    ASSERT_EQ(0, DefineFields(t, {{"A", T, 5}, {"B", T, 5}, {"C", T, 5}}));
    ASSERT_EQ(0, AddRecord(t, {"first", "", "x"}));
  }
  Loaded FromFile(const std::string& bytes) {
    ScriptedPrompter p;
    CMyDB t(&p);
    Prepare(t);
    WriteBytes(dir / "f.jdt", bytes);
    const int rc = t.ReadFile(dir / "f.jdt", false);
    return Snapshot(t, rc, p);
  }
  Loaded FromBytes(const std::string& bytes) {
    ScriptedPrompter p;
    CMyDB t(&p);
    Prepare(t);
    const int rc = t.ReadBytes(bytes, false);
    return Snapshot(t, rc, p);
  }
  // A data file of three records, the middle one with extra NULs.
  std::string ValidFile() {
    std::string f = Header(1, 3);
    AppendRecord(f, Record(0, {"one", "ab", "z"}));
    AppendRecord(f, Record(1, {"two", "", "xy"}, {2, 1, 0}));  // a selection mark, extra NULs
    AppendRecord(f, Record(0x80, {"", "", ""}));               // deleted
    le::AppendI32(f, 0);
    return f;
  }
  TempDir dir;
};

TEST_F(PoolLoadTest, AWholeFileReadsAsItsCopyDoes) {
  const std::string file = ValidFile();
  Loaded l = FromFile(file);
  ASSERT_EQ(0, l.rc);
  ASSERT_EQ(4u, l.records.size());
  EXPECT_EQ(3, l.live);
  EXPECT_EQ(FromBytes(file), l);
}

TEST_F(PoolLoadTest, EveryTruncationAndEveryFlippedBitIsReadAsBefore) {
  const std::string file = ValidFile();
  for (size_t n = 0; n < file.size(); ++n) {
    const std::string cut = file.substr(0, n);
    ASSERT_EQ(FromBytes(cut), FromFile(cut)) << "cut at " << n;
  }
  for (size_t i = 0; i < file.size(); ++i)
    for (int bit = 0; bit < 8; ++bit) {
      std::string f = file;
      f[i] = static_cast<char>(f[i] ^ (1 << bit));
      const Loaded l = FromFile(f);
      ASSERT_EQ(FromBytes(f), l) << i << ":" << bit;
      ASSERT_TRUE(l.rc == 0 || l.rc == 301 || l.rc == 302 || l.rc == 304 || l.rc == 305) << l.rc;
    }
}

// The documented rule, value by value: every offset lies in the record and
// every value, up to its first NUL or the record's end, fits its field.
bool Sound(const std::string& rec, const std::vector<int>& maxima) {
  const int n = static_cast<int>(maxima.size());
  const int head = 1 + 2 * n;
  if (static_cast<int>(rec.size()) < head) return false;
  for (int i = 0; i < n; ++i) {
    const int off = le::GetU16(rec.data() + 1 + 2 * i);
    if (off < head || off > static_cast<int>(rec.size())) return false;
    size_t len = 0;
    while (off + len < rec.size() && rec[off + len] != '\0') ++len;
    if (len > static_cast<size_t>(maxima[static_cast<size_t>(i)])) return false;
  }
  return true;
}

TEST_F(PoolLoadTest, RecordsOfAnyLayoutAreAcceptedExactlyByTheRule) {
  std::mt19937 rng(7);
  const std::vector<int> maxima{5, 5, 5};
  int accepted = 0, refused = 0;
  for (int k = 0; k < 4000; ++k) {
    // Mostly records as Store builds them, then bent: an offset moved, a NUL
    // dropped, a value lengthened, the record cut or extended.
    std::string rec(1, '\0');
    std::string values;
    const int head = 7;
    for (int i = 0; i < 3; ++i) {
      rec.push_back(0);
      rec.push_back(0);
    }
    for (int i = 0; i < 3; ++i) {
      le::PutU16(&rec[1 + 2 * static_cast<size_t>(i)], static_cast<uint16_t>(head + values.size()));
      values += std::string(rng() % 7, static_cast<char>('a' + i));
      values.push_back('\0');
    }
    rec += values;
    switch (rng() % 6) {
      case 0:
        le::PutU16(&rec[1 + 2 * (rng() % 3)], static_cast<uint16_t>(rng() % (rec.size() + 3)));
        break;
      case 1:
        rec[head + rng() % (rec.size() - head)] = 'q';
        break;
      case 2:
        rec.resize(rng() % (rec.size() + 1));
        break;
      case 3:
        rec += std::string(rng() % 4, '\0');
        break;
      default:
        break;
    }
    if (rec.empty()) rec.push_back('\0');
    std::string file = Header(1, 3);
    AppendRecord(file, rec);
    le::AppendI32(file, 0);
    const Loaded l = FromBytes(file);
    const bool sound = Sound(rec, maxima) && static_cast<int>(rec.size()) <= 1 + 6 + 3 * 6;
    ASSERT_EQ(sound ? 0 : CMyDB::kDamagedRecord, l.rc) << k;
    (sound ? accepted : refused) += 1;
    if (sound) {
      ASSERT_EQ(rec, l.records[1]);
    }
  }
  EXPECT_GT(accepted, 1000);
  EXPECT_GT(refused, 1000);
}

TEST_F(PoolLoadTest, ChangedRecordsMoveOutWithoutTouchingTheirNeighbours) {
  ScriptedPrompter p;
  CMyDB t(&p);
  Prepare(t);
  WriteBytes(dir / "f.jdt", ValidFile());
  ASSERT_EQ(0, t.ReadFile(dir / "f.jdt", false));
  ASSERT_EQ(0, t.ReadFile(dir / "f.jdt", false));  // files load one after another
  ASSERT_EQ(7, t.RecordCount());
  // a longer value cannot stay where the file put the record
  ASSERT_EQ(0, t.Load(1));
  ASSERT_EQ(0, t.SetValue(2, "zzzzz"));
  ASSERT_EQ(0, t.Store());
  // a shorter one may
  ASSERT_EQ(0, t.Load(2));
  ASSERT_EQ(0, t.SetValue(0, "t"));
  ASSERT_EQ(0, t.Store());
  EXPECT_EQ(1, t.MarkDeleted(5));
  const std::vector<std::vector<std::string>> want = {
      {"first", "", "x"}, {"one", "ab", "zzzzz"}, {"t", "", "xy"}, {"", "", ""},
      {"one", "ab", "z"}, {"two", "", "xy"},      {"", "", ""}};
  for (int r = 0; r < 7; ++r)
    for (int f = 0; f < 3; ++f)
      EXPECT_STREQ(want[static_cast<size_t>(r)][static_cast<size_t>(f)].c_str(), t.Value(f, r))
          << r << "," << f;
  EXPECT_EQ(4, t.LiveCount());

  // saved and read back, the same as the same edits on copied records
  CMyDB copy(&p);
  Prepare(copy);
  ASSERT_EQ(0, copy.ReadBytes(ValidFile(), false));
  ASSERT_EQ(0, copy.ReadBytes(ValidFile(), false));
  ASSERT_EQ(0, copy.Load(1));
  ASSERT_EQ(0, copy.SetValue(2, "zzzzz"));
  ASSERT_EQ(0, copy.Store());
  ASSERT_EQ(0, copy.Load(2));
  ASSERT_EQ(0, copy.SetValue(0, "t"));
  ASSERT_EQ(0, copy.Store());
  ASSERT_EQ(1, copy.MarkDeleted(5));
  const int numbers[] = {0, 1, 2, 3, 4, 5, 6};
  ASSERT_EQ(0, t.WriteSubset(dir / "a.jdt", numbers, 7));
  ASSERT_EQ(0, copy.WriteSubset(dir / "b.jdt", numbers, 7));
  EXPECT_EQ(ReadBytes(dir / "b.jdt"), ReadBytes(dir / "a.jdt"));
}

TEST_F(PoolLoadTest, MissingFoldersAndFilesAreRefusedAsBefore) {
  ScriptedPrompter p;
  CMyDB t(&p);
  Prepare(t);
  EXPECT_EQ(CMyDB::kCannotOpen, t.ReadFile(dir / "none.jdt", false));
  EXPECT_EQ(CMyDB::kCannotOpen, t.ReadFile(dir.path(), false));  // a folder is no file
  EXPECT_EQ(1, t.RecordCount());
  WriteBytes(dir / "empty.jdt", "");
  EXPECT_EQ(CMyDB::kBadStructure, t.ReadFile(dir / "empty.jdt", false));
  WriteBytes(dir / "other.jdt", Header(1, 4));
  EXPECT_EQ(CMyDB::kFieldCountDiffers, t.ReadFile(dir / "other.jdt", false));
  ASSERT_EQ(1, AddRecord(t, {"next", "", ""}));
  EXPECT_STREQ("first", t.Value(0, 0));
  EXPECT_STREQ("next", t.Value(0, 1));
}

TEST_F(PoolLoadTest, ReadingOnASecondThreadLoadsWhatOneAfterAnotherLoads) {
  // sound files, a missing one, a folder, damaged and cut ones, an empty one
  const std::string good = ValidFile();
  std::string damaged = good;
  damaged[16 + 4 + 1] = 0x7f;  // the first record's first offset
  const std::vector<std::pair<std::string, std::string>> files = {
      {"a.jdt", good},    {"b.jdt", good.substr(0, good.size() - 3)},
      {"c.jdt", damaged}, {"d.jdt", ""},
      {"e.jdt", good},    {"f.jdt", Header(1, 4)},
      {"g.jdt", good},
  };
  std::vector<std::string> paths;
  for (const auto& [name, bytes] : files) {
    WriteBytes(dir / name, bytes);
    paths.push_back(dir / name);
    if (name == "b.jdt") paths.push_back(dir / "missing.jdt");
    if (name == "e.jdt") paths.push_back(dir.path());
  }
  for (bool stop : {false, true}) {
    ScriptedPrompter p1, p2;
    CMyDB one(&p1), both(&p2);
    Prepare(one);
    Prepare(both);
    std::vector<int> want;
    for (const std::string& path : paths) {
      want.push_back(one.ReadFile(path, false));
      if (stop && want.back() != 0) break;
    }
    want.resize(paths.size(), CMyDB::kCannotOpen);
    std::vector<int> got;
    both.ReadFiles(paths, got, stop);
    EXPECT_EQ(want, got) << stop;
    EXPECT_EQ(Snapshot(one, 0, p1), Snapshot(both, 0, p2)) << stop;
  }
  // with nothing or one file to read there is no second thread
  ScriptedPrompter p;
  CMyDB t(&p);
  Prepare(t);
  std::vector<int> got;
  t.ReadFiles({}, got);
  EXPECT_TRUE(got.empty());
  t.ReadFiles({paths[0]}, got);
  EXPECT_EQ(std::vector<int>{0}, got);
  EXPECT_EQ(4, t.RecordCount());
}

TEST(CMyLinePool, AdoptedLinesLieInTheRoomAndAreEndedThere) {
  CMyLine l(64);
  l.Append("a");
  char* room = l.Reserve(12);
  ASSERT_NE(nullptr, room);
  std::memcpy(room, "xyz?hello!..", 12);
  EXPECT_EQ(1, l.Adopt(room, 3));
  EXPECT_EQ(1, l.Adopt(room + 4, 5));
  EXPECT_EQ(0, l.Adopt(room + 8, 5));  // its NUL would fall past the room
  EXPECT_EQ(0, l.Adopt(room - 1, 1));  // before the room
  l.Commit(12);
  ASSERT_EQ(3, l.Count());
  EXPECT_STREQ("xyz", l.Text(1));
  EXPECT_STREQ("hello", l.Text(2));
  EXPECT_EQ(5, l.MaxLength());
  // a longer line moves out; a shorter one stays
  l.Set(1, "abcdef");
  EXPECT_NE(room, l.Item(1));
  EXPECT_STREQ("hello", l.Text(2));
  l.Set(2, "hel");
  EXPECT_EQ(room + 4, l.Item(2));
  EXPECT_STREQ("hel", l.Text(2));

  // a room given back is where the next line goes
  char* again = l.Reserve(100);
  l.Commit(0);
  l.Append("zz");
  EXPECT_EQ(again, l.Item(3));
}

TEST(CMyLinePool, AGrowingPoolKeepsEveryLine) {
  CMyLine l(2048);
  std::string s;
  // past the size where blocks are mapped in large pages
  for (int i = 0; i < 60000; ++i) {
    s.assign(static_cast<size_t>(20 + i % 90), static_cast<char>('a' + i % 26));
    ASSERT_EQ(1, l.Append(s));
  }
  // emptied blocks at the end are freed; rewritten lines move to new ones
  for (int i = 59999; i >= 40000; --i) l.Delete(i);
  for (int i = 0; i < 40000; i += 7) {
    s.assign(static_cast<size_t>(150), static_cast<char>('A' + i % 26));
    ASSERT_EQ(1, l.Set(i, s));
  }
  ASSERT_EQ(40000, l.Count());
  for (int i = 0; i < 40000; ++i) {
    const bool rewritten = i % 7 == 0;
    ASSERT_EQ(rewritten ? 150u : static_cast<size_t>(20 + i % 90), l.View(i).size()) << i;
    ASSERT_EQ(static_cast<char>((rewritten ? 'A' : 'a') + i % 26), l.Text(i)[0]) << i;
  }
  EXPECT_EQ(150, l.MaxLength());
  l.Clear();
  EXPECT_EQ(0, l.Count());
  l.Append("again");
  EXPECT_STREQ("again", l.Text(0));
}

}  // namespace
