// libFuzzer target for the skinned model loader: any bytes must load or be refused cleanly,
// as an object's model and as level geometry, and a loaded model must survive posing,
// animation and disposal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "models/skeleton.h"
#include "models/zntl_model.h"
#include "shell/output.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  toConsole = nullptr;
  toDialog = nullptr;
  // Read as level geometry (no reports, no animations) the same bytes load or are refused
  // cleanly too.
  zntlmdl* level = NewZyntrelMdl();
  if (Load_Zyntrel_MdlFromMemory(data, size, "Models/fuzz.wtf", level, kZntlLevelGeometry))
    Dispose_Zyntrel_Mdl(level);
  else
    std::free(level);

  zntlmdl* mdl = NewZyntrelMdl();
  if (!Load_Zyntrel_MdlFromMemory(data, size, "Models/fuzz.wtf", mdl)) {
    std::free(mdl);
    return 0;
  }
  for (uint32_t a = 0; a < mdl->numAnimations && a < 4; a++) {
    mdl->animations[a].looping = static_cast<int>(a & 1);
    ScanAnimationForBoneTimelines(mdl, &mdl->animations[a], static_cast<int32_t>(a) * -1000);
  }
  UpdateModelBones(mdl, 500);
  UpdateModelBones(mdl, 5000);
  PoseModelVertices(mdl);
  PoseObjectModel2(mdl, 1, 2, 3, 10, 20, 30, 0);
  Dispose_Zyntrel_Mdl(mdl);
  return 0;
}
