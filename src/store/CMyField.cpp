#include "store/CMyField.h"

#include <cstring>

#include "platform/Collate.h"
#include "platform/LittleEndian.h"

void FieldDef::Encode(char* out) const {
  std::memset(out, 0, fielddef::kSize);
  le::PutFixedText(out + fielddef::kNameOffset, fielddef::kNameSize, name);
  le::PutFixedText(out + fielddef::kAliasOffset, fielddef::kAliasSize, alias);
  le::PutI32(out + fielddef::kTypeOffset, type);
  le::PutI32(out + fielddef::kMaxLengthOffset, maxLength);
  le::PutI32(out + fielddef::kFlagOffset, flag);
}

FieldDef FieldDef::Decode(const char* in) {
  FieldDef d;
  // A name filling its whole field has no NUL; keep only what a writer could
  // have written.
  d.name = le::GetFixedText(in + fielddef::kNameOffset, fielddef::kNameSize - 1);
  d.alias = le::GetFixedText(in + fielddef::kAliasOffset, fielddef::kAliasSize - 1);
  d.type = le::GetI32(in + fielddef::kTypeOffset);
  d.maxLength = le::GetI32(in + fielddef::kMaxLengthOffset);
  d.flag = le::GetI32(in + fielddef::kFlagOffset);
  return d;
}

int CMyField::Add(const FieldDef& def) {
  if (def.type != fielddef::kTypeText && def.type != fielddef::kTypeNumber) return kBadType;
  int limit = def.type == fielddef::kTypeText ? fielddef::kMaxText : fielddef::kMaxNumber;
  if (def.maxLength > limit || def.maxLength < 0) return kBadLength;
  if (def.flag != 0 && def.flag != 1) return kBadFlag;
  for (const auto& d : defs_)
    if (collate::EqualNoCase(d.name, def.name)) return kDuplicate;
  FieldDef copy = def;
  if (copy.name.size() > fielddef::kNameSize - 1) copy.name.resize(fielddef::kNameSize - 1);
  if (copy.alias.size() > fielddef::kAliasSize - 1) copy.alias.resize(fielddef::kAliasSize - 1);
  defs_.push_back(std::move(copy));
  return kOk;
}
