// Builds level meshes for the world tests: single triangles, floors, walls and grids put
// straight into the level lists, plus bodies (objects with a model) for collision tests.
#pragma once
#include <vector>

#include "objects/vector_math.h"
#include "world/level_types.h"

struct human_being;

namespace wt {

// Empties the level and gives it the single default material (plus `extraMaterials` more,
// the last `transparent` of them blended).
void ResetLevel(int extraMaterials = 0, int transparent = 0);
// Appends a triangle with three new vertices, normal from its winding.
level_triangle* AddTriangle(vector_type a, vector_type b, vector_type c, int material = 0);
// A square of two triangles facing up (y) at height y, from (x0, z0) to (x1, z1).
void AddFloor(float x0, float z0, float x1, float z1, float y);
// An n by n grid of floor squares of the given cell size starting at the origin.
void AddFloorGrid(int n, float cell, float y);
// A wall in the plane z = z0 from x0 to x1 and y0 to y1, facing -z (toward smaller z).
void AddWallFacingMinusZ(float x0, float x1, float y0, float y1, float z0);
// `count` small random triangles inside the cube [0, extent]^3, seeded.
void AddRandomTriangles(int count, float extent, float size, unsigned seed);
std::vector<level_triangle*> Triangles();
int TriangleCount();

// An object with a model of the given cylinder and sphere sizes, appended to the object list.
human_being* AddBody(vector_type pos, float cradius, float halfHeight, float sphereRadius);
void RemoveBodies();

inline vector_type V(float x, float y, float z) { return {x, y, z}; }

}  // namespace wt
