#include "catalogue/CMyMaster.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "platform/SharedFile.h"

namespace {
using Named = std::vector<std::pair<std::string, std::string>>;
// A table's records by name, without the run-time fields.
Named ByName(const CMyMaster& t) {
  Named out;
  for (int i = 0; i < t.RecordCount(); ++i) {
    std::string rec(t.Record(i), CMyMaster::kRecordSize);
    le::PutI32(&rec[CMyMaster::kRFlag], 0);
    le::PutI32(&rec[CMyMaster::kRValue], 0);
    le::PutI32(&rec[CMyMaster::kRTextAddress], 0);
    out.emplace_back(t.Name(i), rec + '\0' + t.Text(i));
  }
  return out;
}
}  // namespace

CMyMaster::CMyMaster(const std::string& name, Prompter* prompter) : lines_(512), prompter_(prompter) {
  Init(name);
}

void CMyMaster::Warn(const char* utf8) const {
  if (prompter_) prompter_->Warn(cp932::FromUtf8(utf8));
}

void CMyMaster::Init(const std::string& name) {
  lines_.Clear();
  char sig[kSignatureSize] = {};
  le::PutI32(sig, 1);
  le::PutI32(sig + 4, 0);
  sig[8] = 'M';
  sig[9] = 'S';
  lines_.Set(0, sig, kSignatureSize);
  char header[kHeaderSize] = {};
  le::PutFixedText(header + kHName, 32, name);
  le::PutI32(header + kHNextId, 1);
  le::PutI32(header + 52, 9999);
  le::PutI32(header + 56, 30);
  le::PutI32(header + 160, 0xFFFFFF);
  lines_.Set(1, header, kHeaderSize);
}

std::string CMyMaster::TableName() const { return le::GetFixedText(Header() + kHName, 32); }

void CMyMaster::ResetKeepName() { Init(TableName()); }

int CMyMaster::Read(const std::string& path) { return Load(path) == kLoaded ? 0 : -1; }

int CMyMaster::Load(const std::string& path) {
  // taken before the read: a write that lands during it shows at the save
  (void)fileops::Identify(path, readId_);
  readPath_ = path;
  base_.clear();
  CMyLine in(512);
  FILE* fp = fileops::OpenRead(path);
  if (!fp) {
    const int why = errno == ENOENT || errno == ENOTDIR ? kMissing : kUnreadable;
    Init("");
    return why;
  }
  int n = in.ReadList(fp, -1);
  const bool readFailed = std::ferror(fp) != 0;
  std::fclose(fp);
  if (readFailed) {
    Init("");
    return kUnreadable;
  }
  bool ok = n >= 2 && in.Length(1) == kHeaderSize && le::GetI32(in.Item(1) + kHCount) == n - 2;
  if (!ok) {
    Init("");
    return kDamaged;
  }
  lines_.Clear();
  lines_.Set(0, in.View(0));
  lines_.Set(1, in.View(1));
  for (int i = 2; i < n; ++i) {
    std::string rec(in.View(i));
    if (rec.size() < static_cast<size_t>(kRecordSize)) {
      // a short record is completed with the initial values, so no field
      // read from it can run past its end
      std::string blank = Blank();
      rec += blank.substr(rec.size());
    }
    le::PutI32(&rec[kRFlag], 0);
    le::PutI32(&rec[kRValue], 0);
    // the optional text ends at its NUL and holds at most 255 bytes
    if (rec.size() > static_cast<size_t>(kRecordSize)) {
      std::string text = le::GetFixedText(rec.data() + kRecordSize, rec.size() - kRecordSize);
      if (text.size() > static_cast<size_t>(kMaxText)) text.resize(cp932::CharStart(text, kMaxText));
      rec.resize(kRecordSize);
      if (!text.empty()) {
        rec += text;
        rec += '\0';
      }
    }
    lines_.Set(i, rec);
  }
  if (!lockPath_.empty()) base_ = ByName(*this);
  return 0;
}

void CMyMaster::Remember(const std::string& path) {
  (void)fileops::Identify(path, readId_);
  readPath_ = path;
  base_ = ByName(*this);
}

