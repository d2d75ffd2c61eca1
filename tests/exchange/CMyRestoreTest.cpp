#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "ExchangeFixture.h"
#include "exchange/CMyBackup.h"
#include "exchange/CMyRestore.h"
#include "platform/LittleEndian.h"

using exfix::Archive;
using exfix::Entry;
using exfix::Fixture;
using exfix::Tree;

namespace {

std::string BackUp(Fixture& f) {
  CMyBackup b(f.global, f.clock);
  EXPECT_EQ(0, b.Run());
  return f.back + "/taro_1.mbk";
}

// Names in the data root other than the users' folders and files we made:
// a staging or kept-aside folder left behind shows here.
std::vector<std::string> Leftovers(const Fixture& f) {
  std::vector<std::string> v;
  for (const std::string& n : fileops::List(f.root, "*", true))
    if (n.find(".restoring-") != std::string::npos || n.find(".before-restore-") != std::string::npos)
      v.push_back(n);
  return v;
}

// "hanako" already exists with a file of her own.
void MakeHanako(Fixture& f) {
  ASSERT_TRUE(fileops::MakeDirs(f.UserDir("hanako")));
  WriteBytes(f.UserDir("hanako") + "/jbxuser.ini", "hanako's settings");
  WriteBytes(f.UserDir("hanako") + "/own.txt", "only hanako has this");
}

}  // namespace

TEST(CMyRestore, RoundTripUnderAnotherName) {
  Fixture f;
  auto before = Tree(f.UserDir("taro"));  // what the archive holds: taken before the backup notes itself
  std::string archive = BackUp(f);
  CMyRestore r(f.global, f.clock);
  ASSERT_EQ(0, r.Run("jiro", archive)) << (f.prompter.Shown().empty() ? "" : f.prompter.ShownUtf8()[0]);
  EXPECT_TRUE(f.prompter.Shown().empty());
  auto after = Tree(f.UserDir("jiro"));
  // everything the archive takes is back; the rest was never taken
  for (const char* gone : {"/notes.txt", "/PhotSm/", "/PhotSm/a.jos"}) before.erase(f.diary + gone);
  EXPECT_EQ(exfix::Keys(before), exfix::Keys(after));
  EXPECT_TRUE(before == after) << "restored bytes differ";
  EXPECT_EQ("jiro", f.global.UserName());
  EXPECT_NE(std::string::npos, ReadBytes(f.root + "/jotbox.ini").find("NAME=jiro"));
  EXPECT_EQ("holidays of the data root", ReadBytes(f.root + "/holiday.dat"));  // same: nothing kept
  EXPECT_TRUE(r.KeptFiles().empty());
  EXPECT_TRUE(Leftovers(f).empty());
  struct stat st;
  ASSERT_EQ(0, ::stat((f.UserDir("jiro") + "/alarm.dat").c_str(), &st));
  EXPECT_EQ(0600u, st.st_mode & 0777);
  EXPECT_EQ(fileops::ModTime(f.UserDir("taro") + "/alarm.dat"), st.st_mtime);
}

TEST(CMyRestore, RefusalsBeforeAnythingIsWritten) {
  Fixture f;
  std::string archive = BackUp(f);
  WriteBytes(f.dir / "not.mbk", std::string("\x01\x00\x00\x00", 4) + std::string(40, '\0'));
  WriteBytes(f.dir / "short.mbk", std::string("\xfe\xff\xff\xff", 4));
  struct Case {
    std::string user, path;
    int code;
    const char* message;
  } cases[] = {
      {"", archive, CMyRestore::kNoUser, "ユーザー名を入力して下さい。"},
      {"jiro", "", CMyRestore::kNoPath, "パスを入力して下さい。"},
      {"jiro", f.dir / "missing.mbk", CMyRestore::kNoFile, "ファイルが存在しません。"},
      {"TARO", archive, CMyRestore::kCurrentUser, "選択中のユーザーは指定出来ません。"},
      {"..", archive, CMyRestore::kBadUserName, nullptr},
      {"a/b", archive, CMyRestore::kBadUserName, nullptr},
      {"jiro", f.dir / "not.mbk", mbk::kHeaderMarker, "指定ではないファイルを読み込まれました。"},
      {"jiro", f.dir / "short.mbk", mbk::kHeaderShort, "読み込んだファイルが不正です。"},
  };
  for (const Case& c : cases) {
    f.prompter.ClearShown();
    CMyRestore r(f.global, f.clock);
    EXPECT_EQ(c.code, r.Run(c.user, c.path)) << c.user << " " << c.path;
    ASSERT_EQ(1u, f.prompter.Shown().size()) << c.user << " " << c.path;
    if (c.message) {
      EXPECT_EQ(c.message, f.prompter.ShownUtf8()[0]);
    }
    EXPECT_EQ("注意"_sj, f.prompter.Shown()[0].caption);
    EXPECT_FALSE(fileops::Exists(f.UserDir("jiro")));
    EXPECT_EQ("taro", f.global.UserName());
    EXPECT_TRUE(Leftovers(f).empty());
  }
}

