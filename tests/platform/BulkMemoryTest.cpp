#include <gtest/gtest.h>

#include <cstdint>

#include "platform/BulkMemory.h"

namespace {

struct Pair {
  int64_t a;
  int32_t b;
};

// Sizes on both sides of the one where areas move to large pages.
TEST(BulkMemory, AreasStayZeroAndKeepTheirBytesThroughResizes) {
  const size_t sizes[] = {1, 4096, bulk::kBulkThreshold - 1, bulk::kBulkThreshold,
                          3 * bulk::kBulkThreshold + 5};
  for (size_t from : sizes) {
    char* p = bulk::Allocate(from);
    ASSERT_NE(nullptr, p) << from;
    for (size_t i = 0; i < from; i += 997) ASSERT_EQ(0, p[i]) << from;
    for (size_t i = 0; i < from; ++i) p[i] = static_cast<char>(i * 31);
    for (size_t to : sizes) {
      char* q = bulk::Allocate(from);
      ASSERT_NE(nullptr, q);
      for (size_t i = 0; i < from; ++i) q[i] = p[i];
      q = bulk::Reallocate(q, from, to);
      ASSERT_NE(nullptr, q) << from << " -> " << to;
      const size_t kept = from < to ? from : to;
      for (size_t i = 0; i < kept; i += 13)
        ASSERT_EQ(static_cast<char>(i * 31), q[i]) << from << " -> " << to;
      q[to - 1] = 1;  // the whole new size is usable
      bulk::Free(q, to);
    }
    bulk::Free(p, from);
  }
}

TEST(BulkMemory, ArrayGrowsPastLargePagesAndEditsInPlace) {
  bulk::Array<Pair> a;
  const int n = 400000;  // 6 MB of entries
  for (int i = 0; i < n; ++i) a.push_back({i, -i});
  ASSERT_EQ(static_cast<size_t>(n), a.size());
  a.insert(0, {-1, 1});
  a.insert(5, {-5, 5});
  a.erase(a.size() - 1);
  a.erase(1);
  ASSERT_EQ(static_cast<size_t>(n), a.size());
  EXPECT_EQ(-1, a[0].a);
  EXPECT_EQ(1, a[1].a);
  EXPECT_EQ(-5, a[4].a);
  EXPECT_EQ(4, a[5].a);
  EXPECT_EQ(n - 2, a.back().a);
  int64_t sum = 0;
  for (const Pair& p : a) sum += p.a + p.b;
  EXPECT_EQ(0, sum);

  const Pair more[] = {{7, 7}, {8, 8}};
  a.append(more, more + 2);
  EXPECT_EQ(8, a.back().a);
  a.resize(3);
  a.resize(5);  // new entries start as zero
  EXPECT_EQ(0, a[4].a);
  EXPECT_EQ(0, a[3].b);
  a.shrink_to_fit();
  EXPECT_EQ(5u, a.capacity());
  EXPECT_EQ(-1, a[0].a);

  bulk::Array<Pair> b;
  b.swap(a);
  EXPECT_TRUE(a.empty());
  EXPECT_EQ(5u, b.size());
  a = std::move(b);
  EXPECT_EQ(5u, a.size());
  a.clear();
  a.shrink_to_fit();
  EXPECT_EQ(0u, a.capacity());
  a.push_back({1, 1});
  EXPECT_EQ(1u, a.size());
}

}  // namespace
