// libFuzzer target for the skinned model loader: any bytes must load or be refused cleanly,
// as an object's model and as level geometry, and a loaded model, and an object's copy of it,
// must survive posing, animation and disposal.
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
  // An object's copy is posed and animated like the model; the model it came from stays
  // untouched until both are released, the copy first.
  zntlmdl* copy = CopyZyntrelMdl(mdl);
  for (zntlmdl* m : {copy, mdl}) {
    if (!m) continue;
    for (uint32_t a = 0; a < m->numAnimations && a < 4; a++) {
      m->animations[a].looping = static_cast<int>(a & 1);
      ScanAnimationForBoneTimelines(m, &m->animations[a], static_cast<int32_t>(a) * -1000);
    }
    UpdateModelBones(m, 500);
    UpdateModelBones(m, 5000);
    PoseModelVertices(m);
    PoseObjectModel2(m, 1, 2, 3, 10, 20, 30, 0);
  }
  Dispose_Zyntrel_Mdl(copy);
  Dispose_Zyntrel_Mdl(mdl);
  return 0;
}
