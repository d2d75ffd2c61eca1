#include "store/CMyDB.h"

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "platform/BulkMemory.h"
#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"

namespace {
// Offsets in the record are unsigned 16-bit, so no record may be longer.
constexpr int kMaxAddressable = 65535;
constexpr size_t kWriteChunk = 64 * 1024;

int ValueLength(const char* p) { return static_cast<int>(std::strlen(p)); }
}  // namespace

CMyDB::CMyDB(Prompter* prompter) : prompter_(prompter) {}

int CMyDB::Define(const CMyField& fields) {
  if (fields.Count() == 0) return kEmptyFields;
  int64_t size = 1;
  for (const auto& d : fields.All()) size += 2 + d.maxLength + 1;
  if (size > kMaxAddressable) return kTooWide;
  try {
    fields_ = fields.All();
    build_.assign(static_cast<size_t>(size) + jdt::kBuildSlack, '\0');
    maxLengths_.clear();
    for (const auto& d : fields_) maxLengths_.push_back(static_cast<uint16_t>(d.maxLength));
  } catch (const std::bad_alloc&) {
    fields_.clear();
    build_.clear();
    maxLengths_.clear();
    maxRecord_ = 0;
    return kNoMemory;
  }
  maxRecord_ = static_cast<int>(size);
  ClearRecords();
  edit_.Clear();
  New();
  return kOk;
}

int CMyDB::FindField(std::string_view name) const {
  for (size_t i = 0; i < fields_.size(); ++i) {
    const FieldDef& d = fields_[i];
    if (collate::EqualNoCase(d.name, name)) return static_cast<int>(i);
    if (!d.alias.empty() && collate::EqualNoCase(d.alias, name)) return static_cast<int>(i);
  }
  return -1;
}

int CMyDB::SetAlias(std::string_view name, std::string_view alias) {
  if (alias.size() >= static_cast<size_t>(fielddef::kAliasSize)) return -3;
  if (alias.empty()) return 0;
  int idx = -1;
  for (size_t i = 0; i < fields_.size() && idx < 0; ++i)
    if (collate::EqualNoCase(fields_[i].name, name)) idx = static_cast<int>(i);
  if (idx < 0) return -1;
  for (size_t j = 0; j < fields_.size(); ++j) {
    // the field's own name is its default display name, so it is no clash
    if (static_cast<int>(j) != idx && collate::EqualNoCase(fields_[j].name, alias)) return -2;
    if (static_cast<int>(j) != idx && collate::EqualNoCase(fields_[j].alias, alias)) return -2;
  }
  fields_[static_cast<size_t>(idx)].alias = std::string(alias);
  ++changes_;  // the same names may now mean other fields
  return 0;
}

void CMyDB::ClearAliases() {
  for (auto& d : fields_) d.alias.clear();
  ++changes_;
}

bool CMyDB::IsDeleted(int r) const {
  const char* rec = records_.Item(r);
  return rec && (static_cast<unsigned char>(rec[0]) & jdt::kDeletedBit);
}

void CMyDB::SetMatched(int r, bool on) {
  char* rec = records_.MutableItem(r);
  if (!rec) return;
  unsigned char s = static_cast<unsigned char>(rec[0]);
  s = on ? (s | jdt::kMatchedBit) : (s & ~jdt::kMatchedBit);
  rec[0] = static_cast<char>(s);
}

const char* CMyDB::Value(int field, int r) const {
  if (field < 0 || field >= FieldCount()) return nullptr;
  const char* rec = records_.Item(r);
  if (!rec) return nullptr;
  return rec + le::GetU16(rec + 1 + 2 * field);
}

const char* CMyDB::ValueByName(std::string_view name, int r) const { return Value(FindField(name), r); }

int CMyDB::Load(int r) {
  if (r < 0 || r >= RecordCount()) {
    New();
    return kNoRecord;
  }
  for (int i = 0; i < FieldCount(); ++i) {
    const char* v = Value(i, r);
    edit_.Set(i, v, ValueLength(v));
  }
  current_ = r;
  return kOk;
}

