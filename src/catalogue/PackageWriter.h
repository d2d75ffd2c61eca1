// Builds a package file from named byte strings (the reverse of
// CMyPackage::UnpackTo); used by `jbx pack` and by tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class PackageWriter {
 public:
  PackageWriter(int version = 100, int dataKind = 0) : version_(version), dataKind_(dataKind) {}
  // type 1: always written on unpacking; 2: only when missing. The name is
  // relative to the division folder; "/" is stored as "\" so packages stay
  // exchangeable. False when the name does not fit (49 bytes at most).
  [[nodiscard]] bool Add(const std::string& name, const std::string& bytes, int type = 1);
  [[nodiscard]] std::string Bytes() const;
  [[nodiscard]] bool Write(const std::string& path) const;  // atomic

 private:
  struct Item {
    int type;
    std::string name;
    std::string bytes;
  };
  int version_;
  int dataKind_;
  std::vector<Item> items_;
};
