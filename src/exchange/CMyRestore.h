// Restore of a backup archive under a user name. The whole archive is read
// and checked into a staging folder beside the user folder first; only when
// every entry was read does it take the user folder's place. An existing
// user folder is kept aside until then, so a damaged archive or a failure
// half-way leaves the named user exactly as it was.
#pragma once
#include <string>
#include <vector>

#include "platform/Clock.h"

class CMyGlobal;

class CMyRestore {
 public:
  enum Code : int {
    kOk = 0,
    kNoUser = 1,       // "ユーザー名を入力して下さい。"
    kNoPath = 2,       // "パスを入力して下さい。"
    kNoFile = 3,       // "ファイルが存在しません。"
    kCurrentUser = 4,  // "選択中のユーザーは指定出来ません。"
    kBadUserName = 5,  // a name a folder cannot carry
    kDeclined = 6,     // No to "上書きしてよろしいですか？" (no message)
    // negative: the reader's codes (mbk::ReadCode), and these:
    kCreate = -200,  // a restored file cannot be created
    kWrite = -201,
    kWriteShort = -202,
    kFolder = -210,     // a folder entry cannot be made
    kStaging = -400,    // the staging folder cannot be made
    kMoveAside = -401,  // the existing user folder cannot be moved aside
    kMoveInto = -402,   // the restored folder cannot take its place (the old one is back)
  };

  CMyRestore(CMyGlobal& global, const Clock& clock);

  // The restore dialog's Ok. user: CP932; archive: a path as the file
  // system spells it. Refusals and failures are shown through the prompter;
  // an existing user is asked about with "確認" Yes/No first. On success,
  // when makeCurrent, the user becomes the current one and "jotbox.ini"
  // remembers it (the main window then loads its tables and divisions).
  // Returns a Code or a reader's code.
  int Run(const std::string& user, const std::string& archive, bool makeCurrent = true);

  // Calendar files of the data root that differed from the restored ones
  // and were kept beside them (paths).
  const std::vector<std::string>& KeptFiles() const { return kept_; }
  // The entry or file a failure was about, and why (CP932), after Run.
  const std::string& FailedName() const { return failedName_; }

 private:
  int Fail(int code, const std::string& name, const std::string& reason);
  int ReadInto(int fd, const std::string& staging);
  void PlaceCalendarFiles(const std::string& userDir, const std::string& stamp);

  CMyGlobal& global_;
  const Clock& clock_;
  std::vector<std::string> kept_;
  std::string failedName_;
  std::string reason_;
};
