// Object collision: cylinders, the moving sphere against level faces (through the collision
// hierarchy, each triangle widened by its own face-test margin), edges and corners (through
// feature trees) and other spheres, and the segment query against level, player box and
// object boxes. Also the collision data built with the level: plane records and hierarchies.
#include "world/object_collision.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>
#include <vector>

#include "models/model_types.h"
#include "objects/human.h"
#include "objects/player.h"
#include "script/engine_variables.h"
#include "script/scheduler.h"
#include "shell/startup.h"
#include "world/collide_slide.h"
#include "world/collision_mesh.h"
#include "world/feature_tree.h"
#include "world/level_build.h"
#include "world/level_mesh.h"
#include "world/line_queries.h"
#include "world/record_pool.h"
#include "world/world_math.h"

float gPlayerBoundingSphereRadius = 0.6f;
bbox playerBox;
int hitPerson = 0;
int collType = 0;
float oldS1 = 0.0f, oldS2 = 0.0f, oldS3 = 0.0f;
int gDoObjectPoke = 1;
human_being* gPokeObject = nullptr;

namespace {

// Plane records of the level triangles, chained in list order, from blocks like the level's
// own records (a record never moves while the chain grows).
RecordPool<plane_type> gPlanePool;

// The edges and vertices of the level, each with its box hierarchy. Only the sphere test's
// edge and corner pass reads them, so they are gathered on its first use after a level build.
bool gFeaturesReady = false;
std::vector<mesh_edge*> gEdgeItems;
std::vector<mesh_vert*> gVertexItems;
FeatureTree gEdgeTree;
FeatureTree gVertexTree;
std::vector<uint32_t> gFeatureHits;

void EnsureFeatureTrees() {
  if (gFeaturesReady) return;
  gFeaturesReady = true;
  gEdgeItems.clear();
  gVertexItems.clear();
  std::vector<vector_type> mins, maxs;
  for (mesh_edge* e = baseEdge.next; e; e = e->next) {
    if (!e->v1 || !e->v2) continue;
    gEdgeItems.push_back(e);
    mins.push_back(VMin(e->v1->pos, e->v2->pos));
    maxs.push_back(VMax(e->v1->pos, e->v2->pos));
  }
  BuildFeatureTree(&gEdgeTree, mins, maxs);
  mins.clear();
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) {
    gVertexItems.push_back(v);
    mins.push_back(v->pos);
  }
  BuildFeatureTree(&gVertexTree, mins, mins);
}

plane_type PlaneOf(const level_triangle* t) {
  if (t->thePlane) return *t->thePlane;
  return planeFromTrig(t->normal, t->vertexPtrs[0]->pos);
}

struct SphereContact {
  bool found = false;
  float distance = 0.0f;  // from the sphere's start
  vector_type point = {0.0f, 0.0f, 0.0f};
};

