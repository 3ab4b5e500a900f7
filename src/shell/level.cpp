// Level switch and world reset. The reset frees, in a fixed order, the objects, the
// caches (on a full reset), the level geometry, the scripts and macros, the effects and
// the groups, and leaves the defaults that ZNK_Init set up.
#include "shell/level.h"

#include <cstdio>

#include "models/precache.h"
#include "commands/selection.h"
#include "effects/particles.h"
#include "effects/textboxes.h"
#include "groups/groups.h"
#include "models/materials.h"
#include "models/object_models.h"
#include "models/precache.h"
#include "objects/human.h"
#include "render/textures.h"
#include "world/collide_slide.h"
#include "world/level_mesh.h"
#include "script/command_table.h"
#include "script/compiler.h"
#include "script/scheduler.h"
#include "script/script_file.h"
#include "shell/output.h"
#include "shell/startup.h"

int LoadTintColor(const char* path) {
  FILE* file = OpenGameFile(path);
  if (!file) return 0;
  float r = baseCol1, g = baseCol2, b = baseCol3;
  // A short or malformed file keeps the colours it could not give.
  int read = std::fscanf(file, "%f, %f, %f\n", &r, &g, &b);
  std::fclose(file);
  if (read >= 1) baseCol1 = r;
  if (read >= 2) baseCol2 = g;
  if (read >= 3) baseCol3 = b;
  tintColor = {baseCol1, baseCol2, baseCol3};
  return 1;
}

void RestartGame() {
  char path[2200];
  std::snprintf(path, sizeof path, "%stint", currentLevelFolder);
  LoadTintColor(path);
  tintColor = {baseCol1, baseCol2, baseCol3};
}

void LoadLevel(const char* folder) {
  if (!folder || !folder[0]) return;
  ReturnToNothing(0);
  OutputToConsole("//Loading level\n");

  char path[2200];
  std::snprintf(path, sizeof path, "%sload script.txt", folder);
  ZNK_scripter* script = LoadScript(path);
  levelChanged = 1;
  if (!script) {
    char text[2300];
    std::snprintf(text, sizeof text, "This is not a valid level folder:\n%s", folder);
    OutputToDialog(text);
    OutputToConsole("//Loading failed. Chosen folder is not a valid level folder.\n");
  } else {
    ZNK_CopyString(currentLevelFolder, folder, sizeof currentLevelFolder);
    // levelChanged is set, so the runner returns at once: the load script starts with the
    // next logic pass like every other script.
    if (editMode == 4) ExecuteZNKCommandScript(script);
  }
  RestartGame();
}

void ReturnToNothing(int all) {
  // 1. Objects, with their models, scripts and entities.
  RemoveAllHumans();

  // 2. On a full reset, every cached texture and the model cache.
  if (all) {
    FreeTextureCache();
    FlushModelCache();
    FlushObjectModels();
  }

  // 3 and 6. The level geometry: triangles, edges, vertices, the box tree and the planes.
  FreeLevelGeometry();

  // 4. Scripts and macros, text boxes, particle systems.
  DisposeAllScripts();
  FreeAllMacros();
  DisposeAllTextBoxes();
  FreeParticleSystems();

  // 5. Groups (their members stay untouched; the objects are gone already).
  FreeAllGroups();

  // 7. The level materials and bones shrink to their defaults.
  ShrinkToDefaultMaterialAndBone();

  // 8. Identity counter, selection and script target.
  gBiggestID = 0;
  selHuman = nullptr;
  selBone = nullptr;
  gSelBone = nullptr;
  gSelectedGroup = nullptr;
  gHumanScriptTarget = nullptr;
  gHitPerson = nullptr;
}
