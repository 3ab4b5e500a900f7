// The box tree over the level triangles: building (each node keeps the triangles it holds),
// frustum culling by node, and the per-query node marks shared by culling and collision.
#pragma once
#include <cstdint>
#include <vector>

#include "world/level_types.h"

struct LevelBuild;

// The root; the chain of all nodes starts here.
extern AABB boxTree;
// Deepest level a split may reach; a node there stays a leaf whatever it holds.
constexpr int kMaxBoxTreeDepth = 96;
// A node holding more than this many triangles after a split is split again.
constexpr int kMaxTrianglesPerLeaf = 10;

int AABBinAABB(const AABB* smallOne, const AABB* big);
// Builds the tree below the root from the triangles the root holds, while BuildBoxTree runs.
// Only the root can be split: the tree is always rebuilt whole.
void SubDevideAABB(AABB* theBox);
void HandleMeshCulling();
void CheckAABBWithPlanesRecursively(AABB* box);
int CheckAABBWithPlanes(AABB* box);
void DrawAABB(AABB box);

// Puts every triangle of the build into the root (box, holding node, count) and builds the
// tree, leaving each triangle's box, holding node and straddling mark in the build; with no
// triangles the root keeps its last box and has no children.
void BuildBoxTree(LevelBuild* build);
// Frees every node after the root and resets the root's links and count.
void FreeBoxTree();

// One triangle a node holds, with a copy of its box kept next to it so that partitioning and
// box prefilters read one compact array instead of the triangle records.
struct HeldTriangle {
  vector_type min, max;
  level_triangle* trig;
};
// The triangles a node holds (those whose box's parent is the node), and their numbers in the
// level build that made the tree.
struct HeldTriangles {
  const HeldTriangle* list;
  const uint32_t* numbers;
  int count;
};
HeldTriangles NodeHeldTriangles(const AABB* node);
int BoxTreeNodeCount();  // nodes in the chain, the root included
int BoxTreeDepth();      // deepest node level, the root being 0

// Node marks (`visible`): cleared before each use; only marked nodes are tracked, so
// clearing costs what the last user marked.
void ClearNodeMarks();
void MarkNode(AABB* node);
// The nodes marked since the last ClearNodeMarks, in marking order.
const std::vector<AABB*>& MarkedNodes();
