// What the benchmark programs share: their clocks and the timing of the level rebuild's parts.
#pragma once
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "world/box_tree.h"
#include "world/level_build.h"
#include "world/level_mesh.h"
#include "world/object_collision.h"

namespace bench {

// Seconds on a monotonic wall clock.
inline double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Processor seconds of this process: steadier than wall time while other programs run.
// Reads and writes a buffer larger than the processor's caches, so that what a measurement
// touches next comes from memory.
inline void EvictCaches() {
  static std::vector<unsigned char> sweep(512u << 20, 1);
  for (size_t k = 0; k < sweep.size(); k += 64) sweep[k] = static_cast<unsigned char>(sweep[k] + 1);
}

inline double ProcessSeconds() {
  timespec ts;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

// Seconds each part of the level rebuild takes, timed through one rebuild of the current level
// (the same steps GenerateLevelFromMesh runs).
struct RebuildParts {
  double read;           // numbering the vertices, vertex normals, reading the triangle list
  double sort;           // the distance sort
  double tree;           // the box tree
  double collisionData;  // plane records and the collision hierarchy
  double drawLists;      // the build's draw arrays
  double store;          // linking the list and writing the results into the records
  double Total() const { return read + sort + tree + collisionData + drawLists + store; }
};

// The steps of GenerateLevelFromMesh, each timed.
template <class Clock>
RebuildParts TimeRebuildParts(Clock now) {
  RebuildParts parts;
  SyncLevelTriangleList();
  LevelBuild build;
  const auto timed = [&now](double* seconds, auto step) {
    const double t = now();
    step();
    *seconds = now() - t;
  };
  timed(&parts.read, [&] { GatherLevelForBuild(&build); });
  timed(&parts.sort, [&] { SortLevelBuildByDistance(&build); });
  timed(&parts.tree, [&] { BuildBoxTree(&build); });
  timed(&parts.collisionData, [&] { BuildObjectCollisionData(&build); });
  timed(&parts.drawLists, [&] { BuildLevelDrawArrays(&build); });
  timed(&parts.store, [&] { StoreLevelBuild(build); });
  gLevelNeedsRebuild = 0;
  return parts;
}

// One line with the parts.
inline void PrintRebuildParts(const char* label, const RebuildParts& p) {
  std::printf("%s: read %.3f s, sort %.3f s, tree %.3f s, collision data %.3f s, draw lists %.3f s, "
              "store %.3f s (total %.3f s)\n",
              label, p.read, p.sort, p.tree, p.collisionData, p.drawLists, p.store, p.Total());
}

}  // namespace bench
