// The box hierarchy sorted along a curve: every item lands in exactly one leaf, node boxes
// enclose their items, box queries find exactly the items a scan finds (mixed sizes, items
// on one point, flat sets), and the depth stays within its bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "world/feature_tree.h"

namespace {

vector_type V(float x, float y, float z) { return {x, y, z}; }

bool Overlap(vector_type mn1, vector_type mx1, vector_type mn2, vector_type mx2) {
  return mn1.x <= mx2.x && mn2.x <= mx1.x && mn1.y <= mx2.y && mn2.y <= mx1.y && mn1.z <= mx2.z && mn2.z <= mx1.z;
}

bool Inside(vector_type mn, vector_type mx, const FeatureTree::Node& node) {
  return node.min.x <= mn.x && node.min.y <= mn.y && node.min.z <= mn.z && mx.x <= node.max.x &&
         mx.y <= node.max.y && mx.z <= node.max.z;
}

// Checks the tree's shape against its items and returns its depth.
int CheckShape(const FeatureTree& tree, const std::vector<vector_type>& mins, const std::vector<vector_type>& maxs,
               uint32_t leafItems) {
  std::vector<int> seen(mins.size(), 0);
  int deepest = 0;
  std::vector<std::pair<int32_t, int>> stack = {{0, 0}};
  while (!stack.empty()) {
    auto [id, depth] = stack.back();
    stack.pop_back();
    deepest = std::max(deepest, depth);
    const FeatureTree::Node& node = tree.nodes[id];
    if (node.left < 0) {
      EXPECT_TRUE(node.count <= leafItems || depth >= kFeatureTreeMaxDepth) << "leaf of " << node.count;
      for (uint32_t k = 0; k < node.count; ++k) {
        const uint32_t item = tree.items[node.first + k];
        seen[item] += 1;
        EXPECT_TRUE(Inside(mins[item], maxs[item], node)) << "item " << item << " outside its leaf";
      }
      continue;
    }
    EXPECT_TRUE(Inside(tree.nodes[node.left].min, tree.nodes[node.left].max, node));
    EXPECT_TRUE(Inside(tree.nodes[node.right].min, tree.nodes[node.right].max, node));
    stack.push_back({node.left, depth + 1});
    stack.push_back({node.right, depth + 1});
  }
  for (size_t k = 0; k < seen.size(); ++k) EXPECT_EQ(seen[k], 1) << "item " << k;
  return deepest;
}

void ExpectQueriesMatchAScan(const FeatureTree& tree, const std::vector<vector_type>& mins,
                             const std::vector<vector_type>& maxs, float extent, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> pos(-0.1f * extent, 1.1f * extent), size(0.0f, 0.2f * extent);
  for (int q = 0; q < 200; ++q) {
    const vector_type qmin = V(pos(rng), pos(rng), pos(rng));
    const vector_type qmax = V(qmin.x + size(rng), qmin.y + size(rng), qmin.z + size(rng));
    std::vector<uint32_t> found, expected;
    QueryFeatureTree(tree, qmin, qmax, &found);
    for (uint32_t k = 0; k < mins.size(); ++k)
      if (Overlap(mins[k], maxs[k], qmin, qmax)) expected.push_back(k);
    std::sort(found.begin(), found.end());
    ASSERT_EQ(found, expected) << "query " << q;
  }
}

TEST(FeatureTree, MixedSizesAndOneHugeItemAreFoundExactlyAsByAScan) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> pos(0.0f, 100.0f), size(0.0f, 2.0f);
  std::vector<vector_type> mins, maxs;
  for (int k = 0; k < 5000; ++k) {
    vector_type a = V(pos(rng), pos(rng), pos(rng));
    mins.push_back(a);
    maxs.push_back(V(a.x + size(rng), a.y + size(rng), a.z + size(rng)));
  }
  mins.push_back(V(-10, 40, -10));  // a floor over everything
  maxs.push_back(V(110, 40, 110));
  FeatureTree tree;
  BuildFeatureTree(&tree, mins, maxs);
  EXPECT_LE(CheckShape(tree, mins, maxs, kFeatureLeafItems), kFeatureTreeMaxDepth);
  ExpectQueriesMatchAScan(tree, mins, maxs, 100.0f, 5);
}

TEST(FeatureTree, ItemsOnOnePointAndFlatSetsStayShallowAndComplete) {
  // Ten thousand items on one point: every code is equal, so ranges are halved by count.
  std::vector<vector_type> same(10000, V(1, 2, 3));
  FeatureTree tree;
  BuildFeatureTree(&tree, same, same);
  EXPECT_LE(CheckShape(tree, same, same, kFeatureLeafItems), 20);
  std::vector<uint32_t> found;
  QueryFeatureTree(tree, V(1, 2, 3), V(1, 2, 3), &found);
  EXPECT_EQ(found.size(), same.size());

  // A flat grid of points (no height), with a few items far away on every axis.
  std::vector<vector_type> flat;
  for (int i = 0; i < 100; ++i)
    for (int j = 0; j < 100; ++j) flat.push_back(V(i * 0.5f, 0.0f, j * 0.5f));
  flat.push_back(V(-1e6f, 0, 0));
  flat.push_back(V(0, 1e6f, 0));
  FeatureTree flatTree;
  BuildFeatureTree(&flatTree, flat, flat);
  EXPECT_LE(CheckShape(flatTree, flat, flat, kFeatureLeafItems), kFeatureTreeMaxDepth);
  ExpectQueriesMatchAScan(flatTree, flat, flat, 50.0f, 8);

  FeatureTree empty;
  BuildFeatureTree(&empty, std::vector<vector_type>(), std::vector<vector_type>());
  found.clear();
  QueryFeatureTree(empty, V(-1, -1, -1), V(1, 1, 1), &found);
  EXPECT_TRUE(found.empty());
}

}  // namespace
