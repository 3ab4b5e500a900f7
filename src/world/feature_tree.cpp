// Box hierarchy built in linear time: each item's box centre gets a 30-bit Morton code (10
// bits per axis over the items' bounds, cells of equal size on every axis), a radix sort orders the items along that curve, and
// each node splits its range where the highest differing code bit changes (by count when all
// codes are equal). Node boxes are the unions of their items' boxes.
#include "world/feature_tree.h"

#include <cmath>

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

// Stable sort of (code, item) pairs by code: three passes of ten bits.
void RadixSortByCode(std::vector<uint32_t>* codes, std::vector<uint32_t>* items) {
  const size_t n = codes->size();
  std::vector<uint32_t> codes2(n), items2(n);
  std::vector<uint32_t> count(1024);
  for (int shift = 0; shift < 30; shift += 10) {
    std::fill(count.begin(), count.end(), 0u);
    for (uint32_t c : *codes) ++count[(c >> shift) & 1023u];
    uint32_t sum = 0;
    for (uint32_t& c : count) {
      const uint32_t here = c;
      c = sum;
      sum += here;
    }
    for (size_t k = 0; k < n; ++k) {
      const uint32_t slot = count[((*codes)[k] >> shift) & 1023u]++;
      codes2[slot] = (*codes)[k];
      items2[slot] = (*items)[k];
    }
    codes->swap(codes2);
    items->swap(items2);
  }
}

struct Builder {
  FeatureTree* tree;
  const vector_type* mins;
  const vector_type* maxs;
  const uint32_t* codes;  // sorted, parallel to tree->items
  uint32_t leafItems;

  int32_t Build(uint32_t first, uint32_t count, int depth) {
    const int32_t id = static_cast<int32_t>(tree->nodes.size());
    tree->nodes.emplace_back();
    FeatureTree::Node node{};
    node.first = first;
    node.count = count;
    node.left = node.right = -1;
    if (count <= leafItems || depth >= kFeatureTreeMaxDepth) {
      const uint32_t* items = tree->items.data() + first;
      node.min = mins[items[0]];
      node.max = maxs[items[0]];
      for (uint32_t k = 1; k < count; ++k) {
        node.min = VMin(node.min, mins[items[k]]);
        node.max = VMax(node.max, maxs[items[k]]);
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

void BuildFeatureTree(FeatureTree* tree, const vector_type* mins, const vector_type* maxs, uint32_t n,
                      uint32_t leafItems) {
  tree->nodes.clear();
  tree->items.resize(n);
  if (n == 0) return;
  if (leafItems < 1) leafItems = 1;

  std::vector<uint32_t> codes(n);
  vector_type lo = VScale(VAdd(mins[0], maxs[0]), 0.5f), hi = lo;
  for (uint32_t k = 0; k < n; ++k) {
    const vector_type c = VScale(VAdd(mins[k], maxs[k]), 0.5f);
    lo = VMin(lo, c);
    hi = VMax(hi, c);
  }
  // Cubic cells: one scale for all axes, so that a flat level is not cut along its thin side
  // as often as along its wide ones.
  const vector_type extent = VSub(hi, lo);
  const float widest = std::fmax(std::fmax(extent.x, extent.y), extent.z);
  const float sx = widest > 0.0f ? 1024.0f / widest : 0.0f, sy = sx, sz = sx;
  for (uint32_t k = 0; k < n; ++k) {
    const vector_type c = VScale(VAdd(mins[k], maxs[k]), 0.5f);
    codes[k] = (SpreadBits(CurveCell(c.x, lo.x, sx)) << 2) | (SpreadBits(CurveCell(c.y, lo.y, sy)) << 1) |
               SpreadBits(CurveCell(c.z, lo.z, sz));
    tree->items[k] = k;
  }
  RadixSortByCode(&codes, &tree->items);

  // A binary tree over n items with leaves of at least one item has fewer than 2 n nodes.
  tree->nodes.reserve(2 * (n / leafItems + 1));
  Builder builder{tree, mins, maxs, codes.data(), leafItems};
  builder.Build(0, n, 0);
}

void BuildFeatureTree(FeatureTree* tree, const std::vector<vector_type>& mins, const std::vector<vector_type>& maxs) {
  BuildFeatureTree(tree, mins.data(), maxs.data(), static_cast<uint32_t>(mins.size()));
}

void QueryFeatureTree(const FeatureTree& tree, vector_type qmin, vector_type qmax, std::vector<uint32_t>* out) {
  WalkFeatureTree(
      tree, [&](vector_type mn, vector_type mx) { return BoxesOverlap(mn, mx, qmin, qmax); },
      [&](uint32_t item) { out->push_back(item); });
}
