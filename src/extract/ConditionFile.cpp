#include "extract/ConditionFile.h"

#include "platform/Cp932.h"
#include "platform/FileOps.h"

namespace pickfile {
namespace {

std::vector<std::string> Fields(std::string_view line, size_t count) {
  std::vector<std::string> out;
  out.reserve(count);
  size_t start = 0;
  while (out.size() < count) {
    size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) {
      out.emplace_back(line.substr(start));
      break;
    }
    out.emplace_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  out.resize(count);
  return out;
}

void AppendField(std::string& out, const std::string& field) {
  for (char c : field) out += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
}

}  // namespace

int Parse(std::string_view bytes, Image& out) {
  out = Image{};
  if (bytes.empty() || bytes.size() > kMaxBytes) return kDamaged;
  if (bytes.find('\0') != std::string_view::npos || !cp932::IsValid(bytes)) return kDamaged;
  bool first = true;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    start = end;
    if (start < bytes.size() && bytes[start] == '\r') ++start;
    if (start < bytes.size() && bytes[start] == '\n') ++start;
    if (first) {
      out.head = Fields(line, kHeadFields);
      first = false;
    } else if (!line.empty()) {
      out.rows.push_back(Fields(line, kRowFields));
    }
  }
  return kRead;
}

int Read(const std::string& path, Image& out) {
  out = Image{};
  if (!fileops::Exists(path)) return kMissing;
  if (!fileops::IsFile(path)) return kDamaged;
  const int64_t size = fileops::Size(path);
  if (size < 0 || static_cast<uint64_t>(size) > kMaxBytes) return kDamaged;
  std::string bytes;
  if (!fileops::ReadAll(path, bytes)) return kDamaged;
  return Parse(bytes, out);
}

std::string Format(const Image& image) {
  std::string out;
  auto line = [&out](const std::vector<std::string>& fields, size_t count) {
    for (size_t i = 0; i < count; ++i) {
      if (i) out += '\t';
      if (i < fields.size()) AppendField(out, fields[i]);
    }
    out += "\r\n";
  };
  line(image.head, kHeadFields);
  for (const auto& row : image.rows) line(row, kRowFields);
  return out;
}

bool Write(const std::string& path, const Image& image) { return fileops::WriteAtomic(path, Format(image)); }

}  // namespace pickfile
