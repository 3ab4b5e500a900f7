// The collision copy of the level's triangles: corners gathered once per level build, a box
// hierarchy over the triangles' boxes, the triangles reordered into its leaves, and per node
// the largest sphere face-test margin below it.
#include "world/collision_mesh.h"

#include <algorithm>
#include <cmath>

CollisionMesh gCollisionMesh;

float FaceTestMargin(const CollisionTriangle& c) {
  const float span = VDistance(c.corner[1], c.corner[0]) + VDistance(c.corner[2], c.corner[0]);
  const vector_type mn = TriangleMin(c), mx = TriangleMax(c);
  const vector_type far = {std::fmax(std::fabs(mn.x), std::fabs(mx.x)), std::fmax(std::fabs(mn.y), std::fabs(mx.y)),
                           std::fmax(std::fabs(mn.z), std::fabs(mx.z))};
  const float size = std::fmax(std::fmax(far.x, far.y), far.z);
  return 0.03f * span + 1e-5f * size + 0.0001f;
}

void BuildCollisionMesh(std::vector<CollisionTriangle>* listed) {
  CollisionMesh& mesh = gCollisionMesh;
  mesh.build += 1;
  const uint32_t n = static_cast<uint32_t>(listed->size());
  std::vector<uint32_t> codes;
  {
    std::vector<vector_type> centres(n);
    for (uint32_t k = 0; k < n; ++k) {
      const CollisionTriangle& c = (*listed)[k];
      centres[k] = VScale(VAdd(TriangleMin(c), TriangleMax(c)), 0.5f);
    }
    SortAlongCurve(centres.data(), n, &mesh.tree.items, &codes);
  }
  mesh.trigs.resize(n);
  for (uint32_t k = 0; k < n; ++k) mesh.trigs[k] = (*listed)[mesh.tree.items[k]];
  *listed = std::vector<CollisionTriangle>();
  std::vector<vector_type> mins(n), maxs(n);
  for (uint32_t k = 0; k < n; ++k) {
    mins[k] = TriangleMin(mesh.trigs[k]);
    maxs[k] = TriangleMax(mesh.trigs[k]);
  }
  BuildFeatureTreeInCurveOrder(&mesh.tree, codes.data(), mins.data(), maxs.data(), n, kCollisionLeafTriangles);
  mesh.marginsReady = false;
}

void EnsureNodeMargins() {
  CollisionMesh& mesh = gCollisionMesh;
  if (mesh.marginsReady) return;
  mesh.marginsReady = true;
  // Children come after their parent, so a backward pass sees every child first.
  const size_t count = mesh.tree.nodes.size();
  mesh.nodeMargin.assign(count, 0.0f);
  for (size_t id = count; id-- > 0;) {
    const FeatureTree::Node& node = mesh.tree.nodes[id];
    float margin = 0.0f;
    if (node.left < 0) {
      for (uint32_t k = 0; k < node.count; ++k) margin = std::fmax(margin, FaceTestMargin(mesh.trigs[node.first + k]));
    } else {
      margin = std::fmax(mesh.nodeMargin[node.left], mesh.nodeMargin[node.right]);
    }
    mesh.nodeMargin[id] = margin;
  }
}

void FreeCollisionMesh() {
  const uint64_t build = gCollisionMesh.build;
  gCollisionMesh = CollisionMesh();
  gCollisionMesh.build = build + 1;
}
