// A static box hierarchy over small items (the level's edges and vertices), built once per
// level by median splits and queried with a box; used by the sphere contact test.
#pragma once
#include <cstdint>
#include <vector>

#include "objects/vector_math.h"

struct FeatureTree {
  struct Node {
    vector_type min, max;
    uint32_t first, count;  // item range for a leaf
    int32_t left, right;    // children, -1 for a leaf
  };
  std::vector<Node> nodes;
  std::vector<uint32_t> items;  // item numbers, grouped by leaf
};

// Builds over items 0..n-1 with the given boxes.
void BuildFeatureTree(FeatureTree* tree, const std::vector<vector_type>& mins, const std::vector<vector_type>& maxs);
// Visits, through nodes whose box passes `nodeTest(min, max)`, every item of the leaves
// reached: `visit(item)`.
template <class NodeTest, class Visit>
void WalkFeatureTree(const FeatureTree& tree, NodeTest nodeTest, Visit visit) {
  if (tree.nodes.empty()) return;
  int32_t stack[128];
  int top = 0;
  stack[top++] = 0;
  while (top > 0) {
    const FeatureTree::Node& node = tree.nodes[stack[--top]];
    if (!nodeTest(node.min, node.max)) continue;
    if (node.left < 0) {
      for (uint32_t k = 0; k < node.count; ++k) visit(tree.items[node.first + k]);
      continue;
    }
    stack[top++] = node.left;
    stack[top++] = node.right;
  }
}

// Appends to `out` every item whose box overlaps [qmin, qmax] (in no particular order).
void QueryFeatureTree(const FeatureTree& tree, vector_type qmin, vector_type qmax, std::vector<uint32_t>* out);
