// What the benchmark programs share: their clocks and the timing of the level rebuild's parts.
#pragma once
#include <chrono>
#include <ctime>

#include "world/box_tree.h"
#include "world/level_mesh.h"
#include "world/object_collision.h"

namespace bench {

// Seconds on a monotonic wall clock.
inline double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Processor seconds of this process: steadier than wall time while other programs run.
inline double ProcessSeconds() {
  timespec ts;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

// Seconds each part of the level rebuild takes, run one by one on the current level.
struct RebuildParts {
  double normals, drawLists, tree, collisionData;
};

template <class Clock>
RebuildParts TimeRebuildParts(Clock now) {
  RebuildParts parts;
  double t = now();
  MakeMeshVertexNormals();
  parts.normals = now() - t;
  t = now();
  BuildLevelDrawArrays();  // the build's draw arrays (over the tree of the last build)
  parts.drawLists = now() - t;
  t = now();
  BuildBoxTree();
  parts.tree = now() - t;
  t = now();
  BuildObjectCollisionData();
  parts.collisionData = now() - t;
  BuildLevelDrawArrays();  // numbered again over the new tree's nodes
  return parts;
}

}  // namespace bench
