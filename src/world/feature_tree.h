// A static box hierarchy over items with boxes (triangles, edges, vertices), built once per
// level in linear time by sorting the items along a space-filling curve, and queried with a
// box or walked with a caller's own node test.
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
  std::vector<Node> nodes;      // node 0 is the root; a parent comes before its children
  std::vector<uint32_t> items;  // item numbers, grouped by leaf
  // The items' boxes, parallel to `items` (kept by BuildFeatureTree for QueryFeatureTree).
  std::vector<vector_type> itemMin, itemMax;
};

// Deepest node of any tree: the curve has 30 bits, and a range of items on one point of it
// is halved by count.
constexpr int kFeatureTreeMaxDepth = 64;
constexpr uint32_t kFeatureLeafItems = 8;

// Orders items 0..n-1 along the curve by the given centres: `items` gets the item numbers in
// curve order and `codes` their codes, in the same order.
void SortAlongCurve(const vector_type* centres, uint32_t n, std::vector<uint32_t>* items,
                    std::vector<uint32_t>* codes);
// Builds the nodes over items already in curve order (position k has code codes[k] and box
// [mins[k], maxs[k]]); tree->items is left as the caller set it.
void BuildFeatureTreeInCurveOrder(FeatureTree* tree, const uint32_t* codes, const vector_type* mins,
                                  const vector_type* maxs, uint32_t n, uint32_t leafItems);
// Builds over items 0..n-1 with the given boxes; a leaf holds at most `leafItems` items.
void BuildFeatureTree(FeatureTree* tree, const vector_type* mins, const vector_type* maxs, uint32_t n,
                      uint32_t leafItems = kFeatureLeafItems);
void BuildFeatureTree(FeatureTree* tree, const std::vector<vector_type>& mins, const std::vector<vector_type>& maxs);

// Visits, through nodes whose box passes `nodeTest(min, max)`, every place k of the leaves
// reached (an index into `items`, `itemMin` and `itemMax`): `visit(k)`.
template <class NodeTest, class Visit>
void WalkFeatureTreePlaces(const FeatureTree& tree, NodeTest nodeTest, Visit visit) {
  if (tree.nodes.empty()) return;
  int32_t stack[kFeatureTreeMaxDepth + 2];
  int top = 0;
  stack[top++] = 0;
  while (top > 0) {
    const FeatureTree::Node& node = tree.nodes[stack[--top]];
    if (!nodeTest(node.min, node.max)) continue;
    if (node.left < 0) {
      for (uint32_t k = 0; k < node.count; ++k) visit(node.first + k);
      continue;
    }
    stack[top++] = node.right;
    stack[top++] = node.left;
  }
}

// Visits, through nodes whose box passes `nodeTest(min, max)`, every item of the leaves
// reached: `visit(item)`.
template <class NodeTest, class Visit>
void WalkFeatureTree(const FeatureTree& tree, NodeTest nodeTest, Visit visit) {
  WalkFeatureTreePlaces(tree, nodeTest, [&](uint32_t k) { visit(tree.items[k]); });
}

// Appends to `out` every item whose box overlaps [qmin, qmax] (in no particular order); the
// tree must have been made by BuildFeatureTree.
void QueryFeatureTree(const FeatureTree& tree, vector_type qmin, vector_type qmax, std::vector<uint32_t>* out);