// The face test against one triangle: 1 with the crossing point when the sphere's point
// nearest the plane crosses it during the move inside the triangle (with a small tolerance).
int SphereMeetsFace(const CollisionTriangle& c, vector_type a, vector_type dir, float r, vector_type* I) {
  level_triangle* t = c.trig;
  plane_type scratch = PlaneOf(t);
  plane_type* pl = t->thePlane ? t->thePlane : &scratch;
  const vector_type normal = {pl->a, pl->b, pl->c};
  pl->P = VSub(a, VScale(normal, r));
  pl->PToPlane = static_cast<float>(VDot(normal, pl->P)) - pl->d;
  pl->collision = 0;
  if (pl->PToPlane < 0.0f) return 0;
  const vector_type Q = VAdd(pl->P, dir);
  pl->path = VSub(Q, pl->P);
  pl->pathLength = VLength(pl->path);
  if (pl->pathLength == 0.0f) pl->pathLength = 1.0f;
  pl->collision = (static_cast<float>(VDot(normal, Q)) - pl->d < 0.0f) ? 1 : 0;
  if (!pl->collision) return 0;

  // Where the nearest point's path crosses the plane: the fraction of the path at which the
  // distance to the plane reaches 0 (a step of PToPlane along the unit path would reach the
  // plane only when moving straight at it).
  const float endDistance = static_cast<float>(VDot(normal, Q)) - pl->d;
  const float fraction = pl->PToPlane / (pl->PToPlane - endDistance);
  const vector_type X = VAdd(pl->P, VScale(pl->path, fraction));
  const vector_type A = c.corner[0];
  const vector_type u = VSub(c.corner[1], A), v = VSub(c.corner[2], A), w = VSub(X, A);
  const double uu = VDot(u, u), uv = VDot(u, v), vv = VDot(v, v), wu = VDot(w, u), wv = VDot(w, v);
  const double den = uv * uv - uu * vv;
  if (den == 0.0) return 0;  // no area: nothing to land on
  const double Dinv = 1.0 / den;
  const double s = (uv * wv - vv * wu) * Dinv;
  const double tt = (uv * wu - uu * wv) * Dinv;
  if (!(s >= -0.01 && s <= 1.01 && tt >= -0.01 && tt <= 1.01 && s + tt <= 1.01)) return 0;
  *I = X;
  return 1;
}

bool FinitePoint(vector_type v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

float LargestMagnitude(vector_type v) {
  return std::fmax(std::fmax(std::fabs(v.x), std::fabs(v.y)), std::fabs(v.z));
}

// Faces: a contact lies at most r + |dir| from the start, and at most its triangle's own
// margin outside that triangle, so each triangle's box (and each node's) is widened by its
// own margin; one large floor widens only the nodes above it.
void FaceContacts(vector_type a, vector_type dir, float r, SphereContact* best) {
  if (!baseLT.next) return;
  const float length = VLength(dir);
  const float reach = (r + length) * 1.001f + 0.0001f + 1e-5f * (LargestMagnitude(a) + length + r);
  const vector_type qmin = {a.x - reach, a.y - reach, a.z - reach};
  const vector_type qmax = {a.x + reach, a.y + reach, a.z + reach};
  EnsureNodeMargins();
  const CollisionMesh& mesh = gCollisionMesh;
  auto widenedOverlap = [&](vector_type mn, vector_type mx, float m) {
    return BoxesOverlap(VSub(mn, vector_type{m, m, m}), VAdd(mx, vector_type{m, m, m}), qmin, qmax);
  };
  const level_triangle* bestTrig = nullptr;
  WalkCollisionMesh(
      [&](int32_t id) {
        const FeatureTree::Node& node = mesh.tree.nodes[id];
        return widenedOverlap(node.min, node.max, mesh.nodeMargin[id]);
      },
      [&](const CollisionTriangle& c) {
        if (!widenedOverlap(TriangleMin(c), TriangleMax(c), FaceTestMargin(c))) return;
        vector_type I;
        if (!SphereMeetsFace(c, a, dir, r, &I)) return;
        const float d = VDistance(a, I);
        if (!bestTrig || d < best->distance ||
            (d == best->distance && TriangleListBefore(c.trig, bestTrig))) {
          bestTrig = c.trig;
          best->found = true;
          best->distance = d;
          best->point = I;
        }
      });
}

// Edges, then corners, touched by the sphere at its end position b; nearest to the start wins,
// an edge before a corner at the same distance, earlier list entries first.
void EdgeAndCornerContacts(vector_type a, vector_type b, float r, SphereContact* best) {
  EnsureFeatureTrees();
  const vector_type qmin = {b.x - r, b.y - r, b.z - r}, qmax = {b.x + r, b.y + r, b.z + r};
  gFeatureHits.clear();
  QueryFeatureTree(gEdgeTree, qmin, qmax, &gFeatureHits);
  uint32_t bestItem = 0;
  bool haveEdge = false;
  for (uint32_t item : gFeatureHits) {
    mesh_edge* e = gEdgeItems[item];
    vector_type I;
    vector_type start = e->v1->pos, end = e->v2->pos;
    if (!PointOnLinePerpendicularToPoint(&b, &start, &end, &I)) continue;
    if (!(VDistance(b, I) <= r)) continue;
    const float d = VDistance(a, I);
    if (!haveEdge || d < best->distance || (d == best->distance && item < bestItem)) {
      haveEdge = true;
      bestItem = item;
      best->found = true;
      best->distance = d;
      best->point = I;
    }
  }
  gFeatureHits.clear();
  QueryFeatureTree(gVertexTree, qmin, qmax, &gFeatureHits);
  bool haveCorner = false;
  for (uint32_t item : gFeatureHits) {
    const vector_type pos = gVertexItems[item]->pos;
    if (!(VDistance(b, pos) <= r)) continue;
    const float d = VDistance(a, pos);
    const bool better = !best->found || d < best->distance ||
                        (haveCorner && d == best->distance && item < bestItem);
    if (better) {
      haveCorner = true;
      bestItem = item;
      best->found = true;
      best->distance = d;
      best->point = pos;
    }
  }
}

// A sphere apart from the other at the start and touching it at the end.
bool SpheresMeet(vector_type a, vector_type b, float r, vector_type c, float R, SphereContact* contact) {
  if (!(VDistance(a, c) > r + R + 0.00001f)) return false;
  const float endDistance = VDistance(b, c);
  if (!(endDistance <= r + R)) return false;
  contact->found = true;
  if (endDistance < contact->distance) contact->distance = endDistance;
  contact->point = VAdd(c, VScale(VNormalized(VSub(b, c)), R));
  return true;
}

void ReleaseCollisionStorage() {
  gPlanePool.Clear();
  FreeCollisionMesh();
  gFeaturesReady = false;
  gEdgeItems = std::vector<mesh_edge*>();
  gVertexItems = std::vector<mesh_vert*>();
  gEdgeTree = FeatureTree();
  gVertexTree = FeatureTree();
}

}  // namespace

