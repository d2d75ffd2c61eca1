#include <gtest/gtest.h>

#include "platform/LittleEndian.h"
#include "screens/InputHeader.h"
#include "store/CMyLine.h"
#include "support/TempDir.h"

TEST(InputHeader, ReadsKindAndPackageOrTellsWhyNot) {
  TempDir dir;
  std::string good(jsc::kHeaderSize, '\0');
  le::PutI32(reinterpret_cast<uint8_t*>(good.data()) + jsc::kDataKindAt, 100);
  le::PutI32(reinterpret_cast<uint8_t*>(good.data()) + jsc::kPackageIdAt, 4000);
  struct Row {
    const char* name;
    std::string item;  // empty: no file at all
    int rc;
  } rows[] = {
      {"missing", "", 1},
      {"short", std::string(160, '\0'), -1},
      {"good", good, 0},
  };
  for (const Row& r : rows) {
    const std::string path = dir / r.name;
    if (!r.item.empty()) {
      CMyLine list;
      list.Append(r.item);
      ASSERT_EQ(1, list.WriteList(path));
    }
    jsc::Header h;
    EXPECT_EQ(r.rc, jsc::ReadHeader(path, h)) << r.name;
    if (r.rc == 0) {
      EXPECT_EQ(100, h.dataKind);
      EXPECT_EQ(4000, h.packageId);
    }
  }
}
