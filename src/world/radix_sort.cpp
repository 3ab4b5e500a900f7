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
  // Digits of 6 bits: with 64 places to write to at once, each pass streams through memory;
  // wider digits scatter across so many pages that a pass costs several narrow ones.
  constexpr int kBits = 6;
  constexpr uint32_t kDigits = 1u << kBits, kMask = kDigits - 1;
  int passes = 0;
  for (uint32_t rest = highest - lowest; rest != 0; rest >>= kBits) ++passes;
  std::vector<uint32_t> counts(static_cast<size_t>(passes) * kDigits, 0);
  for (const KeyedIndex& e : a) {
    uint32_t key = e.key - lowest;
    for (int pass = 0; pass < passes; ++pass, key >>= kBits) counts[pass * kDigits + (key & kMask)] += 1;
  }
  scratch->resize(n);
  for (int pass = 0; pass < passes; ++pass) {
    uint32_t* count = &counts[pass * kDigits];
    const int shift = pass * kBits;
    if (count[((a[0].key - lowest) >> shift) & kMask] == n) continue;  // one digit for all
    uint32_t start = 0;
    for (uint32_t d = 0; d < kDigits; ++d) {
      const uint32_t c = count[d];
      count[d] = start;
      start += c;
    }
    KeyedIndex* out = scratch->data();
    for (const KeyedIndex& e : a) out[count[((e.key - lowest) >> shift) & kMask]++] = e;
    a.swap(*scratch);
  }
}