bool CMyMaster::TakeOutside(const std::string& path) {
  CMyMaster disk(TableName());
  const int read = disk.Load(path);
  if (read == kUnreadable || read == kDamaged) return false;
  const Named mine = ByName(*this);
  const Named merged = sharedfile::MergeByKey(base_, mine, ByName(disk));
  // the records this table holds keep their run-time fields
  std::vector<std::string> kept;
  for (const auto& [name, value] : merged) {
    const int own = FindByText(0, name);
    const std::string rec = value.substr(0, kRecordSize), text = value.substr(kRecordSize + 1);
    if (own >= 0 && mine[static_cast<size_t>(own)].second == value) {
      kept.emplace_back(lines_.View(own + 2));
    } else {
      kept.push_back(text.empty() ? rec : rec + text + '\0');
    }
  }
  const int nextId = std::max(HeaderInt(kHNextId), read == kLoaded ? disk.HeaderInt(kHNextId) : 0);
  std::string sig(lines_.View(0)), header(lines_.View(1));
  lines_.Clear();
  lines_.Set(0, sig);
  lines_.Set(1, header);
  for (size_t i = 0; i < kept.size(); ++i) lines_.Set(static_cast<int>(i) + 2, kept[i]);
  SetCount();
  SetHeaderInt(kHNextId, nextId);
  return true;
}

std::string CMyMaster::Bytes() const {
  CMyLine out(512);
  out.Set(0, lines_.View(0));
  out.Set(1, lines_.View(1));
  for (int i = 2; i < lines_.Count(); ++i) {
    std::string rec(lines_.View(i));
    le::PutI32(&rec[kRTextAddress], 0);
    out.Set(i, rec);
  }
  return out.ListBytes();
}

int CMyMaster::Write(const std::string& path) {
  fileops::WriteLock lock;
  if (!lockPath_.empty()) {
    // read, check and write as one step: no other program writes meanwhile
    if (!sharedfile::Lock(lock, lockPath_, prompter_)) return -1;
    fileops::FileId now;
    const int changed = path == readPath_ ? sharedfile::Compare(path, readId_, now) : 0;
    if (changed < 0 || (changed > 0 && !TakeOutside(path))) {
      lock.Release();  // never held while a message is up
      if (prompter_) prompter_->Warn(sharedfile::UnreadableText(path));
      return -1;
    }
  }
  const int written = WriteBytes(path);
  if (written >= 0 && !lockPath_.empty()) Remember(path);
  return written;
}

int CMyMaster::WriteBytes(const std::string& path) const {
  const std::string bytes = Bytes();
  // opening a book writes its lists back; a file that already holds these
  // bytes is left as it is, without a new file and a sync at every start
  std::string old;
  if (fileops::ReadAll(path, old) && old == bytes) return lines_.Count();
  return fileops::WriteAtomic(path, bytes) ? lines_.Count() : -1;
}

const char* CMyMaster::Record(int i) const {
  if (i < 0 || i >= RecordCount()) return nullptr;
  return lines_.Item(i + 2);
}

std::string CMyMaster::Text(int i) const {
  if (i < 0 || i >= RecordCount() || lines_.Length(i + 2) <= kRecordSize) return {};
  return le::GetFixedText(lines_.Item(i + 2) + kRecordSize, lines_.Length(i + 2) - kRecordSize);
}

std::string CMyMaster::Name(int i) const {
  const char* r = Record(i);
  return r ? le::GetFixedText(r + kRName, kRNameSize) : std::string();
}

int CMyMaster::GetInt(int i, int offset) const {
  const char* r = Record(i);
  if (!r || offset < 0 || offset + 4 > kRecordSize) return 0;
  return le::GetI32(r + offset);
}

bool CMyMaster::SetInt(int i, int offset, int value) {
  if (!Record(i) || offset < 0 || offset + 4 > kRecordSize) return false;
  std::string rec(lines_.View(i + 2));
  le::PutI32(&rec[static_cast<size_t>(offset)], value);
  return lines_.Set(i + 2, rec) == 1;
}

int CMyMaster::HeaderInt(int offset) const {
  if (offset < 0 || offset + 4 > kHeaderSize) return 0;
  return le::GetI32(Header() + offset);
}

void CMyMaster::SetHeaderInt(int offset, int value) {
  if (offset < 0 || offset + 4 > kHeaderSize) return;
  std::string h(lines_.View(1));
  le::PutI32(&h[static_cast<size_t>(offset)], value);
  lines_.Set(1, h);
}

std::string CMyMaster::HeaderText() const { return le::GetFixedText(Header() + kHText, kHTextSize); }

void CMyMaster::SetHeaderText(const std::string& text) {
  std::string h(lines_.View(1));
  std::string t = text.size() >= static_cast<size_t>(kHTextSize)
                      ? text.substr(0, cp932::CharStart(text, kHTextSize - 1))
                      : text;
  le::PutFixedText(&h[kHText], kHTextSize, t);
  lines_.Set(1, h);
}

