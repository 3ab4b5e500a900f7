// Segment queries: the level (tree walk, then each held triangle prefiltered by its box),
// boxes by out-codes, triangles by plane crossing and barycentric coordinates; and the
// projection of world points to window pixels.
#include "world/line_queries.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "script/variables.h"
#include "world/box_tree.h"
#include "world/level_mesh.h"
#include "world/world_math.h"

vector_type gCollisionNormal = {0.0f, 0.0f, 0.0f};
vector_type gCollisionPoint = {0.0f, 0.0f, 0.0f};
int gCollisionMaterial = 0;
float s1 = 0.0f, s2 = 0.0f, s3 = 0.0f;
float vecDistance = 65535.0f;

uint32_t calc_outcode(vector_type bbox_min, vector_type bbox_max, vector_type pnt) {
  uint32_t code = 0;
  if (pnt.x > bbox_max.x) code |= kOutXMax;
  if (pnt.x < bbox_min.x) code |= kOutXMin;
  if (pnt.y > bbox_max.y) code |= kOutYMax;
  if (pnt.y < bbox_min.y) code |= kOutYMin;
  if (pnt.z < bbox_min.z) code |= kOutZMin;
  if (pnt.z > bbox_max.z) code |= kOutZMax;
  return code;
}

int collide_linesegment_boundingbox(vector_type bbox_min, vector_type bbox_max, vector_type p1, vector_type p2,
                                    vector_type* intercept) {
  vector_type scratch;
  if (!intercept) intercept = &scratch;
  const uint32_t code1 = calc_outcode(bbox_min, bbox_max, p1);
  if (code1 == 0) {
    *intercept = p1;
    return 1;
  }
  const uint32_t code2 = calc_outcode(bbox_min, bbox_max, p2);
  if (code2 == 0) {
    *intercept = p2;
    return 1;
  }
  if (code1 & code2) return 0;
  const vector_type d = VSub(p2, p1);
  // p2 lies on the inner side of every face p1 is beyond, so the divisions below are by
  // a non-zero difference.
  if (code1 & (kOutXMax | kOutXMin)) {
    float x = (code1 & kOutXMax) ? bbox_max.x : bbox_min.x;
    float t = (x - p1.x) / d.x;
    intercept->x = x;
    intercept->y = p1.y + t * d.y;
    intercept->z = p1.z + t * d.z;
    if (intercept->y >= bbox_min.y && intercept->y <= bbox_max.y && intercept->z >= bbox_min.z &&
        intercept->z <= bbox_max.z)
      return 1;
  }
  if (code1 & (kOutYMax | kOutYMin)) {
    float y = (code1 & kOutYMax) ? bbox_max.y : bbox_min.y;
    float t = (y - p1.y) / d.y;
    intercept->x = p1.x + t * d.x;
    intercept->y = y;
    intercept->z = p1.z + t * d.z;
    if (intercept->x >= bbox_min.x && intercept->x <= bbox_max.x && intercept->z >= bbox_min.z &&
        intercept->z <= bbox_max.z)
      return 1;
  }
  if (code1 & (kOutZMax | kOutZMin)) {
    float z = (code1 & kOutZMax) ? bbox_max.z : bbox_min.z;
    float t = (z - p1.z) / d.z;
    intercept->x = p1.x + t * d.x;
    intercept->y = p1.y + t * d.y;
    intercept->z = z;
    if (intercept->x >= bbox_min.x && intercept->x <= bbox_max.x && intercept->y >= bbox_min.y &&
        intercept->y <= bbox_max.y)
      return 1;
  }
  return 0;
}