// Each triangle gets its plane record (left in the build for the records; made and chained in
// the order the list was read), and the collision hierarchy is built over the triangles in
// list order.
void BuildObjectCollisionData(LevelBuild* build) {
  ReleaseCollisionStorage();
  plane_type* previous = nullptr;
  for (size_t number = 0; number < build->triangles.size(); ++number) {
    const BuildTriangle& t = build->triangles[number];
    plane_type* pl = gPlanePool.New();
    *pl = planeFromTrig(t.normal, t.corner[0]);
    pl->collision = 0;
    pl->next = nullptr;
    if (previous) previous->next = pl;
    previous = pl;
    build->built[number].plane = pl;
  }
  // A corner that is not a finite point (a script may place one) makes every test of the
  // triangle fail; kept out of the hierarchy, it cannot spoil the boxes of its neighbours.
  auto finite = [](const CollisionTriangle& c) {
    return FinitePoint(c.corner[0]) && FinitePoint(c.corner[1]) && FinitePoint(c.corner[2]);
  };
  std::vector<CollisionTriangle> listed = std::move(build->placed);
  build->placed.clear();
  listed.erase(std::remove_if(listed.begin(), listed.end(), [&](const CollisionTriangle& c) { return !finite(c); }),
               listed.end());
  BuildCollisionMesh(&listed);
}

void FreeObjectCollisionData() {
  // Triangles that outlive the records must not point at them.
  for (level_triangle* t = baseLT.next; t; t = t->next) t->thePlane = nullptr;
  ReleaseCollisionStorage();
}

