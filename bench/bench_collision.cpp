// Collision benchmark: segment queries and collide-and-slide steps per second on a generated
// level of about a million triangles, against Bullet's triangle-mesh BVH (ray tests and
// sphere sweeps over the same mesh) in the same run; then the growth of the mesh builder's
// "line" and of "spherecoll" over a level with one large floor, at N and 10 N.
#include <btBulletCollisionCommon.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "bench_support.h"
#include "commands/commands.h"
#include "models/import_common.h"
#include "models/materials.h"
#include "objects/human.h"
#include "script/variables.h"
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

const auto Now = bench::WallSeconds;

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

// One "line" from a point above the middle of a grid of about n vertices, all selected (as
// an imported level leaves them), with the three edges of each triangle: about 6 n edges.
// Returns the processor seconds the command took (the level is made and freed untimed).
double TimeOneLine(int n) {
  const int side = static_cast<int>(std::sqrt(static_cast<double>(n)));
  ImportMesh grid;
  for (int i = 0; i < side; ++i)
    for (int j = 0; j < side; ++j) grid.positions.push_back({static_cast<float>(i), 0.0f, static_cast<float>(j)});
  for (int i = 0; i + 1 < side; ++i)
    for (int j = 0; j + 1 < side; ++j) {
      const uint32_t a = i * side + j, b = a + 1, c = a + side, d = c + 1;
      grid.triangles.push_back(DefaultImportTriangle(a, b, c));
      grid.triangles.push_back(DefaultImportTriangle(b, d, c));
    }
  AppendImportToLevelNoRebuild(grid);
  char point[64];
  std::snprintf(point, sizeof point, "%f, 5, %f", side * 0.5f, side * 0.5f);
  char echo[256] = "";
  // The command starts from cold caches at both sizes: the small level, made just before,
  // would otherwise still be in them and the large one would not.
  bench::EvictCaches();
  const double t0 = bench::ProcessSeconds();
  znkinstr_line(point, echo);
  const double seconds = bench::ProcessSeconds() - t0;
  FreeLevelGeometry();
  return seconds;
}

// The best of five measurements at n and at 10 n vertices, taken in turn so that both sizes
// meet the same moments of a shared machine. A measurement at n is the mean of ten lines on
// fresh levels, so that both sizes are timed over spans of about the same length: the best of
// a few short spans catches a quiet moment far more often than the best of a few long ones.
void TimeLineGrowth(int n, double* atN, double* at10N) {
  *atN = *at10N = 1e30;
  for (int r = 0; r < 5; ++r) {
    double total = 0;
    for (int k = 0; k < 10; ++k) total += TimeOneLine(n);
    *atN = std::min(*atN, total / 10);
    *at10N = std::min(*at10N, TimeOneLine(10 * n));
  }
}