int LineSegmentCollidesWithTriangle(const vector_type* plane, const vector_type* lineA, const vector_type* lineB,
                                    vector_type* I) {
  const vector_type A = plane[0];
  const vector_type u = VSub(plane[1], A), v = VSub(plane[2], A);
  const vector_type n = VCross(u, v);
  const vector_type dir = VSub(*lineB, *lineA);
  const vector_type w0 = VSub(*lineA, A);
  const double num = -VDot(n, w0);
  const double den = VDot(n, dir);
  if (!(std::fabs(den) >= kParallelEpsilon)) return 0;
  const double r = num / den;
  if (!(r >= 0.0 && r <= 1.0)) return 0;
  vector_type X = {lineA->x + static_cast<float>(r * dir.x), lineA->y + static_cast<float>(r * dir.y),
                   lineA->z + static_cast<float>(r * dir.z)};
  if (I) *I = X;

  const vector_type w = VSub(X, A);
  const double uu = VDot(u, u), uv = VDot(u, v), vv = VDot(v, v), wu = VDot(w, u), wv = VDot(w, v);
  const double D = uv * uv - uu * vv;
  if (D == 0.0) return 0;  // a triangle without area cannot be hit
  const double s = (uv * wv - vv * wu) / D;
  const double t = (uv * wu - uu * wv) / D;
  if (!(s >= 0.0 && s <= 1.0) || !(t >= 0.0 && t <= 1.0)) return 0;
  const int result = (s + t <= 1.0 || s + t >= 2.0) ? 1 : 2;
  if (!I) {
    s1 = X.x;
    s2 = X.y;
    s3 = X.z;
  }
  return result;
}

void RecursiveLineSegmentWorldCollision(AABB* box, vector_type a, vector_type b, vector_type* intercept) {
  if (!box) return;
  if (!collide_linesegment_boundingbox(box->min, box->max, a, b, intercept)) return;
  MarkNode(box);
  RecursiveLineSegmentWorldCollision(box->sub1, a, b, intercept);
  RecursiveLineSegmentWorldCollision(box->sub2, a, b, intercept);
}

int CollideLineSegmentWorld(vector_type a, vector_type b, vector_type* intercept) {
  vector_type scratch;
  if (!intercept) intercept = &scratch;
  UpdateLevelIfChanged();
  ClearNodeMarks();
  if (!baseLT.next) return 0;
  RecursiveLineSegmentWorldCollision(&boxTree, a, b, intercept);

  // The triangles of the marked nodes, nearest hit first; among equal distances the one
  // earliest in the triangle list wins, as a walk of the list in order would find it.
  int anyHit = 0;
  level_triangle* best = nullptr;
  float bestDistance = 0.0f;
  vector_type bestPoint = {0.0f, 0.0f, 0.0f};
  // Boxes of the held-triangle hierarchies are tested grown by a hair, so that rounding in
  // the entry point can never drop a triangle whose own box the segment meets.
  auto mayMeet = [&](vector_type mn, vector_type mx) {
    float big = std::fmax(std::fmax(std::fabs(mn.x), std::fabs(mx.x)),
                          std::fmax(std::fmax(std::fabs(mn.y), std::fabs(mx.y)), std::fmax(std::fabs(mn.z), std::fabs(mx.z))));
    const float e = 1e-4f + 1e-5f * big;
    vector_type scratchPoint;
    return collide_linesegment_boundingbox(VSub(mn, vector_type{e, e, e}), VAdd(mx, vector_type{e, e, e}), a, b,
                                           &scratchPoint) != 0;
  };
  for (AABB* node : MarkedNodes()) {
    ForEachHeldCandidate(node, mayMeet, [&](const HeldTriangle& h) {
      if (!collide_linesegment_boundingbox(h.min, h.max, a, b, intercept)) return;
      level_triangle* t = h.trig;
      vector_type X;
      if (LineSegmentCollidesWithTriangle(TriangleCollPlane(t), &a, &b, &X) != 1) return;
      anyHit = 1;
      float d = VDistance(a, X);
      if (!(d == d)) return;
      if (!best || d < bestDistance ||
          (d == bestDistance && TriangleListOrder(t) < TriangleListOrder(best))) {
        best = t;
        bestDistance = d;
        bestPoint = X;
      }
    });
  }
  if (best && bestDistance < vecDistance) {
    gCollisionNormal = best->normal;
    gCollisionPoint = bestPoint;
    gCollisionMaterial = best->meshworkMaterial;
    vecDistance = bestDistance;
    *intercept = bestPoint;
  }
  return anyHit;
}

void GetScreenCoordFrom3DPoint(vector_type worldCoord, int* h, int* v) {
  GLdouble modelview[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  GLdouble winX = 0.0, winY = 0.0, winZ = 0.0;
  gluProject(worldCoord.x, worldCoord.y, worldCoord.z, modelview, projection, viewport, &winX, &winY, &winZ);
  // Points far off screen (or behind the eye) saturate at the int limits.
  *h = TruncateToInt(winX);
  *v = TruncateToInt(viewport[3] - winY);
}
