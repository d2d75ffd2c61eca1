// INI files with the semantics of the platform's profile functions: sections
// and keys match without ASCII case, a missing file or key reads as the
// default, writing a key rewrites only that line (or adds it), and every
// other line, comments and garbage included, is kept as it was. Content is
// CP932 bytes. Saving is atomic.
#pragma once
#include <string>
#include <vector>

class IniFile {
 public:
  // Reads the file; a missing or unreadable file gives an empty INI (false).
  [[nodiscard]] bool Load(const std::string& path);
  // Writes every line back atomically; false when the write failed.
  [[nodiscard]] bool Save(const std::string& path) const;

  [[nodiscard]] std::string GetString(const std::string& section, const std::string& key,
                                      const std::string& def) const;
  // Leading optional sign and digits, as the platform's integer reader does;
  // the default when the key is missing or has no digits.
  [[nodiscard]] int GetInt(const std::string& section, const std::string& key, int def) const;
  // "0" is false, any other number true; the default when missing.
  [[nodiscard]] bool GetBool(const std::string& section, const std::string& key, bool def) const;

  void SetString(const std::string& section, const std::string& key, const std::string& value);
  void SetInt(const std::string& section, const std::string& key, int value);
  void SetBool(const std::string& section, const std::string& key, bool value);

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  // Index of the line holding [section], -1 when none.
  [[nodiscard]] int FindSection(const std::string& section) const;
  // Index of the key's line within the section starting at `sec`, -1 when none.
  [[nodiscard]] int FindKey(int sec, const std::string& key, std::string* value) const;

  std::vector<std::string> lines_;
};

// One-shot helpers in the manner of GetPrivateProfileString and friends.
[[nodiscard]] std::string ReadIniString(const std::string& path, const std::string& section,
                                        const std::string& key, const std::string& def);
[[nodiscard]] bool WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                                  const std::string& value);