// `queries` spherecoll commands of the player's sphere at random places over a level of one
// large floor under n small triangles scattered over it (one per square unit of floor, so
// that only the floor grows with n). Returns seconds per query.
double TimeSpherecoll(int n, int queries) {
  const float extent = std::sqrt(static_cast<float>(n));
  ImportMesh level;
  auto vertex = [&](float x, float y, float z) {
    level.positions.push_back({x, y, z});
    return static_cast<uint32_t>(level.positions.size() - 1);
  };
  const uint32_t f0 = vertex(-1, 0, -1), f1 = vertex(-1, 0, extent + 1), f2 = vertex(extent + 1, 0, extent + 1),
                 f3 = vertex(extent + 1, 0, -1);
  level.triangles.push_back(DefaultImportTriangle(f0, f1, f2));
  level.triangles.push_back(DefaultImportTriangle(f0, f2, f3));
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> place(0.0f, extent), height(0.5f, 20.0f), off(-0.3f, 0.3f);
  for (int k = 0; k < n; ++k) {
    const float x = place(rng), y = height(rng), z = place(rng);
    const uint32_t a = vertex(x, y, z), b = vertex(x + off(rng), y, z + 0.3f), c = vertex(x + 0.3f, y + off(rng), z);
    level.triangles.push_back(DefaultImportTriangle(a, b, c));
  }
  AppendImportToLevel(level);
  selHuman = nullptr;
  int contacts = 0;
  char parms[] = "1,7";
  char echo[256] = "";
  // The first query after a level build gathers the level's edges and corners (once per
  // level, linear); it is left out of the time per query.
  playerPos = {0.5f, 0.5f, 0.5f};
  FloatRegister(1)[0] = FloatRegister(1)[1] = FloatRegister(1)[2] = 0.0;
  FloatRegister(1)[3] = FloatRegister(1)[5] = 0.0;
  FloatRegister(1)[4] = 0.1;
  znkinstr_spherecoll(parms, echo);
  const double t0 = Now();
  for (int q = 0; q < queries; ++q) {
    const float x = place(rng), z = place(rng), y = height(rng);
    double* f = FloatRegister(1);
    f[0] = x, f[1] = y, f[2] = z;        // from
    f[3] = x + 0.5f, f[4] = y - 1.0f, f[5] = z;  // to
    playerPos = {x, y - 1.0f, z};
    znkinstr_spherecoll(parms, echo);
    contacts += *BoolRegister(1);
  }
  const double perQuery = (Now() - t0) / queries;
  FreeLevelGeometry();
  if (contacts == 0) std::printf("  (no spherecoll contact at %d triangles)\n", n);
  return perQuery;
}

void ReportGrowth(const char* what, int n, double atN, double at10N) {
  std::printf("%-34s N %7d: %9.3f ms   10 N: %9.3f ms   ratio %.2f (linear: at most 12)\n", what, n, atN * 1000,
              at10N * 1000, at10N / atN);
}

void Report(const char* what, double ours, double bullet) {
  std::printf("%-34s zyntrel %12.0f /s   bullet %12.0f /s   ratio %.2f\n", what, ours, bullet, ours / bullet);
}

// Growth: one "line" joining every vertex of an imported grid to a new point (N selected
// vertices, about 6 N edges); and spherecoll queries over one large floor and N small
// triangles (the floor must not make every query test every triangle).
void RunGrowth(int lineN, int sphereN) {
  double lineAtN, lineAt10N;
  TimeLineGrowth(lineN, &lineAtN, &lineAt10N);
  ReportGrowth("line (N selected, 6 N edges)", lineN, lineAtN, lineAt10N);
  ReportGrowth("spherecoll per query (floor + N)", sphereN, TimeSpherecoll(sphereN, 20000),
               TimeSpherecoll(10 * sphereN, 20000));
}

}  // namespace

