// Backup of the current user into one archive of the backup folder, with
// numbered generations in a ring. The archive is written to a temporary
// file, read back and only then renamed over the generation it replaces, so
// a backup that fails leaves the previous archive as it was.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Clock.h"

class CMyGlobal;

// One entry of the archive to write, in archive order.
struct BackupItem {
  int type = 0;          // mbk::kFile or mbk::kFolder
  std::string name;      // as stored: CP932, "\" between folder and file
  std::string diskPath;  // file or folder to take it from
};

// What a backup did; `code` is also what Run returns.
struct BackupResult {
  int code = 0;
  std::string archive;  // the archive's path (file system's spelling)
  std::string file;     // the file the failure is about: a source, or the archive
  std::string source;   // when writing the archive failed: the source being taken
  std::string reason;   // why, in words (CP932), empty when unknown
  int entries = 0;      // entries written, end entry included
  int64_t bytes = 0;    // bytes of file data written
};

class CMyBackup {
 public:
  enum Code : int {
    kOk = 0,
    kNoPath = 1,  // "オプション画面より保存先フォルダを指定してください。" (the dialog stays open)
    kCannotCreate = -1,   // "保存先フォルダの指定が不正です。"
    kHeaderWrite = -2,    // "ファイルの書き込み失敗(ヘッダー)"
    kSizeUnknown = -101,  // copy codes: "ファイルコピーに失敗しました。(%d)"
    kIsFolder = -102,
    kEntryWrite = -103,
    kEntryShort = -104,
    kNameUnstorable = -105,  // a name the archive cannot hold (not CP932, too long, a "\")
    kReopen = -110,
    kRead = -111,
    kChunkWrite = -112,
    kChunkShort = -113,
    kSizeChanged = -120,
    kFolderWrite = -203,  // "フォルダの指定に失敗しました。(%d)"
    kFolderShort = -204,
    kEndWrite = -903,  // the end entry; reported, unlike a shorter archive of old
    kEndShort = -904,
    kReadBack = -130,  // "バックアップファイルの作成に失敗しました。(%d)": read back differs
    kCommit = -131,
    kUnreadable = -140,  // a list or folder of the user could not be read: nothing written  // the archive
                         // could not be flushed, synced or renamed into place
  };

  CMyBackup(CMyGlobal& global, const Clock& clock);

  // The archive of the current generation: PATH + "%s_%d.mbk" of the user
  // and CU + 1 (file system's spelling); empty when PATH is empty.
  std::string ArchivePath() const;
  // The generation number (1-based) the next backup writes.
  int Generation() const;

  // The entries of the current user, in archive order; listed files that do
  // not exist are left out. `unreadable` (when given) names the list or
  // folder that could not be read: the entries are then incomplete.
  std::vector<BackupItem> Contents(std::string* unreadable = nullptr) const;

  // The backup dialog's Ok: writes the archive, then (on success) advances
  // CU; in both cases keeps the time and result in the settings and writes
  // them (CMyGlobal::WriteBackupSettings). Every failure is shown through the prompter with the
  // file and the reason. Returns a Code.
  int Run(BackupResult* result = nullptr);

  // Told the source file (file system's spelling) before each one is
  // copied, so a dialog can show what a long backup is doing.
  using Progress = std::function<void(const std::string& diskPath)>;
  void SetProgress(Progress progress) { progress_ = std::move(progress); }

  // Writes `items` to `target` through a temporary beside it, reads it
  // back, renames it into place. No messages, no settings. Returns a Code.
  static int WriteArchive(const std::vector<BackupItem>& items, const std::string& target,
                          BackupResult& result, const Progress& progress = {});
  // The message Run shows for a result (CP932).
  static std::string Message(const BackupResult& result);

 private:
  CMyGlobal& global_;
  const Clock& clock_;
  Progress progress_;
};

// "最終バックアップ: yyyy/mm/dd hh:mm 正常", "... 失敗(code)", or empty
// before the first backup: the line the options dialog shows.
std::string LastBackupText(const CMyGlobal& global);
// What the last backup's failure code means (its message's first line,
// CP932); empty when the last backup succeeded or there was none.
std::string LastBackupFailure(const CMyGlobal& global);

// The reason for an errno value, in words (CP932).
std::string ErrnoReason(int err);
