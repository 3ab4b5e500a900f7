// The radix sort against std::stable_sort, and the distance key's order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "world/radix_sort.h"

namespace {

// Keys drawn from a span of the given width above a base, with many repeats, so that both
// pass widths and the stability of equal keys are exercised.
std::vector<KeyedIndex> RandomItems(size_t n, uint32_t base, uint32_t span, std::mt19937* rng) {
  std::vector<KeyedIndex> items(n);
  std::uniform_int_distribution<uint32_t> pick(0, span);
  for (size_t k = 0; k < n; ++k) items[k] = {base + pick(*rng) / 7 * 7, static_cast<uint32_t>(k)};
  return items;
}

// Short lists take the narrow passes only; long ones are first cut by their top digit.
TEST(RadixSortTest, MatchesStableSortForNarrowAndWideSpans) {
  std::mt19937 rng(7);
  const uint32_t spans[] = {0, 5, 255, 4095, (1u << 24) - 1, 1u << 24, 0xFFFFFFF0u};
  for (size_t n : {20000, 150000}) {
    for (uint32_t span : spans) {
      const uint32_t base = span > 0xF0000000u ? 3 : 0x40000000u;
      std::vector<KeyedIndex> items = RandomItems(n, base, span, &rng), scratch;
      std::vector<KeyedIndex> expected = items;
      std::stable_sort(expected.begin(), expected.end(),
                       [](const KeyedIndex& a, const KeyedIndex& b) { return a.key < b.key; });
      StableSortByKey(&items, &scratch);
      ASSERT_EQ(items.size(), expected.size());
      for (size_t k = 0; k < items.size(); ++k) {
        ASSERT_EQ(items[k].key, expected[k].key) << n << " items, span " << span << " at " << k;
        ASSERT_EQ(items[k].index, expected[k].index) << n << " items, span " << span << " at " << k;
      }
    }
  }
}

TEST(RadixSortTest, DistanceKeyOrdersLikeTheDistances) {
  const float ascending[] = {-INFINITY, -3.5f, -1e-30f, 0.0f, 1e-30f, 0.5f, 2.0f, 1e30f, INFINITY};
  for (size_t k = 0; k + 1 < sizeof ascending / sizeof ascending[0]; ++k)
    EXPECT_LT(DistanceSortKey(ascending[k]), DistanceSortKey(ascending[k + 1])) << ascending[k];
  EXPECT_EQ(DistanceSortKey(-0.0f), DistanceSortKey(0.0f));
  EXPECT_EQ(DistanceSortKey(NAN), DistanceSortKey(INFINITY));
}

}  // namespace