TEST(CMyRestore, AnExistingUserIsAskedAndReplacedOnlyOnYes) {
  Fixture f;
  std::string archive = BackUp(f);
  MakeHanako(f);
  auto hanako = Tree(f.UserDir("hanako"));
  CMyRestore r(f.global, f.clock);
  f.prompter.Queue(kAnswerNo);
  EXPECT_EQ(CMyRestore::kDeclined, r.Run("hanako", archive));
  ASSERT_EQ(1u, f.prompter.Shown().size());
  EXPECT_EQ("指定ユーザーのデータが存在します。\n上書きしてよろしいですか？", f.prompter.ShownUtf8()[0]);
  EXPECT_EQ("確認"_sj, f.prompter.Shown()[0].caption);
  EXPECT_EQ(hanako, Tree(f.UserDir("hanako")));

  f.prompter.Queue(kAnswerYes);
  EXPECT_EQ(0, r.Run("hanako", archive));
  EXPECT_FALSE(fileops::Exists(f.UserDir("hanako") + "/own.txt"));  // replaced whole
  EXPECT_EQ("alarms", ReadBytes(f.UserDir("hanako") + "/alarm.dat"));
  EXPECT_TRUE(Leftovers(f).empty());  // the kept-aside folder went once all was in place
}

TEST(CMyRestore, CalendarFilesReturnToTheDataRootKeepingOnesThatDiffer) {
  Fixture f;
  std::string archive = BackUp(f);
  WriteBytes(f.root + "/holiday.dat", "edited since");
  CMyRestore r(f.global, f.clock);
  ASSERT_EQ(0, r.Run("jiro", archive));
  EXPECT_EQ("holidays of the data root", ReadBytes(f.root + "/holiday.dat"));
  ASSERT_EQ(1u, r.KeptFiles().size());
  EXPECT_EQ(f.root + "/holiday.dat.before-restore-20261209210507", r.KeptFiles()[0]);
  EXPECT_EQ("edited since", ReadBytes(r.KeptFiles()[0]));
  EXPECT_FALSE(fileops::Exists(f.UserDir("jiro") + "/holiday.dat"));
}

// Every damaged archive: a message, no crash, the named user's folder as it
// was, nothing left beside it.
TEST(CMyRestore, DamagedArchivesLeaveTheUserAsItWas) {
  Fixture f;
  const std::string good = ReadBytes(BackUp(f));
  MakeHanako(f);
  const auto hanako = Tree(f.UserDir("hanako"));
  const std::string bad = f.dir / "bad.mbk";
  auto expectUntouched = [&](const std::string& bytes, const std::string& what, bool mayWork) {
    WriteBytes(bad, bytes);
    f.prompter.ClearShown();
    f.prompter.Queue(kAnswerYes);
    CMyRestore r(f.global, f.clock);
    int rc = r.Run("hanako", bad, false);
    EXPECT_TRUE(Leftovers(f).empty()) << what;
    if (rc == 0 && mayWork) {  // a flip in a time or an attribute is harmless
      ASSERT_TRUE(fileops::RemoveTree(f.UserDir("hanako")));
      MakeHanako(f);
      return;
    }
    EXPECT_LT(rc, 0) << what;
    EXPECT_EQ(hanako, Tree(f.UserDir("hanako"))) << what;
    ASSERT_EQ(2u, f.prompter.Shown().size()) << what;  // the question, then the failure
    EXPECT_NE(std::string::npos, f.prompter.ShownUtf8()[1].find("読み")) << what;
  };
  // cut at every 97th byte
  for (size_t cut = 0; cut < good.size(); cut += 97)
    expectUntouched(good.substr(0, cut), "cut at " + std::to_string(cut), false);
  // every bit of the file header's marker and of the first three entry headers' integers
  std::vector<size_t> bytes = {0, 1, 2, 3};
  size_t at = 32;
  for (int e = 0; e < 3; ++e) {
    for (size_t k = 0; k < 20; ++k) bytes.push_back(at + k);  // marker, version, type, attributes, size
    at += 300 + static_cast<size_t>(le::GetI32(good.data() + at + 16));
  }
  for (size_t b : bytes)
    for (int bit = 0; bit < 8; ++bit) {
      std::string flipped = good;
      flipped[b] = static_cast<char>(flipped[b] ^ (1 << bit));
      expectUntouched(flipped, "flip " + std::to_string(b) + "." + std::to_string(bit), true);
    }
  // sizes far beyond the file, a negative size, an unknown type, no end entry
  for (int32_t size : {INT32_MAX, INT32_MIN, -1, 1000}) {
    std::string s = Archive({{mbk::kFile, "a.dat", "abc"}});
    le::PutI32(&s[32 + 16], size);
    expectUntouched(s, "size " + std::to_string(size), false);
  }
  std::string s = Archive({{mbk::kFile, "a.dat", "abc"}});
  le::PutI32(&s[32 + 8], 2);
  expectUntouched(s, "type 2", false);
  expectUntouched(Archive({{mbk::kFile, "a.dat", "abc"}}, false), "no end", false);
}

