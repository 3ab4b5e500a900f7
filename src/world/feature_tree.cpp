// Median-split box hierarchy over item boxes. Splits halve the item count, so its depth is
// about log2 of the count whatever the geometry (coincident items included).
#include "world/feature_tree.h"

#include <algorithm>

#include "world/world_math.h"

namespace {

constexpr uint32_t kLeafItems = 8;

struct Builder {
  FeatureTree* tree;
  const std::vector<vector_type>* mins;
  const std::vector<vector_type>* maxs;

  float Centre(uint32_t item, int axis) const {
    return 0.5f * (VComponent((*mins)[item], axis) + VComponent((*maxs)[item], axis));
  }

  int32_t Build(uint32_t first, uint32_t count) {
    FeatureTree::Node node{};
    node.first = first;
    node.count = count;
    node.left = node.right = -1;
    uint32_t* items = tree->items.data() + first;
    node.min = (*mins)[items[0]];
    node.max = (*maxs)[items[0]];
    vector_type cmin = {Centre(items[0], 0), Centre(items[0], 1), Centre(items[0], 2)}, cmax = cmin;
    for (uint32_t k = 0; k < count; ++k) {
      node.min = VMin(node.min, (*mins)[items[k]]);
      node.max = VMax(node.max, (*maxs)[items[k]]);
      vector_type c = {Centre(items[k], 0), Centre(items[k], 1), Centre(items[k], 2)};
      cmin = VMin(cmin, c);
      cmax = VMax(cmax, c);
    }
    const int32_t id = static_cast<int32_t>(tree->nodes.size());
    tree->nodes.push_back(node);
    if (count <= kLeafItems) return id;
    vector_type extent = VSub(cmax, cmin);
    int axis = 0;
    if (extent.y > extent.x) axis = 1;
    if (extent.z > VComponent(extent, axis)) axis = 2;
    const uint32_t half = count / 2;
    std::nth_element(items, items + half, items + count,
                     [&](uint32_t a, uint32_t b) { return Centre(a, axis) < Centre(b, axis); });
    const int32_t left = Build(first, half);
    const int32_t right = Build(first + half, count - half);
    tree->nodes[id].left = left;
    tree->nodes[id].right = right;
    return id;
  }
};

}  // namespace

void BuildFeatureTree(FeatureTree* tree, const std::vector<vector_type>& mins, const std::vector<vector_type>& maxs) {
  tree->nodes.clear();
  tree->items.resize(mins.size());
  for (uint32_t k = 0; k < mins.size(); ++k) tree->items[k] = k;
  if (mins.empty()) return;
  Builder builder{tree, &mins, &maxs};
  builder.Build(0, static_cast<uint32_t>(mins.size()));
}

void QueryFeatureTree(const FeatureTree& tree, vector_type qmin, vector_type qmax, std::vector<uint32_t>* out) {
  WalkFeatureTree(
      tree, [&](vector_type mn, vector_type mx) { return BoxesOverlap(mn, mx, qmin, qmax); },
      [&](uint32_t item) { out->push_back(item); });
}