void CMyDB::New() {
  for (int i = 0; i < FieldCount(); ++i) edit_.Set(i, "", 0);
  current_ = -1;
}

int CMyDB::SetValue(int field, std::string_view text) {
  if (field == -1) return kNoField;
  if (field < 0 || field >= FieldCount()) return kEmptyFields;
  size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  const FieldDef& d = fields_[static_cast<size_t>(field)];
  if (text.size() > static_cast<size_t>(d.maxLength)) return kTooLong;
  if (d.type == fielddef::kTypeNumber) {
    for (char c : text)
      if (c < '0' || c > '9') return kNotNumber;
  }
  return edit_.Set(field, text) ? kOk : kNoMemory;
}

int CMyDB::SetValueByName(std::string_view name, std::string_view text) {
  int f = FindField(name);
  if (f < 0) return kEmptyFields;
  return SetValue(f, text);
}

const char* CMyDB::EditValue(int field) const { return edit_.Text(field); }

int CMyDB::Store() {
  if (current_ != -1 && (current_ < 0 || current_ >= RecordCount() || IsDeleted(current_))) return -1;
  const int n = FieldCount();
  if (n == 0) return -1;
  size_t off = 1 + 2 * static_cast<size_t>(n);
  build_[0] = 0;
  for (int i = 0; i < n; ++i) {
    std::string_view v = edit_.View(i);
    // Values were checked against their fields when set or loaded, so the
    // record always fits; the check guards the buffer all the same.
    if (off + v.size() + 1 > static_cast<size_t>(maxRecord_)) return -1;
    le::PutU16(&build_[1 + 2 * static_cast<size_t>(i)], static_cast<uint16_t>(off));
    if (!v.empty()) std::memcpy(&build_[off], v.data(), v.size());
    build_[off + v.size()] = '\0';
    off += v.size() + 1;
  }
  if (current_ == -1) {
    if (!records_.Append(build_.data(), static_cast<int>(off))) return -1;
    ++liveCount_;
  } else {
    ++changes_;
    if (!records_.Set(current_, build_.data(), static_cast<int>(off))) return -1;
  }
  return kOk;
}

int CMyDB::MarkDeleted(int r) {
  char* rec = records_.MutableItem(r);
  if (!rec) return 0;
  if (!(static_cast<unsigned char>(rec[0]) & jdt::kDeletedBit)) {
    rec[0] = static_cast<char>(static_cast<unsigned char>(rec[0]) | jdt::kDeletedBit);
    --liveCount_;
    ++changes_;
  }
  return 1;
}

void CMyDB::ClearRecords() {
  ++changes_;
  records_.Clear();
  liveCount_ = 0;
  current_ = -1;
}

bool CMyDB::ValidRecord(const char* rec, int length) const {
  const int n = FieldCount();
  const int head = 1 + 2 * n;
  if (length < head || length > maxRecord_) return false;
  // Records as Store builds them hold their values one after another in field
  // order, each ended by a NUL just before the next value: then every offset
  // lies in the record, and a value is no longer than the room up to the next
  // offset, so no value needs to be measured. Any other layout is checked
  // value by value below; both checks accept exactly the same records.
  const uint16_t* most = maxLengths_.data();
  int off = le::GetU16(rec + 1);
  if (off == head) {
    int i = 0;
    for (; i + 1 < n; ++i) {
      const int end = le::GetU16(rec + 3 + 2 * i);  // where the next value starts
      if (end <= off || end > length || rec[end - 1] != '\0' || end - 1 - off > most[i]) break;
      off = end;
    }
    if (i + 1 == n && length > off && rec[length - 1] == '\0' && length - 1 - off <= most[n - 1]) return true;
  }
  for (int i = 0; i < n; ++i) {
    off = le::GetU16(rec + 1 + 2 * i);
    if (off < head || off > length) return false;
    const void* stop = std::memchr(rec + off, 0, static_cast<size_t>(length - off));
    int vlen = stop ? static_cast<int>(static_cast<const char*>(stop) - (rec + off)) : length - off;
    if (vlen > fields_[static_cast<size_t>(i)].maxLength) return false;
  }
  return true;
}