TEST(CMyRestore, HostileNamesAreRefusedAndNothingLandsOutside) {
  Fixture f;
  const auto rootBefore = fileops::List(f.root, "*");
  for (const char* name : {"..\\escaped.txt", "\\abs.txt", "C:\\x.txt", "/tmp/x.txt", "d\\..\\x.txt",
                           "a\\b\\c.txt", "..", "d\\"}) {
    f.prompter.ClearShown();
    CMyRestore r(f.global, f.clock);
    std::string bytes = Archive({{mbk::kFile, "ok.txt", "fine"}, {mbk::kFile, name, "evil"}});
    WriteBytes(f.dir / "evil.mbk", bytes);
    EXPECT_EQ(mbk::kNameRefused, r.Run("jiro", f.dir / "evil.mbk")) << name;
    EXPECT_FALSE(fileops::Exists(f.UserDir("jiro"))) << name;
    ASSERT_EQ(1u, f.prompter.Shown().size());
    EXPECT_EQ(0u, f.prompter.ShownUtf8()[0].find("読み込みに失敗しました。(-300)\n")) << name;
  }
  for (const char* folder : {"..", "a\\b", ""}) {
    WriteBytes(f.dir / "evil.mbk", Archive({{mbk::kFolder, folder, ""}}));
    CMyRestore r(f.global, f.clock);
    EXPECT_EQ(mbk::kNameRefused, r.Run("jiro", f.dir / "evil.mbk")) << folder;
  }
  EXPECT_EQ(rootBefore, fileops::List(f.root, "*"));
  EXPECT_FALSE(fileops::Exists(f.dir / "escaped.txt"));
  EXPECT_TRUE(Leftovers(f).empty());
}

TEST(CMyRestore, AHundredThousandEntries) {
  Fixture f;
  std::vector<Entry> entries;
  entries.push_back({mbk::kFolder, "d", ""});
  // mostly folder entries: each file entry costs a file created on disk
  for (int i = 0; i < 100000; ++i) {
    if (i % 10 == 0)
      entries.push_back({mbk::kFile, "d\\f" + std::to_string(i % 7), "x"});
    else
      entries.push_back({mbk::kFolder, "d", ""});
  }
  WriteBytes(f.dir / "many.mbk", Archive(entries));
  CMyRestore r(f.global, f.clock);
  EXPECT_EQ(0, r.Run("jiro", f.dir / "many.mbk", false));
  EXPECT_EQ(7u, fileops::List(f.UserDir("jiro") + "/d", "*").size());
  // the same without its end entry is refused whole
  entries.resize(50000);
  WriteBytes(f.dir / "many.mbk", Archive(entries, false));
  EXPECT_EQ(mbk::kEntryShort, r.Run("saburo", f.dir / "many.mbk", false));
  EXPECT_FALSE(fileops::Exists(f.UserDir("saburo")));
}

TEST(CMyRestore, ACrashAtEitherRenameLeavesTheOldUserOrTheRestoredOne) {
  std::set<std::string> seen;
  // the journal's own rename, the old folder aside, the restored one in
  for (int nth = 1; nth <= 4; ++nth) {
    SCOPED_TRACE(nth);
    Fixture f;
    const std::string archive = BackUp(f);
    MakeHanako(f);
    const auto hanako = Tree(f.UserDir("hanako"));
    const pid_t pid = ::fork();
    if (pid == 0) {
      f.prompter.Queue(kAnswerYes);
      CMyRestore r(f.global, f.clock);
      fileops::InjectCrash(fileops::Fault::kRename, nth);
      ::_exit(r.Run("hanako", archive, false) == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && (WEXITSTATUS(status) == 70 || WEXITSTATUS(status) == 0));
    // the next start puts the data root right before any user is read
    EXPECT_TRUE(f.global.RecoverDataRoot());
    const bool old = Tree(f.UserDir("hanako")) == hanako;
    seen.insert(old ? "old" : "restored");
    if (!old) {
      EXPECT_EQ("alarms", ReadBytes(f.UserDir("hanako") + "/alarm.dat"));
    }
    EXPECT_TRUE(Leftovers(f).empty());
    EXPECT_FALSE(fileops::Exists(f.root + "/" + fileops::kJournalName));
  }
  EXPECT_EQ((std::set<std::string>{"old", "restored"}), seen);
}
