// Radix sorts of (key, index) pairs: least-significant digit first for short lists, and for
// long ones a first pass by the most significant digit that cuts the list into pieces small
// enough to be finished inside the processor's caches.
#include "world/radix_sort.h"

#include <algorithm>

namespace {

// Digits of 6 bits: with 64 places to write to at once, each pass streams through memory;
// wider digits scatter across so many pages that a pass costs several narrow ones.
constexpr int kBits = 6;
constexpr uint32_t kDigits = 1u << kBits, kMask = kDigits - 1;

// The first pass of a long list takes this many bits from the top of the keys' span: its
// 256 places are few enough to stream to, and the pieces it leaves are short.
constexpr int kTopBits = 8;
// Lists shorter than this are sorted by the narrow passes alone.
constexpr size_t kLongList = 1u << 16;

int SpanBits(uint32_t span) {
  int bits = 0;
  for (; span != 0; span >>= 1) ++bits;
  return bits;
}

// Sorts items[0, n) by the low `bits` bits of key - lowest, 6 bits a pass, with `other` as
// room of the same length. Returns where the result is: `items` or `other`.
KeyedIndex* SortLowDigits(KeyedIndex* items, KeyedIndex* other, size_t n, uint32_t lowest, int bits) {
  const int passes = (bits + kBits - 1) / kBits;
  uint32_t counts[(32 + kBits - 1) / kBits][kDigits] = {};
  for (size_t k = 0; k < n; ++k) {
    uint32_t key = items[k].key - lowest;
    for (int pass = 0; pass < passes; ++pass, key >>= kBits) counts[pass][key & kMask] += 1;
  }
  KeyedIndex* from = items;
  KeyedIndex* to = other;
  for (int pass = 0; pass < passes; ++pass) {
    uint32_t* count = counts[pass];
    const int shift = pass * kBits;
    if (count[((from[0].key - lowest) >> shift) & kMask] == n) continue;  // one digit for all
    uint32_t start = 0;
    for (uint32_t d = 0; d < kDigits; ++d) {
      const uint32_t c = count[d];
      count[d] = start;
      start += c;
    }
    for (size_t k = 0; k < n; ++k) to[count[((from[k].key - lowest) >> shift) & kMask]++] = from[k];
    std::swap(from, to);
  }
  return from;
}

}  // namespace

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
  scratch->resize(n);
  const int bits = SpanBits(highest - lowest);
  if (n < kLongList || bits <= kTopBits) {
    if (SortLowDigits(a.data(), scratch->data(), n, lowest, bits) != a.data()) a.swap(*scratch);
    return;
  }
  // A stable pass by the top digit into the scratch list, then each piece by the rest of the
  // digits, with the piece's own part of the first list as its room; a piece that ends in the
  // first list is copied back, so that the whole result is in the scratch list.
  const int lowBits = bits - kTopBits;
  std::vector<uint32_t> start(size_t{1} << kTopBits, 0), end;
  for (const KeyedIndex& e : a) start[(e.key - lowest) >> lowBits] += 1;
  uint32_t place = 0;
  for (uint32_t& s : start) {
    const uint32_t c = s;
    s = place;
    place += c;
  }
  end = start;
  KeyedIndex* pieces = scratch->data();
  for (const KeyedIndex& e : a) pieces[end[(e.key - lowest) >> lowBits]++] = e;
  for (size_t d = 0; d < start.size(); ++d) {
    const size_t first = start[d], count = end[d] - start[d];
    if (count < 2) continue;
    KeyedIndex* piece = pieces + first;
    KeyedIndex* result = SortLowDigits(piece, a.data() + first, count, lowest, lowBits);
    if (result != piece) std::copy(result, result + count, piece);
  }
  a.swap(*scratch);
}