void CMyDB::ResetTable() {
  fields_.clear();
  maxLengths_.clear();
  ClearRecords();
  edit_.Clear();
  maxRecord_ = 0;
}

int CMyDB::ReadFile(const std::string& path, bool define) {
  // A new table's definitions must be read before its records have a pool to
  // go to; that rare case reads through a copy.
  if (define) {
    std::string bytes;
    if (!fileops::IsFile(path) || !fileops::ReadAll(path, bytes)) {
      ResetTable();
      return kCannotOpen;
    }
    return ReadBytes(bytes, define);
  }
  // One read of the file's known size, straight into the record pool: the
  // records are indexed where they lie, never copied.
  fileops::WholeFile file;
  if (!file.Open(path)) return kCannotOpen;
  const size_t size = file.Size();
  char* room = records_.Reserve(size);
  if (!room) {
    if (prompter_) prompter_->ErrorPlain("メモリが足りません。"_sj);
    return kNoMemory;
  }
  const int64_t got = file.Read(room, size);
  if (got < 0) {
    records_.Commit(0);
    return kCannotOpen;
  }
  if (static_cast<size_t>(got) == size && !file.AtEnd()) {
    // it grew while being read: take it as it is now, through a copy
    records_.Commit(0);
    std::string bytes;
    if (!fileops::ReadAll(path, bytes)) return kCannotOpen;
    return ReadBytes(bytes, false);
  }
  return IndexImage(room, static_cast<size_t>(got), false, room);
}

int CMyDB::ReadBytes(std::string_view bytes, bool define) {
  return IndexImage(bytes.data(), bytes.size(), define, nullptr);
}

int CMyDB::IndexImage(const char* data, size_t size, bool define, char* pooled, int block) {
  size_t pos = 0;
  auto readI32 = [&](int32_t& v) {
    if (size - pos < 4) return false;
    v = le::GetI32(data + pos);
    pos += 4;
    return true;
  };
  // every return before the records gives the reserved room back
  auto fail = [&](int rc) {
    if (pooled && block < 0) records_.Commit(0);
    return rc;
  };

  if (define) ResetTable();
  int32_t flag = 0;
  int32_t count = 0;
  if (!readI32(flag) || (flag != jdt::kFlagWithFields && flag != jdt::kFlagWithoutFields))
    return fail(kBadStructure);
  if (define) {
    if (flag == jdt::kFlagWithoutFields) {
      if (prompter_) prompter_->ErrorPlain("P)新規読込でフィールド情報スキップのファイルは読めません。"_sj);
      return fail(kBadStructure);
    }
    if (!readI32(count) || count < 0) return fail(kBadStructure);
    CMyField list;
    for (int32_t i = 0; i < count; ++i) {
      if (size - pos < static_cast<size_t>(fielddef::kSize)) return fail(kBadStructure);
      // Records address their values by field position, so skipping a
      // refused definition would show every later value under the wrong
      // field (and save it there): such a file is refused as a whole.
      if (list.Add(FieldDef::Decode(data + pos)) != CMyField::kOk) return fail(kBadStructure);
      pos += fielddef::kSize;
    }
    if (Define(list) != kOk) return fail(kBadStructure);
  } else {
    if (!readI32(count)) return fail(kBadStructure);
    if (count != FieldCount()) {
      if (prompter_) prompter_->ErrorPlain("読み込んだ内容はフォールド数が異なります。"_sj);
      return fail(kFieldCountDiffers);
    }
    if (flag == jdt::kFlagWithFields) {
      if ((size - pos) / fielddef::kSize < static_cast<size_t>(count)) return fail(kBadStructure);
      pos += static_cast<size_t>(count) * fielddef::kSize;
    }
  }
  if (FieldCount() == 0) return fail(kBadStructure);
  int32_t reserved = 0;
  for (int i = 0; i < jdt::kReservedInts; ++i)
    if (!readI32(reserved)) return fail(kEndsEarly);

  // The records, in the pool: a file read by ReadFile is there already; an
  // image from elsewhere is copied in whole, once.
  char* image = pooled;
  size_t held = size;
  if (!image) {
    held = size - pos;
    image = records_.Reserve(held);
    if (!image) {
      if (prompter_) prompter_->ErrorPlain("メモリが足りません。"_sj);
      return kNoMemory;
    }
    if (held) std::memcpy(image, data + pos, held);
    pos = 0;
  }
  int adopted = 0;
  const int rc = IndexRecords(image, pos, held, block, adopted);
  if (block < 0) records_.Commit(adopted > 0 ? held : 0);
  return rc;
}

