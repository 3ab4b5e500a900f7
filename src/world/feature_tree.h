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
// Appends to `out` every item whose box overlaps [qmin, qmax] (in no particular order).
void QueryFeatureTree(const FeatureTree& tree, vector_type qmin, vector_type qmax, std::vector<uint32_t>* out);
