// Swept unit sphere in ellipsoid space against the level triangles the collision hierarchy
// reports near the path (face, then corners and edges) and against the upright cylinders of
// the other bodies; the recursive slide along the contact plane and the gravity step.
#include "world/collide_slide.h"

#include <cmath>
#include <utility>
#include <vector>

#include "models/model_types.h"
#include "objects/human.h"
#include "objects/player.h"
#include "script/engine_variables.h"
#include "world/box_tree.h"
#include "world/collision_mesh.h"
#include "world/level_mesh.h"
#include "world/object_collision.h"
#include "world/world_math.h"

int gMaxCollisionRecursionDepth = 5;
int collisionRecursionDepth = 0;
int gGravityCheck = 0;
vector_type gPlayerDimensions = {0.2f, 0.6f, 0.2f};
int gPlayerCollisions = 1;
human_being* gHitPerson = nullptr;

namespace {

float SafeRadius(float r) {
  r = std::fabs(r);
  return r >= kMinEllipsoidRadius ? r : kMinEllipsoidRadius;  // also catches NaN
}

vector_type SafeRadii(vector_type r) { return {SafeRadius(r.x), SafeRadius(r.y), SafeRadius(r.z)}; }

// A triangle in ellipsoid space: its corners divided by the radii, its normal and plane.
struct EllipsoidTriangle {
  vector_type p1, p2, p3, normal;
  float planeD;
};

EllipsoidTriangle ToEllipsoidSpace(const vector_type* corners, vector_type eRadius) {
  EllipsoidTriangle e;
  e.p1 = VDiv(corners[0], eRadius);
  e.p2 = VDiv(corners[1], eRadius);
  e.p3 = VDiv(corners[2], eRadius);
  e.normal = GetNormalOfTrig(e.p1, e.p2, e.p3);
  e.planeD = static_cast<float>(VDot(e.normal, e.p1));
  return e;
}

// The sweep of the packet's unit sphere against one triangle: 1 with the distance along the
// velocity and the contact point (ellipsoid space) when it touches within this pass.
int SweepTriangle(const CollisionPacket* pk, const EllipsoidTriangle& e, double* distance, vector_type* contact) {
  const vector_type& p1 = e.p1;
  const vector_type& p2 = e.p2;
  const vector_type& p3 = e.p3;
  const vector_type& normal = e.normal;
  if (!isFrontFacingTo(normal, pk->normalizedVelocity)) return 0;

  const float planeD = e.planeD;
  const vector_type& base = pk->basePoint;
  const vector_type& vel = pk->velocity;
  float t = 1.0f;
  int found = 0;
  const float s = static_cast<float>(VDot(normal, base)) - planeD;
  const float nv = static_cast<float>(VDot(normal, vel));
  bool embedded = false;
  float t0, t1;
  if (nv == 0.0f) {
    if (std::fabs(s) >= 1.0f) return 0;
    embedded = true;
    t0 = 0.0f;
    t1 = 1.0f;
  } else {
    t0 = (-1.0f - s) / nv;
    t1 = (1.0f - s) / nv;
    if (t0 > t1) std::swap(t0, t1);
    if (t0 > 1.0f || t1 < 0.0f) return 0;
    t0 = t0 < 0.0f ? 0.0f : (t0 > 1.0f ? 1.0f : t0);
    t1 = t1 < 0.0f ? 0.0f : (t1 > 1.0f ? 1.0f : t1);
  }
  (void)t1;
  vector_type hit = {0.0f, 0.0f, 0.0f};
  if (!embedded) {
    vector_type planePoint = VAdd(VSub(base, normal), VScale(vel, t0));
    if (point_in_face(&planePoint, &p1, &p2, &p3, &normal)) {
      found = 1;
      t = t0;
      hit = planePoint;
    }
  }
  if (!found) {
    const float vv = static_cast<float>(VDot(vel, vel));
    float newT;
    const vector_type corners[3] = {p1, p2, p3};
    for (const vector_type& p : corners) {
      float b = 2.0f * static_cast<float>(VDot(vel, VSub(base, p)));
      float c = static_cast<float>(VDot(VSub(p, base), VSub(p, base))) - 1.0f;
      if (getLowestRoot(vv, b, c, t, &newT)) {
        t = newT;
        found = 1;
        hit = p;
      }
    }
    const vector_type ends[3][2] = {{p1, p2}, {p2, p3}, {p3, p1}};
    for (const auto& edge : ends) {
      const vector_type e = VSub(edge[1], edge[0]);
      const vector_type w = VSub(edge[0], base);
      const float ee = static_cast<float>(VDot(e, e));
      const float ev = static_cast<float>(VDot(e, vel));
      const float ew = static_cast<float>(VDot(e, w));
      const float a = ee * -vv + ev * ev;
      const float b = ee * (2.0f * static_cast<float>(VDot(vel, w))) - 2.0f * ev * ew;
      const float c = ee * (1.0f - static_cast<float>(VDot(w, w))) + ew * ew;
      if (getLowestRoot(a, b, c, t, &newT)) {
        float f = (ev * newT - ew) / ee;
        if (f >= 0.0f && f <= 1.0f) {
          t = newT;
          found = 1;
          hit = VAdd(edge[0], VScale(e, f));
        }
      }
    }
  }
  if (!found) return 0;
  *distance = static_cast<double>(t) * VLength(vel);
  *contact = hit;
  return 1;
}

// The triangles near the last sweeps, already in ellipsoid space. A moving body asks again and
// again about nearly the same place (each slide pass, the gravity pass, the next step), so the
// triangles of a box somewhat larger than the query are gathered once and reused while the
// queries stay inside it, for the same radii and the same level build. Each query still tests
// every gathered triangle's own box against its own query box, so it sees exactly the
// triangles a walk of the hierarchy would give it.
struct NearbyTriangle {
  vector_type min, max;
  EllipsoidTriangle e;
  const level_triangle* trig;
};
struct NearbyTriangles {
  bool valid = false;
  uint64_t build = 0;
  vector_type eRadius = {0.0f, 0.0f, 0.0f};
  vector_type min = {0.0f, 0.0f, 0.0f}, max = {0.0f, 0.0f, 0.0f};
  std::vector<NearbyTriangle> list;
};
NearbyTriangles gNearby;

bool SameVector(vector_type a, vector_type b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

bool BoxInside(vector_type mn, vector_type mx, vector_type outerMin, vector_type outerMax) {
  return outerMin.x <= mn.x && outerMin.y <= mn.y && outerMin.z <= mn.z && mx.x <= outerMax.x &&
         mx.y <= outerMax.y && mx.z <= outerMax.z;
}

const std::vector<NearbyTriangle>& TrianglesNear(vector_type qmin, vector_type qmax, vector_type eRadius) {
  NearbyTriangles& near = gNearby;
  if (near.valid && near.build == gCollisionMesh.build && SameVector(near.eRadius, eRadius) &&
      BoxInside(qmin, qmax, near.min, near.max))
    return near.list;
  // Room for a few more steps in any direction: the query box's smallest side, so that a long
  // sweep does not gather a wide band around itself.
  const vector_type size = VSub(qmax, qmin);
  const float pad = std::fmin(std::fmin(size.x, size.y), size.z);
  near.valid = true;
  near.build = gCollisionMesh.build;
  near.eRadius = eRadius;
  near.min = VSub(qmin, vector_type{pad, pad, pad});
  near.max = VAdd(qmax, vector_type{pad, pad, pad});
  near.list.clear();
  ForEachTriangleInBox(near.min, near.max, [&](const CollisionTriangle& c) {
    near.list.push_back({TriangleMin(c), TriangleMax(c), ToEllipsoidSpace(c.corner, eRadius), c.trig});
  });
  return near.list;
}

void TakeContact(CollisionPacket* pk, double distance, vector_type contact) {
  pk->nearestDistance = distance;
  pk->intersectionPoint = contact;
  pk->foundCollision = 1;
}

}  // namespace

int isFrontFacingTo(vector_type normal, vector_type direction) { return VDot(normal, direction) <= 0.0 ? 1 : 0; }

int ix_box_box_aligned(vector_type min1, vector_type max1, vector_type min2, vector_type max2) {
  return BoxesOverlap(min1, max1, min2, max2) ? 1 : 0;
}

int getLowestRoot(float a, float b, float c, float maxR, float* root) {
  // Without the square term there is no sweep to solve (no motion, or motion along the
  // edge's own line).
  if (a == 0.0f) return 0;
  const float D = b * b - 4.0f * a * c;
  if (!(D >= 0.0f)) return 0;
  const float sq = std::sqrt(D);
  float r1 = (-b - sq) / (2.0f * a);
  float r2 = (-b + sq) / (2.0f * a);
  if (r1 > r2) std::swap(r1, r2);
  if (r1 > 0.0f && r1 < maxR) {
    *root = r1;
    return 1;
  }
  if (r2 > 0.0f && r2 < maxR) {
    *root = r2;
    return 1;
  }
  return 0;
}

int point_in_face(const vector_type* hit_point, const vector_type* vert1, const vector_type* vert2,
                  const vector_type* vert3, const vector_type* norm1) {
  const float ax = std::fabs(norm1->x), ay = std::fabs(norm1->y), az = std::fabs(norm1->z);
  int i0;
  if (ax <= ay) i0 = ay <= az ? 2 : 1;
  else i0 = ax <= az ? 2 : 0;
  static const int kKept[3][2] = {{2, 1}, {0, 2}, {1, 0}};
  int first = kKept[i0][0], second = kKept[i0][1];
  if (VComponent(*norm1, i0) <= 0.0f) std::swap(first, second);

  const float pu = VComponent(*hit_point, first) - VComponent(*vert1, first);
  const float qu = VComponent(*vert2, first) - VComponent(*vert1, first);
  const float ru = VComponent(*vert3, first) - VComponent(*vert1, first);
  const float pv = VComponent(*hit_point, second) - VComponent(*vert1, second);
  const float qv = VComponent(*vert2, second) - VComponent(*vert1, second);
  const float rv = VComponent(*vert3, second) - VComponent(*vert1, second);
  float alpha, beta;
  // Projections without area have no inside.
  if (qu > -0.0001f && qu < 0.0001f) {
    if (ru == 0.0f || qv == 0.0f) return 0;
    beta = pu / ru;
    if (!(beta >= 0.0f && beta <= 1.0f)) return 0;
    alpha = (pv - beta * rv) / qv;
  } else {
    const float den = rv * qu - ru * qv;
    if (den == 0.0f) return 0;
    beta = (pv * qu - pu * qv) / den;
    if (!(beta >= 0.0f && beta <= 1.0f)) return 0;
    alpha = (pu - beta * ru) / qu;
  }
  return (alpha >= 0.0f && alpha + beta <= 1.0f) ? 1 : 0;
}

void checkTriangle(CollisionPacket* colPackage, level_triangle* trig) {
  double distance;
  vector_type contact;
  const vector_type corners[3] = {trig->vertexPtrs[0]->pos, trig->vertexPtrs[1]->pos, trig->vertexPtrs[2]->pos};
  if (!SweepTriangle(colPackage, ToEllipsoidSpace(corners, colPackage->eRadius), &distance, &contact)) return;
  if (!colPackage->foundCollision || distance < colPackage->nearestDistance) TakeContact(colPackage, distance, contact);
}

void checkCollision(CollisionPacket* pk) {
  UpdateLevelIfChanged();
  const vector_type R3Velocity = VMul(pk->velocity, pk->eRadius);
  const vector_type R3Position = VMul(pk->basePoint, pk->eRadius);
  const vector_type end = VAdd(pk->basePoint, pk->velocity);
  const vector_type lo = VMin(pk->basePoint, end), hi = VMax(pk->basePoint, end);
  const vector_type qmin = VSub(VMul(lo, pk->eRadius), pk->eRadius);
  const vector_type qmax = VAdd(VMul(hi, pk->eRadius), pk->eRadius);

  if (baseLT.next) {
    // Nearest contact; among equal distances the triangle earliest in the list.
    const level_triangle* best = nullptr;
    double bestDistance = 0.0;
    vector_type bestContact = {0.0f, 0.0f, 0.0f};
    for (const NearbyTriangle& n : TrianglesNear(qmin, qmax, pk->eRadius)) {
      if (!BoxesOverlap(n.min, n.max, qmin, qmax)) continue;
      double distance;
      vector_type contact;
      if (!SweepTriangle(pk, n.e, &distance, &contact)) continue;
      if (!best || distance < bestDistance ||
          (distance == bestDistance && TriangleListBefore(n.trig, best))) {
        best = n.trig;
        bestDistance = distance;
        bestContact = contact;
      }
    }
    if (best && (!pk->foundCollision || bestDistance < pk->nearestDistance)) TakeContact(pk, bestDistance, bestContact);
  }

  human_being* mover = pk->collObject;
  if (mover && (mover->objectType == 2 || mover->HUD)) return;
  const float radius = mover ? (mover->mdl ? mover->mdl->cradius : 0.0f) : gPlayerDimensions.x;
  const double speed = VLength(pk->velocity);
  for (human_being* h = baseHuman ? baseHuman->next : nullptr; h; h = h->next) {
    if (h == mover || h->objectType == 2 || h->HUD || !h->mdl) continue;
    const zntlmdl* m = h->mdl;
    if (m->cradius == 0.0f || m->parallelepipedShape) continue;
    const vector_type centre = VAdd(vector_type{h->xpos, h->ypos, h->zpos}, m->translatedSphereCenter);
    vector_type I;
    float t;
    if (!CollisionOfTwoCylinders(R3Velocity, R3Position, pk->eRadius.y, radius, centre, m->eRadius.y, m->cradius, &I,
                                 &t))
      continue;
    const double distance = static_cast<double>(t) * speed;
    if (!pk->foundCollision || distance < pk->nearestDistance) {
      TakeContact(pk, distance, VDiv(I, pk->eRadius));
      gHitPerson = h;
    }
  }
  if (mover && gPlayerCollisions) {
    const vector_type centre = {playerPos.x, playerPos.y + gPlayerDimensions.y, playerPos.z};
    vector_type I;
    float t;
    if (CollisionOfTwoCylinders(R3Velocity, R3Position, pk->eRadius.y, radius, centre, gPlayerDimensions.y,
                                gPlayerDimensions.x, &I, &t)) {
      const double distance = static_cast<double>(t) * speed;
      if (!pk->foundCollision || distance < pk->nearestDistance) {
        TakeContact(pk, distance, VDiv(I, pk->eRadius));
        gHitPerson = nullptr;
      }
    }
  }
}

vector_type collideWithWorld(vector_type pos, vector_type vel, CollisionPacket* pk) {
  if (collisionRecursionDepth > gMaxCollisionRecursionDepth) return pos;
  pk->velocity = vel;
  pk->normalizedVelocity = VNormalized(vel);
  pk->basePoint = pos;
  pk->foundCollision = 0;
  checkCollision(pk);
  if (!pk->foundCollision) return VAdd(pos, vel);

  const vector_type destination = VAdd(pos, vel);
  const vector_type V = VScale(VNormalized(vel), static_cast<float>(pk->nearestDistance - veryCloseDistance));
  const vector_type newBasePoint = VAdd(pk->basePoint, V);
  pk->intersectionPoint = VSub(pk->intersectionPoint, VScale(VNormalized(V), veryCloseDistance));

  const vector_type origin = pk->intersectionPoint;
  const vector_type n = VNormalized(VSub(newBasePoint, origin));
  if (gDoCollisionSliding == 0 || gGravityCheck) return newBasePoint;

  const float planeOffset = static_cast<float>(VDot(n, destination) - VDot(n, origin));
  const vector_type newDestination = VSub(destination, VScale(n, planeOffset));
  const vector_type newVelocity = VSub(newDestination, pk->intersectionPoint);
  if (VLength(newVelocity) < veryCloseDistance) return newBasePoint;
  collisionRecursionDepth += 1;
  return collideWithWorld(newBasePoint, newVelocity, pk);
}

void collideAndSlide(human_being* hum, vector_type vel, vector_type gravity, CollisionPacket* pk) {
  if (hum && !hum->mdl) {
    // An object without a model has no ellipsoid: it just moves.
    hum->xpos += vel.x + gravity.x;
    hum->ypos += vel.y + gravity.y;
    hum->zpos += vel.z + gravity.z;
    return;
  }
  if (hum) {
    pk->eRadius = SafeRadii(hum->mdl->eRadius);
    pk->R3Position = VAdd(vector_type{hum->xpos, hum->ypos, hum->zpos}, hum->mdl->translatedSphereCenter);
  } else {
    pk->eRadius = SafeRadii(gPlayerDimensions);
    pk->R3Position = {playerPos.x, playerPos.y + gPlayerDimensions.y, playerPos.z};
  }
  pk->R3Velocity = vel;
  pk->collObject = hum;

  gMaxCollisionRecursionDepth = 5;
  collisionRecursionDepth = 0;
  vector_type final = collideWithWorld(VDiv(pk->R3Position, pk->eRadius), VDiv(vel, pk->eRadius), pk);

  pk->R3Position = VMul(final, pk->eRadius);
  pk->R3Velocity = gravity;
  collisionRecursionDepth = 0;
  gGravityCheck = 1;
  final = collideWithWorld(final, VDiv(gravity, pk->eRadius), pk);
  gGravityCheck = 0;

  const vector_type world = VMul(final, pk->eRadius);
  if (hum) {
    hum->xpos = world.x - hum->mdl->translatedSphereCenter.x;
    hum->ypos = world.y - hum->mdl->translatedSphereCenter.y;
    hum->zpos = world.z - hum->mdl->translatedSphereCenter.z;
  } else {
    playerPos.x = world.x;
    playerPos.y = world.y - gPlayerDimensions.y;
    playerPos.z = world.z;
  }
}