int CMyDB::IndexRecords(char* data, size_t pos, size_t size, int block, int& adopted) {
  for (;;) {
    // a file always ends with its 0: without it records may be missing
    if (size - pos < 4) return kEndsEarly;
    const int32_t length = le::GetI32(data + pos);
    pos += 4;
    if (length == 0) break;
    // The stored length counts the NUL after the record.
    if (length < 0 || length - 1 > maxRecord_) {
      if (prompter_) prompter_->ErrorPlain("データファイルが壊れています。壊れた所までを読み込みました。"_sj);
      return kDamagedRecord;
    }
    if (size - pos < static_cast<size_t>(length)) return kEndsEarly;
    char* rec = data + pos;
    if (!ValidRecord(rec, length - 1)) {
      if (prompter_) prompter_->ErrorPlain("データファイルが壊れています。壊れた所までを読み込みました。"_sj);
      return kDamagedRecord;
    }
    // the record's own NUL byte in the file becomes its terminator
    if (!(block < 0 ? records_.Adopt(rec, length - 1) : records_.AdoptIn(block, rec, length - 1))) {
      if (prompter_) prompter_->ErrorPlain("メモリが足りません。"_sj);
      return kNoMemory;
    }
    ++adopted;
    if (!(static_cast<unsigned char>(rec[0]) & jdt::kDeletedBit)) ++liveCount_;
    pos += static_cast<size_t>(length);
  }
  return kOk;
}

void CMyDB::ReadFiles(const std::vector<std::string>& paths, std::vector<int>& results, bool stopAtFailure) {
  const size_t n = paths.size();
  results.assign(n, kCannotOpen);
  // Where each file goes in one block: its size when asked, and a byte more.
  std::vector<size_t> sizes(n, 0), offsets(n, 0);
  size_t total = 0;
  for (size_t i = 0; i < n; ++i) {
    const int64_t size = fileops::Size(paths[i]);
    sizes[i] = size > 0 ? static_cast<size_t>(size) : 0;
    offsets[i] = total;
    total += sizes[i] + 1;
  }
  int block = -1;
  char* base = n >= 2 && FieldCount() > 0 ? records_.AddBlock(total, block) : nullptr;
  if (!base) {
    for (size_t i = 0; i < n; ++i)
      if ((results[i] = ReadFile(paths[i], false)) != kOk && stopAtFailure) break;
    return;
  }
  // What the reader found for each file, published under the lock.
  enum : int { kPending, kRead, kMissing, kChanged };
  std::vector<int> state(n, kPending);
  std::vector<size_t> got(n, 0);
  std::mutex lock;
  std::condition_variable ready;
  bool stop = false;  // set by the indexing side: read no further
  auto readAll = [&] {
    for (size_t i = 0; i < n; ++i) {
      {
        std::lock_guard<std::mutex> hold(lock);
        if (stop) return;
      }
      fileops::WholeFile file;
      int found = kMissing;
      int64_t r = 0;
      if (file.Open(paths[i])) {
        // a file that changed since its size was taken is read again in its turn
        found = kChanged;
        if (file.Size() == sizes[i]) {
          bulk::Prefault(base + offsets[i], sizes[i]);
          r = file.Read(base + offsets[i], sizes[i]);
          if (r == static_cast<int64_t>(sizes[i]) && file.AtEnd()) found = kRead;
        }
      }
      std::lock_guard<std::mutex> hold(lock);
      state[i] = found;
      got[i] = found == kRead ? static_cast<size_t>(r) : 0;
      ready.notify_one();
    }
  };
  std::thread reader;
  try {
    reader = std::thread(readAll);
  } catch (const std::system_error&) {
    readAll();  // no second thread to be had: read first, then index
  }
  for (size_t i = 0; i < n; ++i) {
    int found;
    {
      std::unique_lock<std::mutex> hold(lock);
      ready.wait(hold, [&] { return state[i] != kPending; });
      found = state[i];
    }
    if (found == kRead) {
      results[i] = IndexImage(base + offsets[i], got[i], false, base + offsets[i], block);
    } else if (found == kChanged) {
      results[i] = ReadFile(paths[i], false);
    }
    if (results[i] != kOk && stopAtFailure) {
      std::lock_guard<std::mutex> hold(lock);
      stop = true;
      break;
    }
  }
  if (reader.joinable()) reader.join();
  records_.ReleaseIfUnused(block);
}

