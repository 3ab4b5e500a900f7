// The level's triangles as the collision queries read them: each triangle's corners copied
// next to it into one array, ordered by a box hierarchy built with the level, so that segment
// queries, sweeps and sphere tests walk compact memory instead of the linked records.
#pragma once
#include <cstdint>
#include <vector>

#include "world/feature_tree.h"
#include "world/level_types.h"
#include "world/world_math.h"

struct CollisionTriangle {
  vector_type corner[3];  // the positions of vertexPtrs[0..2]
  level_triangle* trig;
};

struct CollisionMesh {
  FeatureTree tree;                      // leaf ranges index `trigs` directly
  std::vector<CollisionTriangle> trigs;  // in the tree's item order
  std::vector<float> nodeMargin;         // per node: the largest FaceTestMargin below it
  bool marginsReady = false;             // nodeMargin is made by the first sphere test
  uint64_t build = 0;                    // counts builds and frees, for the queries' own caches
};
extern CollisionMesh gCollisionMesh;

// Triangles per leaf of the collision hierarchy.
constexpr uint32_t kCollisionLeafTriangles = 4;

// Builds the hierarchy from the level's triangles (taken in list order; the array is used up).
void BuildCollisionMesh(std::vector<CollisionTriangle>* listed);
void FreeCollisionMesh();
// Makes the node margins if this build has none yet (only the sphere face test reads them).
void EnsureNodeMargins();

// The triangle's own box (the component-wise minimum and maximum of its corners).
inline vector_type TriangleMin(const CollisionTriangle& c) {
  return VMin(VMin(c.corner[0], c.corner[1]), c.corner[2]);
}
inline vector_type TriangleMax(const CollisionTriangle& c) {
  return VMax(VMax(c.corner[0], c.corner[1]), c.corner[2]);
}

// How far outside its triangle a contact of the sphere face test may lie: the test accepts
// barycentric coordinates down to -0.01 and sums up to 1.01, which reaches at most
// 0.02 (|B - A| + |C - A|) beyond the corners; the rest covers rounding.
float FaceTestMargin(const CollisionTriangle& c);

// Visits, through the nodes whose box passes `nodeTest(node id)`, every triangle of the
// leaves reached: `visit(triangle)`.
template <class NodeTest, class Visit>
void WalkCollisionMesh(NodeTest nodeTest, Visit visit) {
  const CollisionMesh& mesh = gCollisionMesh;
  if (mesh.tree.nodes.empty()) return;
  int32_t stack[kFeatureTreeMaxDepth + 2];
  int top = 0;
  stack[top++] = 0;
  while (top > 0) {
    const int32_t id = stack[--top];
    if (!nodeTest(id)) continue;
    const FeatureTree::Node& node = mesh.tree.nodes[id];
    if (node.left < 0) {
      for (uint32_t k = 0; k < node.count; ++k) visit(mesh.trigs[node.first + k]);
      continue;
    }
    stack[top++] = node.right;
    stack[top++] = node.left;
  }
}

// Visits every triangle whose own box overlaps [qmin, qmax] (touching counts).
template <class Visit>
void ForEachTriangleInBox(vector_type qmin, vector_type qmax, Visit visit) {
  const std::vector<FeatureTree::Node>& nodes = gCollisionMesh.tree.nodes;
  WalkCollisionMesh([&](int32_t id) { return BoxesOverlap(nodes[id].min, nodes[id].max, qmin, qmax); },
                    [&](const CollisionTriangle& c) {
                      if (BoxesOverlap(TriangleMin(c), TriangleMax(c), qmin, qmax)) visit(c);
                    });
}
