// Least-significant-digit radix sort of (key, index) pairs.
#include "world/radix_sort.h"

#include <algorithm>

void StableSortByKey(std::vector<KeyedIndex>* items, std::vector<KeyedIndex>* scratch) {
  std::vector<KeyedIndex>& a = *items;
  const size_t n = a.size();
  if (n < 2) return;
  uint32_t lowest = 0xFFFFFFFFu, highest = 0;
  for (const KeyedIndex& e : a) {
    lowest = std::min(lowest, e.key);
    highest = std::max(highest, e.key);
  }
  if (lowest == highest) return;
  const uint32_t span = highest - lowest;
  const int passes = span < (1u << 24) ? 2 : 3;
  const int bits = passes == 2 ? 12 : 11;
  const uint32_t mask = (1u << bits) - 1;
  std::vector<uint32_t> counts(static_cast<size_t>(passes) << bits, 0);
  for (const KeyedIndex& e : a)
    for (int pass = 0; pass < passes; ++pass)
      counts[(static_cast<size_t>(pass) << bits) + (((e.key - lowest) >> (pass * bits)) & mask)] += 1;
  scratch->resize(n);
  for (int pass = 0; pass < passes; ++pass) {
    uint32_t* count = &counts[static_cast<size_t>(pass) << bits];
    const int shift = pass * bits;
    if (count[((a[0].key - lowest) >> shift) & mask] == n) continue;  // one digit for all
    uint32_t start = 0;
    for (uint32_t d = 0; d <= mask; ++d) {
      const uint32_t c = count[d];
      count[d] = start;
      start += c;
    }
    KeyedIndex* out = scratch->data();
    for (const KeyedIndex& e : a) out[count[((e.key - lowest) >> shift) & mask]++] = e;
    a.swap(*scratch);
  }
}
