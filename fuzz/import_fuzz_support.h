// Shared set-up of the level-import fuzz targets: a game folder that does not exist (so no
// texture file is ever found and no GL call is made) and a clean level for every input.
#pragma once
#include "models/materials.h"
#include "script/script_file.h"
#include "shell/startup.h"
#include "world/level_mesh.h"

namespace fz {

constexpr const char* kGameFolder = "/nonexistent-zyntrel-fuzz-game/";

inline void Begin() {
  static bool ready = false;
  if (!ready) {
    ZNK_CopyString(routePath, kGameFolder, sizeof routePath);
    InitDefaultMaterialAndBone();
    ready = true;
  }
}

inline void End() {
  FreeLevelGeometry();
  ShrinkToDefaultMaterialAndBone();
}

}  // namespace fz