void CMyDB::AppendHeader(std::string& out, int flag) const {
  le::AppendI32(out, flag);
  le::AppendI32(out, FieldCount());
  if (flag == jdt::kFlagWithFields) {
    char def[fielddef::kSize];
    for (const auto& d : fields_) {
      d.Encode(def);
      out.append(def, sizeof def);
    }
  }
  for (int i = 0; i < jdt::kReservedInts; ++i) le::AppendI32(out, 0);
}

bool CMyDB::WriteRecordsTo(fileops::AtomicFile& f, int flag, const int* numbers, int count) const {
  std::string chunk;
  chunk.reserve(kWriteChunk + static_cast<size_t>(maxRecord_) + 16);
  AppendHeader(chunk, flag);
  bool ok = true;
  const int total = numbers ? count : RecordCount();
  for (int k = 0; k < total && ok; ++k) {
    int r = numbers ? numbers[k] : k;
    std::string_view rec = records_.View(r);
    if (rec.empty() || (static_cast<unsigned char>(rec[0]) & jdt::kDeletedBit)) continue;
    le::AppendI32(chunk, static_cast<int32_t>(rec.size() + 1));
    chunk.append(rec);
    chunk.push_back('\0');
    if (chunk.size() >= kWriteChunk) {
      ok = f.Write(chunk);
      chunk.clear();
    }
  }
  le::AppendI32(chunk, 0);
  return ok && f.Write(chunk);
}

int CMyDB::WriteRecords(const std::string& path, int flag, const int* numbers, int count) const {
  fileops::AtomicFile f(path);
  if (!f.Open()) return kCannotOpen;
  if (!WriteRecordsTo(f, flag, numbers, count) || !f.Commit()) return kCannotOpen;
  return kOk;
}

int CMyDB::WriteFile(const std::string& path) const {
  return WriteRecords(path, jdt::kFlagWithFields, nullptr, 0);
}

int CMyDB::WriteSubsetTo(fileops::AtomicFile& f, const int* numbers, int count) const {
  if (!numbers) return kNoNumbers;
  return WriteRecordsTo(f, jdt::kFlagWithoutFields, numbers, count < 0 ? 0 : count) ? kOk : kCannotOpen;
}

int CMyDB::WriteSubset(const std::string& path, const int* numbers, int count) const {
  if (!numbers) {
    if (prompter_) prompter_->ErrorPlain("レコードがNULLです。"_sj);
    return kNoNumbers;
  }
  return WriteRecords(path, jdt::kFlagWithoutFields, numbers, count < 0 ? 0 : count);
}
