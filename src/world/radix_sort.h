// Stable sort of (key, index) pairs by their 32-bit key, and the key that orders distances.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

struct KeyedIndex {
  uint32_t key, index;
};

// Sorts `items` ascending by key; equal keys keep their order. Keys are taken relative to
// the smallest and sorted 6 bits a pass, as many passes as their span needs; a pass whose
// digit is the same for every item is skipped. A long list is first cut into pieces by the
// top 8 bits of the span, and each piece is sorted by the rest on its own. `scratch` is
// working room kept between calls.
void StableSortByKey(std::vector<KeyedIndex>* items, std::vector<KeyedIndex>* scratch);

// A key whose unsigned order is the order of distances, both zeros alike, with a distance
// that is not a number sorting as the farthest.
inline uint32_t DistanceSortKey(float distance) {
  if (std::isnan(distance)) distance = INFINITY;
  if (distance == 0.0f) distance = 0.0f;
  uint32_t bits;
  std::memcpy(&bits, &distance, sizeof bits);
  return (bits & 0x80000000u) ? ~bits : (bits | 0x80000000u);
}
