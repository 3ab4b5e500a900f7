// Line-segment queries: a segment against the level through the box tree, against an
// axis-aligned box and against one triangle; and the projection of world points to pixels.
#pragma once
#include <cstdint>

#include "world/level_types.h"

// The nearest level contact of the last segment query that found one nearer than vecDistance.
extern vector_type gCollisionNormal;
extern vector_type gCollisionPoint;
extern int gCollisionMaterial;
// Hit point of the last segment query that hit (x, y, z).
extern float s1, s2, s3;
// Distance bound of the running query: a hit counts only when nearer, and then lowers it.
extern float vecDistance;

// Out-code bits of a point against a box (a point on a face is inside).
constexpr uint32_t kOutXMax = 0x01, kOutXMin = 0x02, kOutYMax = 0x04, kOutYMin = 0x08, kOutZMin = 0x10,
                   kOutZMax = 0x20;
// Below this |n . dir| a segment counts as parallel to a triangle's plane.
constexpr double kParallelEpsilon = 0.000001;

int CollideLineSegmentWorld(vector_type a, vector_type b, vector_type* intercept);
// 0 miss, 1 hit inside the triangle, 2 hit in the other half of the parallelogram it spans.
int LineSegmentCollidesWithTriangle(const vector_type* plane, const vector_type* lineA, const vector_type* lineB,
                                    vector_type* I);
int collide_linesegment_boundingbox(vector_type bbox_min, vector_type bbox_max, vector_type p1, vector_type p2,
                                    vector_type* intercept);
uint32_t calc_outcode(vector_type bbox_min, vector_type bbox_max, vector_type pnt);
// Window pixel (y growing downward) of a world point under the current GL matrices.
void GetScreenCoordFrom3DPoint(vector_type worldCoord, int* h, int* v);
