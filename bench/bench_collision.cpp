// Collision benchmark: segment queries and collide-and-slide steps per second on a generated
// level of about a million triangles, against Bullet's triangle-mesh BVH (ray tests and
// sphere sweeps over the same mesh) in the same run.
#include <btBulletCollisionCommon.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "models/materials.h"
#include "objects/player.h"
#include "world/box_tree.h"
#include "world/collide_slide.h"
#include "world/level_mesh.h"
#include "world/line_queries.h"
#include "world/object_collision.h"

namespace {

constexpr int kGrid = 708;         // cells per side: 2 * 708^2 = 1 002 528 triangles
constexpr float kCell = 1.0f;
constexpr int kSegments = 200000;
constexpr int kSlideSteps = 100000;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

float Height(int i, int j) { return 2.0f * std::sin(i * 0.05f) * std::cos(j * 0.07f) + 0.3f * std::sin(i * 0.9f + j * 0.4f); }

struct Mesh {
  std::vector<float> positions;  // 3 per vertex
  std::vector<int> indices;      // 3 per triangle
};

Mesh MakeTerrain() {
  Mesh m;
  for (int i = 0; i <= kGrid; ++i)
    for (int j = 0; j <= kGrid; ++j) {
      m.positions.push_back(i * kCell);
      m.positions.push_back(Height(i, j));
      m.positions.push_back(j * kCell);
    }
  auto id = [](int i, int j) { return i * (kGrid + 1) + j; };
  for (int i = 0; i < kGrid; ++i)
    for (int j = 0; j < kGrid; ++j) {
      // Counter-clockwise seen from above: the faces point up.
      int a = id(i, j), b = id(i, j + 1), c = id(i + 1, j + 1), d = id(i + 1, j);
      m.indices.insert(m.indices.end(), {a, b, c, a, c, d});
    }
  return m;
}

void LoadIntoLevel(const Mesh& m) {
  std::vector<mesh_vert*> verts(m.positions.size() / 3);
  mesh_vert* lastV = &baseMeshVert;
  for (size_t k = 0; k < verts.size(); ++k) {
    mesh_vert* v = NewEmptyMeshVert({m.positions[3 * k], m.positions[3 * k + 1], m.positions[3 * k + 2]});
    lastV->next = v;
    lastV = v;
    verts[k] = v;
  }
  level_triangle* lastT = &baseLT;
  for (size_t k = 0; k < m.indices.size(); k += 3) {
    level_triangle* t = NewLevelTriangle();
    for (int c = 0; c < 3; ++c) t->vertexPtrs[c] = verts[m.indices[k + c]];
    t->normal = GetNormalOfTrig(t->vertexPtrs[0]->pos, t->vertexPtrs[1]->pos, t->vertexPtrs[2]->pos);
    t->visible = 1;
    lastT->next = t;
    lastT = t;
  }
}

void Report(const char* what, double ours, double bullet) {
  std::printf("%-34s zyntrel %12.0f /s   bullet %12.0f /s   ratio %.2f\n", what, ours, bullet, ours / bullet);
}

}  // namespace

