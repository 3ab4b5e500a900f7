// Segment queries: the level (a nearest-first walk of the collision hierarchy, each triangle
// prefiltered by its own box), boxes by out-codes, triangles by plane crossing and barycentric
// coordinates; and the projection of world points to window pixels.
#include "world/line_queries.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <utility>

#include "script/variables.h"
#include "world/box_tree.h"
#include "world/collision_mesh.h"
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

namespace {

// The segment a + t d, 0 <= t <= 1, against boxes of the collision hierarchy. Boxes are grown
// by `slack` so that rounding can never drop a triangle whose own box the segment meets.
struct SegmentWalk {
  double a[3], d[3], inv[3];
  double slack;

  // The entry parameter of the segment into the grown box, or a negative value when it misses.
  double Enter(vector_type mn, vector_type mx) const {
    const double lo[3] = {mn.x - slack, mn.y - slack, mn.z - slack};
    const double hi[3] = {mx.x + slack, mx.y + slack, mx.z + slack};
    double t0 = 0.0, t1 = 1.0;
    for (int k = 0; k < 3; ++k) {
      if (d[k] == 0.0) {
        if (a[k] < lo[k] || a[k] > hi[k]) return -1.0;
        continue;
      }
      double ta = (lo[k] - a[k]) * inv[k], tb = (hi[k] - a[k]) * inv[k];
      if (ta > tb) std::swap(ta, tb);
      if (ta > t0) t0 = ta;
      if (tb < t1) t1 = tb;
      if (t0 > t1) return -1.0;
    }
    return t0;
  }
};

float LargestMagnitude(vector_type v) {
  return std::fmax(std::fmax(std::fabs(v.x), std::fabs(v.y)), std::fabs(v.z));
}

bool Finite(vector_type v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

int CollideLineSegmentWorld(vector_type a, vector_type b, vector_type* intercept) {
  vector_type scratch;
  if (!intercept) intercept = &scratch;
  UpdateLevelIfChanged();
  const CollisionMesh& mesh = gCollisionMesh;
  if (!baseLT.next || mesh.tree.nodes.empty()) return 0;
  // A segment with an end that is not a finite point crosses no plane at a finite point.
  if (!Finite(a) || !Finite(b)) return 0;

  SegmentWalk walk;
  const vector_type ends[2] = {a, b};
  for (int k = 0; k < 3; ++k) {
    walk.a[k] = VComponent(a, k);
    walk.d[k] = static_cast<double>(VComponent(b, k)) - VComponent(a, k);
    walk.inv[k] = walk.d[k] != 0.0 ? 1.0 / walk.d[k] : 0.0;
  }
  const FeatureTree::Node& root = mesh.tree.nodes[0];
  const float size = std::fmax(std::fmax(LargestMagnitude(root.min), LargestMagnitude(root.max)),
                               std::fmax(LargestMagnitude(ends[0]), LargestMagnitude(ends[1])));
  walk.slack = 1e-5 * (1.0 + size);
  const double length = std::sqrt(walk.d[0] * walk.d[0] + walk.d[1] * walk.d[1] + walk.d[2] * walk.d[2]);

  // Nearest hit first; among equal distances the triangle earliest in the list, as a walk of
  // the list in order would keep it. Nodes are visited nearest entry first, and a node whose
  // entry lies beyond the best hit so far (with room for rounding) cannot hold a nearer or
  // equally near hit.
  int anyHit = 0;
  const level_triangle* best = nullptr;
  float bestDistance = 0.0f;
  vector_type bestPoint = {0.0f, 0.0f, 0.0f};
  struct Pending {
    int32_t id;
    double enter;
  };
  Pending stack[kFeatureTreeMaxDepth + 2];
  int top = 0;
  const double rootEnter = walk.Enter(root.min, root.max);
  if (rootEnter >= 0.0) stack[top++] = {0, rootEnter};
  while (top > 0) {
    const Pending here = stack[--top];
    if (best && here.enter * length > bestDistance * (1.0 + 1e-5) + walk.slack) continue;
    const FeatureTree::Node& node = mesh.tree.nodes[here.id];
    if (node.left >= 0) {
      const FeatureTree::Node& l = mesh.tree.nodes[node.left];
      const FeatureTree::Node& r = mesh.tree.nodes[node.right];
      const double el = walk.Enter(l.min, l.max), er = walk.Enter(r.min, r.max);
      // What each child met will read next is asked for now: its far child, or its triangles.
      for (const FeatureTree::Node* child : {&l, &r}) {
        if (child->left >= 0) __builtin_prefetch(&mesh.tree.nodes[child->right]);
        else __builtin_prefetch(&mesh.trigs[child->first]);
      }
      // The nearer child is visited first, so it goes on the stack last.
      if (el <= er) {
        if (er >= 0.0) stack[top++] = {node.right, er};
        if (el >= 0.0) stack[top++] = {node.left, el};
      } else {
        if (el >= 0.0) stack[top++] = {node.left, el};
        if (er >= 0.0) stack[top++] = {node.right, er};
      }
      continue;
    }
    for (uint32_t k = 0; k < node.count; ++k) {
      const CollisionTriangle& c = mesh.trigs[node.first + k];
      vector_type boxPoint;
      if (!collide_linesegment_boundingbox(TriangleMin(c), TriangleMax(c), a, b, &boxPoint)) continue;
      vector_type X;
      if (LineSegmentCollidesWithTriangle(c.corner, &a, &b, &X) != 1) continue;
      anyHit = 1;
      const float d = VDistance(a, X);
      if (!(d == d)) continue;
      if (!best || d < bestDistance || (d == bestDistance && TriangleListBefore(c.trig, best))) {
        best = c.trig;
        bestDistance = d;
        bestPoint = X;
        // Its record is read for the results once the walk ends: ask for it now.
        __builtin_prefetch(best);
      }
    }
  }
  if (!best) return anyHit;
  *intercept = bestPoint;
  if (bestDistance < vecDistance) {
    gCollisionNormal = best->normal;
    gCollisionPoint = bestPoint;
    gCollisionMaterial = best->meshworkMaterial;
    vecDistance = bestDistance;
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
