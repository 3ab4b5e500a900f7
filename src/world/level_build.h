// The level build: the triangle list is read once into flat arrays (corners, vertex numbers,
// normal, centroid, texture coordinates, material), sorted by distance to the player, and every
// derived structure (box tree, collision data, draw arrays) is made from those arrays instead
// of walking the linked records again. What each part decides for a triangle (holding node,
// plane record, draw index, list links) is written back to the records in one final pass.
#pragma once
#include <cstdint>
#include <vector>

#include "world/collision_mesh.h"
#include "world/level_types.h"
#include "world/record_pool.h"
#include "world/world_math.h"

// One level triangle as the build reads it.
struct BuildTriangle {
  level_triangle* trig;
  vector_type corner[3];  // positions of vertexPtrs[0..2]
  uint32_t vertex[3];     // their vertex numbers
  vector_type normal;
  vector_type centroid;   // the corner sum times 0.333333
  float distance;         // from the centroid to the player
  float uv[6];            // u, v of each corner
  int32_t material;       // meshworkMaterial
  int32_t drawn;          // visible and not invisible
};

// The triangle's own box: the component-wise minimum and maximum of its corners.
inline vector_type TriangleBoxMin(const BuildTriangle& t) {
  return VMin(VMin(t.corner[0], t.corner[1]), t.corner[2]);
}
inline vector_type TriangleBoxMax(const BuildTriangle& t) {
  return VMax(VMax(t.corner[0], t.corner[1]), t.corner[2]);
}

// What the parts of the build decide for one triangle.
struct BuiltTriangle {
  AABB* node;          // its holding node
  plane_type* plane;   // its plane record
  uint32_t drawIndex;
  int32_t marked;      // it straddles its holding node's midpoint
};

// A triangle's number in the build is its position in the list as the build read it.
struct LevelBuild {
  LargePageVector<BuildTriangle> triangles;  // by number
  LargePageVector<BuiltTriangle> built;      // by number
  LargePageVector<uint32_t> order;           // by place in the sorted list (nearest first): the number
  LargePageVector<uint32_t> placeOf;         // by number: the place
  // By place: the corners and the record, which the box tree and the collision data read in
  // list order (the collision data takes the array over).
  std::vector<CollisionTriangle> placed;
};

// Numbers the vertices 0..n-1 in list order, makes every vertex normal and collPos, and reads
// the triangles in list order.
void GatherLevelForBuild(LevelBuild* build);
// Sorts the triangles by ascending distance to the player; equal distances keep their order.
void SortLevelBuildByDistance(LevelBuild* build);
// Links the list in the sorted order and writes what the parts decided into each triangle:
// zDist, listOrder, marked, boundingBox and its holding node, thePlane, drawIndex.
void StoreLevelBuild(const LevelBuild& build);