int main() {
  Mesh mesh = MakeTerrain();
  const int numTriangles = static_cast<int>(mesh.indices.size() / 3);
  std::printf("level: %d triangles\n", numTriangles);

  ShrinkToDefaultMaterialAndBone();
  LoadIntoLevel(mesh);
  playerPos = {kGrid * 0.5f, 5.0f, kGrid * 0.5f};
  double t0 = Now();
  GenerateLevelFromMesh();
  const double ourBuild = Now() - t0;
  {
    double a = Now();
    MakeMeshVertexNormals();
    double b = Now();
    BuildLevelDrawArrays();  // the build's draw arrays (over the tree of the last build)
    double c = Now();
    BuildBoxTree();
    double d = Now();
    BuildObjectCollisionData();
    double e = Now();
    BuildLevelDrawArrays();  // numbered again over the new tree's nodes
    std::printf("rebuild parts: normals %.3f s, draw lists %.3f s, tree %.3f s, collision data %.3f s\n", b - a, c - b,
                d - c, e - d);
  }

  t0 = Now();
  btTriangleIndexVertexArray vertexArray(numTriangles, mesh.indices.data(), 3 * sizeof(int),
                                         static_cast<int>(mesh.positions.size() / 3), mesh.positions.data(),
                                         3 * sizeof(float));
  btBvhTriangleMeshShape shape(&vertexArray, true);
  const double bulletBuild = Now() - t0;
  std::printf("build: zyntrel %.3f s (%d nodes, depth %d), bullet %.3f s, ratio (bullet/zyntrel time) %.2f\n", ourBuild,
              BoxTreeNodeCount(), BoxTreeDepth(), bulletBuild, bulletBuild / ourBuild);

  btDefaultCollisionConfiguration config;
  btCollisionDispatcher dispatcher(&config);
  btDbvtBroadphase broadphase;
  btCollisionWorld world(&dispatcher, &broadphase, &config);
  btCollisionObject terrain;
  terrain.setCollisionShape(&shape);
  world.addCollisionObject(&terrain);
  world.updateAabbs();

  // Segments: from 10 above the terrain to 10 below it, slanted, random places.
  std::mt19937 rng(1);
  std::uniform_real_distribution<float> place(5.0f, kGrid * kCell - 5.0f), slant(-3.0f, 3.0f);
  std::vector<vector_type> from(kSegments), to(kSegments);
  for (int k = 0; k < kSegments; ++k) {
    from[k] = {place(rng), 10.0f, place(rng)};
    to[k] = {from[k].x + slant(rng), -10.0f, from[k].z + slant(rng)};
  }
  int ourHits = 0, bulletHits = 0, agree = 0;
  std::vector<float> ourY(kSegments, NAN);
  t0 = Now();
  for (int k = 0; k < kSegments; ++k) {
    vecDistance = 65535.0f;
    vector_type X;
    if (CollideLineSegmentWorld(from[k], to[k], &X)) {
      ++ourHits;
      ourY[k] = gCollisionPoint.y;
    }
  }
  const double ourSeg = kSegments / (Now() - t0);
  t0 = Now();
  for (int k = 0; k < kSegments; ++k) {
    btVector3 a(from[k].x, from[k].y, from[k].z), b(to[k].x, to[k].y, to[k].z);
    btCollisionWorld::ClosestRayResultCallback cb(a, b);
    world.rayTest(a, b, cb);
    if (cb.hasHit()) {
      ++bulletHits;
      if (std::fabs(cb.m_hitPointWorld.y() - ourY[k]) < 1e-3f) ++agree;
    }
  }
  const double bulletSeg = kSegments / (Now() - t0);
  std::printf("segments: %d queries, hits zyntrel %d bullet %d, same hit point %d\n", kSegments, ourHits, bulletHits,
              agree);
  Report("segment queries", ourSeg, bulletSeg);

  // Walking: the player's ellipsoid walks over the terrain in steps of 0.1 with a gravity
  // step, turning now and then; Bullet sweeps a sphere of the ellipsoid's height over the
  // same path (one sweep per step).
  vector_type dir = {0.1f, 0.0f, 0.05f};
  playerPos = {kGrid * 0.5f, Height(kGrid / 2, kGrid / 2) + 0.5f, kGrid * 0.5f};
  std::vector<vector_type> path(kSlideSteps);
  t0 = Now();
  for (int k = 0; k < kSlideSteps; ++k) {
    if (k % 500 == 0) dir = {slant(rng) / 30.0f, 0.0f, slant(rng) / 30.0f};
    if (playerPos.x < 10 || playerPos.x > kGrid - 10 || playerPos.z < 10 || playerPos.z > kGrid - 10)
      playerPos = {kGrid * 0.5f, 8.0f, kGrid * 0.5f};
    CollisionPacket packet{};
    collideAndSlide(nullptr, dir, {0.0f, -0.2f, 0.0f}, &packet);
    path[k] = playerPos;
  }
  const double ourSlide = kSlideSteps / (Now() - t0);
  btSphereShape sphere(gPlayerDimensions.y);
  int sweepHits = 0;
  t0 = Now();
  for (int k = 1; k < kSlideSteps; ++k) {
    btTransform a, b;
    a.setIdentity();
    b.setIdentity();
    a.setOrigin(btVector3(path[k - 1].x, path[k - 1].y + 1.0f, path[k - 1].z));
    b.setOrigin(btVector3(path[k].x, path[k].y + 0.8f, path[k].z));
    btCollisionWorld::ClosestConvexResultCallback cb(a.getOrigin(), b.getOrigin());
    world.convexSweepTest(&sphere, a, b, cb);
    if (cb.hasHit()) ++sweepHits;
  }
  const double bulletSlide = (kSlideSteps - 1) / (Now() - t0);
  std::printf("walk: %d steps, player ended at (%.1f, %.2f, %.1f); bullet sweeps with a hit %d\n", kSlideSteps,
              playerPos.x, playerPos.y, playerPos.z, sweepHits);
  Report("collide-and-slide step / sweep", ourSlide, bulletSlide);

  world.removeCollisionObject(&terrain);
  FreeLevelGeometry();
  return 0;
}
