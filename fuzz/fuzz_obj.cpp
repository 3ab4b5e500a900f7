// libFuzzer target for the Wavefront OBJ and MTL readers: parse, then import into the level.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "import_fuzz_support.h"
#include "models/import_obj.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fz::Begin();
  const char* text = reinterpret_cast<const char*>(data);
  std::vector<ObjMaterial> materials;
  ParseMTL(text, size, &materials);
  std::string path = std::string(fz::kGameFolder) + "level/room.obj";
  ImportWavefrontOBJFromMemory(text, size, path.c_str(), 1.0f);
  fz::End();
  return 0;
}