int CollisionOfTwoCylinders(vector_type v, vector_type c, float c1height, float c1radius, vector_type c2,
                            float c2height, float c2radius, vector_type* I, float* t) {
  const vector_type d = VSub(c, c2);
  const float R = c1radius + c2radius;
  const float a = v.x * v.x + v.z * v.z;
  const float b = 2.0f * (v.x * d.x + v.z * d.z);
  const float ce = d.x * d.x + d.z * d.z - R * R;
  const bool overlapping = std::sqrt(d.x * d.x + d.z * d.z) <= R;
  if (!gDoInnerCollision && overlapping) return 0;
  float root;
  if (getLowestRoot(a, b, ce, 1.0f, &root)) {
    const float y = c.y + v.y * root;
    if (std::fabs(y - c2.y) > c1height + c2height) return 0;
    const vector_type at = {c.x + v.x * root, y, c.z + v.z * root};
    *t = root;
    *I = VAdd(c2, VScale(VNormalized(VSub(at, c2)), c2radius));
    return 1;
  }
  if (overlapping) {
    const float overlap = (c1height + c2height) - std::fabs(c.y + v.y - c2.y);
    if (overlap > 0.0f) {
      *t = 0.0f;
      *I = {c.x + v.x, c2.y + c2height + c1height + 0.0001f, c.z + v.z};
      return 1;
    }
  }
  return 0;
}

int StandardObjectCollision(human_being* obj, vector_type dir, vector_type* dirToColl,
                            vector_type* intersectionPoint, vector_type* newDirection) {
  if (dir.x == 0.0f && dir.y == 0.0f && dir.z == 0.0f) return 0;
  if (obj && !obj->mdl) return 0;
  UpdateLevelIfChanged();
  float r;
  vector_type a;
  if (obj) {
    r = obj->mdl->boundingSphereRadius;
    a = VAdd(vector_type{obj->xpos, obj->ypos, obj->zpos}, obj->mdl->translatedSphereCenter);
  } else {
    r = gPlayerBoundingSphereRadius;
    a = {playerPos.x, playerPos.y + 1.0f, playerPos.z};
  }
  const vector_type b = VAdd(a, dir);

  SphereContact contact;
  FaceContacts(a, dir, r, &contact);
  if (!contact.found) EdgeAndCornerContacts(a, b, r, &contact);
  if (!contact.found) contact.distance = 65535.0f;

  for (human_being* h = baseHuman ? baseHuman->next : nullptr; h; h = h->next) {
    if (h == obj || h->objectType == 2 || !h->mdl) continue;
    const vector_type c = VAdd(vector_type{h->xpos, h->ypos, h->zpos}, h->mdl->translatedSphereCenter);
    if (SpheresMeet(a, b, r, c, h->mdl->boundingSphereRadius, &contact)) gHitPerson = h;
  }
  if (obj) {
    const vector_type c = {playerPos.x, playerPos.y + 1.0f, playerPos.z};
    if (SpheresMeet(a, b, r, c, gPlayerBoundingSphereRadius, &contact)) gHitPerson = nullptr;
  }
  if (!contact.found) return 0;

  const vector_type X = contact.point;
  if (intersectionPoint) *intersectionPoint = X;
  const vector_type n = VNormalized(VSub(a, X));
  const double k = VDot(n, X);
  gCollisionNormal = n;
  gCollisionPoint = X;
  if (dirToColl) *dirToColl = VScale(VNormalized(VSub(X, a)), VDistance(a, X) - r + 0.00001f);
  if (newDirection) {
    const vector_type e = VAdd(X, dir);
    const vector_type e2 = VAdd(e, VScale(n, static_cast<float>(-(VDot(n, e) - k) + 0.000001)));
    *newDirection = VSub(e2, X);
  }
  return 1;
}

void DetectWallCollision(vector_type scr, vector_type dst) {
  vector_type X;
  if (!CollideLineSegmentWorld(scr, dst, &X)) return;
  hitPerson = 2;
  s1 = oldS1 = X.x;
  s2 = oldS2 = X.y;
  s3 = oldS3 = X.z;
  const float d = VDistance(scr, X);
  if (d < vecDistance) vecDistance = d;
  collType = 1;
}