std::string CMyMaster::Blank() {
  std::string r(kRecordSize, '\0');
  le::PutI32(&r[kRKey22], 0xFFFFFF);
  return r;
}

void CMyMaster::SetName(std::string& record, const std::string& name) {
  if (record.size() < static_cast<size_t>(kRecordSize)) record.resize(kRecordSize, '\0');
  std::string n = name.size() >= static_cast<size_t>(kRNameSize)
                      ? name.substr(0, cp932::CharStart(name, kRNameSize - 1))
                      : name;
  le::PutFixedText(&record[kRName], kRNameSize, n);
}

void CMyMaster::SetCount() { SetHeaderInt(kHCount, RecordCount()); }

int CMyMaster::Put(int mode, int i, const std::string& record, const char* text) {
  size_t textLen = text ? std::strlen(text) : 0;
  if (textLen > static_cast<size_t>(kMaxText)) {
    Warn("データサイズが大きいです。");
    return -4;
  }
  if (mode == kReplace && (i < 0 || i >= RecordCount())) {
    Warn("更新データがありません。");
    return 1;
  }
  if (mode < kAppend || mode > kStoreAt) {
    Warn("P)対象外の種類を選択しました。");
    return -10;
  }
  std::string rec = record.substr(0, kRecordSize);
  if (rec.size() < static_cast<size_t>(kRecordSize)) rec += Blank().substr(rec.size());
  std::string name = le::GetFixedText(rec.data() + kRName, kRNameSize);
  if (!name.empty()) {
    for (int k = 0; k < RecordCount(); ++k) {
      if (mode == kReplace && k == i) continue;
      if (collate::EqualNoCase(Name(k), name)) {
        Warn("データが重複します。");
        return -3;
      }
    }
  }
  int id = HeaderInt(kHNextId);
  le::PutI32(&rec[kRId], id);
  le::PutI32(&rec[kRTextAddress], 0);
  if (textLen) {
    rec.append(text, textLen);
    rec += '\0';
  }
  switch (mode) {
    case kAppend:
      lines_.Append(rec);
      break;
    case kInsert:
      if (i < 0) i = 0;
      if (i >= RecordCount()) {
        lines_.Append(rec);
      } else {
        lines_.Insert(i + 2);
        lines_.Set(i + 2, rec);
      }
      break;
    case kReplace:
      lines_.Set(i + 2, rec);
      break;
    case kStoreAt:
      if (i < 0) i = 0;
      while (RecordCount() < i) lines_.Append(Blank());
      lines_.Set(i + 2, rec);
      break;
  }
  // a damaged header may hold the largest id; the counter wraps, never overflows
  SetHeaderInt(kHNextId, static_cast<int>(static_cast<uint32_t>(id) + 1u));
  SetCount();
  return 0;
}

int CMyMaster::Swap(int i, int j) {
  if (i < 0 || j < 0 || i >= RecordCount() || j >= RecordCount()) return 0;
  return lines_.Swap(i + 2, j + 2);
}

int CMyMaster::FindByInt(int key, int value) const {
  int offset;
  switch (key) {
    case 11:
      offset = kRKey11;
      break;
    case 12:
      offset = kRKey12;
      break;
    case 13:
      offset = kRKey13;
      break;
    case 14:
      offset = kRKey14;
      break;
    case 21:
      offset = kRKey21;
      break;
    case 22:
      offset = kRKey22;
      break;
    default:
      return -1;
  }
  for (int k = 0; k < RecordCount(); ++k)
    if (GetInt(k, offset) == value) return k;
  return -1;
}

int CMyMaster::FindByText(int which, std::string_view text) const {
  int offset, size;
  switch (which) {
    case 0:
      offset = kRName;
      size = kRNameSize;
      break;
    case 1:
      offset = kRText2;
      size = 32;
      break;
    case 2:
      offset = kRText3;
      size = 20;
      break;
    default:
      return -1;
  }
  for (int k = 0; k < RecordCount(); ++k) {
    if (collate::EqualNoCase(le::GetFixedText(Record(k) + offset, static_cast<size_t>(size)), text)) return k;
  }
  return -1;
}

int CMyMaster::Delete(int i) {
  if (i < 0 || i >= RecordCount()) {
    Warn("削除対象のデータを選択して下さい。");
    return -2;
  }
  lines_.Delete(i + 2);
  SetCount();
  return 0;
}
