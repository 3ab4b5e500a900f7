// Box hierarchy built in linear time: each item's box centre gets a 30-bit Morton code (10
// bits per axis over the items' bounds, cells of equal size on every axis), a radix sort
// orders the items along that curve, and each node splits its range where the highest
// differing code bit changes (by count when all codes are equal). Node boxes are the unions
// of their items' boxes.
#include "world/feature_tree.h"

#include <algorithm>
#include <cmath>

#include "world/radix_sort.h"
#include "world/world_math.h"

namespace {

// Spreads the low 10 bits of v so that there are two zero bits between each.
uint32_t SpreadBits(uint32_t v) {
  v &= 0x3ffu;
  v = (v | (v << 16)) & 0x030000ffu;
  v = (v | (v << 8)) & 0x0300f00fu;
  v = (v | (v << 4)) & 0x030c30c3u;
  v = (v | (v << 2)) & 0x09249249u;
  return v;
}

uint32_t CurveCell(float value, float lo, float scale) {
  const float q = (value - lo) * scale;
  if (!(q > 0.0f)) return 0;  // also NaN
  if (q >= 1023.0f) return 1023;
  return static_cast<uint32_t>(q);
}

// Stable sort of items by code.
void RadixSortByCode(std::vector<uint32_t>* codes, std::vector<uint32_t>* items) {
  const size_t n = codes->size();
  std::vector<KeyedIndex> keyed(n), scratch;
  for (size_t k = 0; k < n; ++k) keyed[k] = {(*codes)[k], (*items)[k]};
  StableSortByKey(&keyed, &scratch);
  for (size_t k = 0; k < n; ++k) {
    (*codes)[k] = keyed[k].key;
    (*items)[k] = keyed[k].index;
  }
}

// Builds over items already in curve order: position k has the box [mins[k], maxs[k]] and the
// code codes[k]; node boxes are read from these arrays in order.
struct Builder {
  FeatureTree* tree;
  const vector_type* mins;
  const vector_type* maxs;
  const uint32_t* codes;
  uint32_t leafItems;

  int32_t Build(uint32_t first, uint32_t count, int depth) {
    const int32_t id = static_cast<int32_t>(tree->nodes.size());
    tree->nodes.emplace_back();
    FeatureTree::Node node{};
    node.first = first;
    node.count = count;
    node.left = node.right = -1;
    if (count <= leafItems || depth >= kFeatureTreeMaxDepth) {
      node.min = mins[first];
      node.max = maxs[first];
      for (uint32_t k = first + 1; k < first + count; ++k) {
        node.min = VMin(node.min, mins[k]);
        node.max = VMax(node.max, maxs[k]);
      }
      tree->nodes[id] = node;
      return id;
    }
    const uint32_t last = first + count - 1;
    const uint32_t diff = codes[first] ^ codes[last];
    uint32_t split = first + count / 2;
    if (diff != 0) {
      // The codes of the range agree above the highest differing bit: those with it set
      // form the upper part.
      const uint32_t bit = 1u << (31 - __builtin_clz(diff));
      uint32_t lo = first, hi = last;  // codes[hi] has the bit, codes[lo] not
      while (hi - lo > 1) {
        const uint32_t mid = lo + (hi - lo) / 2;
        if (codes[mid] & bit) hi = mid;
        else lo = mid;
      }
      split = hi;
    }
    node.left = Build(first, split - first, depth + 1);
    node.right = Build(split, first + count - split, depth + 1);
    const FeatureTree::Node& a = tree->nodes[node.left];
    const FeatureTree::Node& b = tree->nodes[node.right];
    node.min = VMin(a.min, b.min);
    node.max = VMax(a.max, b.max);
    tree->nodes[id] = node;
    return id;
  }
};

}  // namespace

void SortAlongCurve(const vector_type* centres, uint32_t n, std::vector<uint32_t>* items,
                    std::vector<uint32_t>* codes) {
  items->resize(n);
  codes->resize(n);
  if (n == 0) return;
  vector_type lo = centres[0], hi = lo;
  for (uint32_t k = 1; k < n; ++k) {
    lo = VMin(lo, centres[k]);
    hi = VMax(hi, centres[k]);
  }
  // Cubic cells: one scale for all axes, so that a flat level is not cut along its thin side
  // as often as along its wide ones.
  const vector_type extent = VSub(hi, lo);
  const float widest = std::fmax(std::fmax(extent.x, extent.y), extent.z);
  const float scale = widest > 0.0f ? 1024.0f / widest : 0.0f;
  for (uint32_t k = 0; k < n; ++k) {
    const vector_type c = centres[k];
    (*codes)[k] = (SpreadBits(CurveCell(c.x, lo.x, scale)) << 2) | (SpreadBits(CurveCell(c.y, lo.y, scale)) << 1) |
                  SpreadBits(CurveCell(c.z, lo.z, scale));
    (*items)[k] = k;
  }
  RadixSortByCode(codes, items);
}

void BuildFeatureTreeInCurveOrder(FeatureTree* tree, const uint32_t* codes, const vector_type* mins,
                                  const vector_type* maxs, uint32_t n, uint32_t leafItems) {
  tree->nodes.clear();
  tree->itemMin.clear();
  tree->itemMax.clear();
  if (n == 0) return;
  if (leafItems < 1) leafItems = 1;
  // A binary tree whose leaves hold at least one item has fewer than 2 n nodes.
  tree->nodes.reserve(std::min<size_t>(2 * static_cast<size_t>(n), 4 * (n / leafItems + 1)));
  Builder builder{tree, mins, maxs, codes, leafItems};
  builder.Build(0, n, 0);
}

void BuildFeatureTree(FeatureTree* tree, const vector_type* mins, const vector_type* maxs, uint32_t n,
                      uint32_t leafItems) {
  std::vector<vector_type> centres(n);
  for (uint32_t k = 0; k < n; ++k) centres[k] = VScale(VAdd(mins[k], maxs[k]), 0.5f);
  std::vector<uint32_t> codes;
  SortAlongCurve(centres.data(), n, &tree->items, &codes);
  std::vector<vector_type> sortedMins(n), sortedMaxs(n);
  for (uint32_t k = 0; k < n; ++k) {
    sortedMins[k] = mins[tree->items[k]];
    sortedMaxs[k] = maxs[tree->items[k]];
  }
  BuildFeatureTreeInCurveOrder(tree, codes.data(), sortedMins.data(), sortedMaxs.data(), n, leafItems);
  tree->itemMin.swap(sortedMins);
  tree->itemMax.swap(sortedMaxs);
}

void BuildFeatureTree(FeatureTree* tree, const std::vector<vector_type>& mins, const std::vector<vector_type>& maxs) {
  BuildFeatureTree(tree, mins.data(), maxs.data(), static_cast<uint32_t>(mins.size()));
}

void QueryFeatureTree(const FeatureTree& tree, vector_type qmin, vector_type qmax, std::vector<uint32_t>* out) {
  auto overlaps = [&](vector_type mn, vector_type mx) { return BoxesOverlap(mn, mx, qmin, qmax); };
  WalkFeatureTreePlaces(tree, overlaps, [&](uint32_t k) {
    if (overlaps(tree.itemMin[k], tree.itemMax[k])) out->push_back(tree.items[k]);
  });
}