void DetectPlayerCollision(vector_type p, vector_type w) {
  if (editMode != 4 || !selHuman || !gPlayerCollisions) return;
  GeneratePlayerBox();
  bool nearest = false;
  for (auto& face : playerBox) {
    if (!LineSegmentCollidesWithTriangle(face, &p, &w, nullptr)) continue;
    const vector_type hit = {s1, s2, s3};
    const float d = VDistance(p, hit);
    if (d < vecDistance) {
      hitPerson = 3;
      vecDistance = d;
      oldS1 = hit.x, oldS2 = hit.y, oldS3 = hit.z;
      nearest = true;
    }
  }
  if (nearest) {
    s1 = oldS1, s2 = oldS2, s3 = oldS3;
    collType = 3;
  }
}

int StandardCollision(vector_type p, vector_type w) {
  const float savedDistance = vecDistance;
  vecDistance = 65535.0f;
  hitPerson = 0;
  collType = 0;
  human_being* found = nullptr;

  DetectWallCollision(p, w);
  if (gDoObjectPoke) {
    DetectPlayerCollision(p, w);
    for (human_being* h = baseHuman ? baseHuman->next : nullptr; h; h = h->next) {
      if (h->HUD || !h->mdl) continue;
      if (gPokeObject && h != gPokeObject) continue;
      if (editMode == 4 && (h->objectType == 2 || h == gHumanScriptTarget)) continue;
      vector_type X;
      if (!collide_linesegment_boundingbox(h->mdl->newBoxMin, h->mdl->newBoxMax, p, w, &X)) continue;
      if (h->mdl->parallelepipedShape) continue;
      const float d = VDistance(p, X);
      if (d < vecDistance) {
        hitPerson = 2;
        oldS1 = X.x, oldS2 = X.y, oldS3 = X.z;
        found = h;
        vecDistance = d;
      }
    }
  }
  vecDistance = savedDistance;
  if (hitPerson == 0) return 0;
  s1 = oldS1, s2 = oldS2, s3 = oldS3;
  if (collType == 3) {
    gHitPerson = nullptr;
    return 2;
  }
  if (!found) return 1;
  gHitPerson = found;
  return 2;
}

void GeneratePlayerBox() {
  static const float kCorners[6][3][3] = {
      {{-0.25f, 0.0f, -0.25f}, {-0.25f, 1.3f, -0.25f}, {0.25f, 0.0f, -0.25f}},
      {{-0.25f, 0.0f, 0.25f}, {-0.25f, 1.3f, 0.25f}, {0.25f, 0.0f, 0.25f}},
      {{-0.25f, 0.0f, -0.25f}, {-0.25f, 1.3f, -0.25f}, {-0.25f, 0.0f, 0.25f}},
      {{0.25f, 0.0f, -0.25f}, {0.25f, 1.3f, -0.25f}, {0.25f, 0.0f, 0.25f}},
      {{-0.25f, 0.0f, -0.25f}, {0.25f, 0.0f, -0.25f}, {-0.25f, 0.0f, 0.25f}},
      {{-0.25f, 1.3f, -0.25f}, {0.25f, 1.3f, -0.25f}, {-0.25f, 1.3f, 0.25f}}};
  for (int f = 0; f < 6; ++f)
    for (int c = 0; c < 3; ++c)
      vector_RotSet(&playerBox[f][c], kCorners[f][c][0], kCorners[f][c][1], kCorners[f][c][2], playerPos.x,
                    playerPos.y, playerPos.z, 0.0f, -viewangle, 0.0f);
}

int StandardTeamCollision(vector_type p, vector_type w, int team) { return 0; }

int CheckMoveNew(float oldX, float oldZ, float* newX, float* newZ, float y, float angle, float* fall,
                 long* fallStartTime, human_being* who, void* sliders) {
  return 1;
}