// With "--growth LINE_N SPHERE_N" only the growth figures run, at the sizes given.
int main(int argc, char** argv) {
  ShrinkToDefaultMaterialAndBone();
  if (argc == 4 && std::strcmp(argv[1], "--growth") == 0) {
    RunGrowth(std::atoi(argv[2]), std::atoi(argv[3]));
    return 0;
  }
  Mesh mesh = MakeTerrain();
  const int numTriangles = static_cast<int>(mesh.indices.size() / 3);
  std::printf("level: %d triangles\n", numTriangles);

  LoadIntoLevel(mesh);
  playerPos = {kGrid * 0.5f, 5.0f, kGrid * 0.5f};
  double t0 = Now();
  GenerateLevelFromMesh();
  const double ourBuild = Now() - t0;
  {
    const bench::RebuildParts parts = bench::TimeRebuildParts(Now);
    bench::PrintRebuildParts("rebuild parts", parts);
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
  // Both sides take turns on chunks of the same work, so that a change in the load of the
  // shared machine falls on both alike.
  constexpr int kChunks = 20;
  int ourHits = 0, bulletHits = 0, agree = 0;
  std::vector<float> ourY(kSegments, NAN);
  double ourTime = 0.0, bulletTime = 0.0;
  for (int chunk = 0; chunk < kChunks; ++chunk) {
    const int first = chunk * kSegments / kChunks, last = (chunk + 1) * kSegments / kChunks;
    t0 = Now();
    for (int k = first; k < last; ++k) {
      vecDistance = 65535.0f;
      vector_type X;
      if (CollideLineSegmentWorld(from[k], to[k], &X)) {
        ++ourHits;
        ourY[k] = gCollisionPoint.y;
      }
    }
    ourTime += Now() - t0;
    t0 = Now();
    for (int k = first; k < last; ++k) {
      btVector3 a(from[k].x, from[k].y, from[k].z), b(to[k].x, to[k].y, to[k].z);
      btCollisionWorld::ClosestRayResultCallback cb(a, b);
      world.rayTest(a, b, cb);
      if (cb.hasHit()) {
        ++bulletHits;
        if (std::fabs(cb.m_hitPointWorld.y() - ourY[k]) < 1e-3f) ++agree;
      }
    }
    bulletTime += Now() - t0;
  }
  std::printf("segments: %d queries, hits zyntrel %d bullet %d, same hit point %d\n", kSegments, ourHits, bulletHits,
              agree);
  Report("segment queries", kSegments / ourTime, kSegments / bulletTime);

  // Walking: the player's ellipsoid walks over the terrain in steps of 0.1 with a gravity
  // step, turning now and then; Bullet sweeps a sphere of the ellipsoid's height over the
  // same path (one sweep per step), chunk by chunk after it.
  vector_type dir = {0.1f, 0.0f, 0.05f};
  playerPos = {kGrid * 0.5f, Height(kGrid / 2, kGrid / 2) + 0.5f, kGrid * 0.5f};
  std::vector<vector_type> path(kSlideSteps);
  btSphereShape sphere(gPlayerDimensions.y);
  int sweepHits = 0;
  ourTime = bulletTime = 0.0;
  for (int chunk = 0; chunk < kChunks; ++chunk) {
    const int first = chunk * kSlideSteps / kChunks, last = (chunk + 1) * kSlideSteps / kChunks;
    t0 = Now();
    for (int k = first; k < last; ++k) {
      if (k % 500 == 0) dir = {slant(rng) / 30.0f, 0.0f, slant(rng) / 30.0f};
      if (playerPos.x < 10 || playerPos.x > kGrid - 10 || playerPos.z < 10 || playerPos.z > kGrid - 10)
        playerPos = {kGrid * 0.5f, 8.0f, kGrid * 0.5f};
      CollisionPacket packet{};
      collideAndSlide(nullptr, dir, {0.0f, -0.2f, 0.0f}, &packet);
      path[k] = playerPos;
    }
    ourTime += Now() - t0;
    t0 = Now();
    for (int k = std::max(first, 1); k < last; ++k) {
      btTransform a, b;
      a.setIdentity();
      b.setIdentity();
      a.setOrigin(btVector3(path[k - 1].x, path[k - 1].y + 1.0f, path[k - 1].z));
      b.setOrigin(btVector3(path[k].x, path[k].y + 0.8f, path[k].z));
      btCollisionWorld::ClosestConvexResultCallback cb(a.getOrigin(), b.getOrigin());
      world.convexSweepTest(&sphere, a, b, cb);
      if (cb.hasHit()) ++sweepHits;
    }
    bulletTime += Now() - t0;
  }
  const double ourSlide = kSlideSteps / ourTime;
  const double bulletSlide = (kSlideSteps - 1) / bulletTime;
  std::printf("walk: %d steps, player ended at (%.1f, %.2f, %.1f); bullet sweeps with a hit %d\n", kSlideSteps,
              playerPos.x, playerPos.y, playerPos.z, sweepHits);
  Report("collide-and-slide step / sweep", ourSlide, bulletSlide);

  world.removeCollisionObject(&terrain);
  FreeLevelGeometry();

  RunGrowth(30000, 10000);
  return 0;
}
