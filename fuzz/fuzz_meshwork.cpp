// libFuzzer target for the Meshwork level reader: any text is read in front of the level.
#include <cstddef>
#include <cstdint>
#include <string>

#include "import_fuzz_support.h"
#include "world/meshwork_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fz::Begin();
  std::string path = std::string(fz::kGameFolder) + "m/level.msh";
  LoadTrianglesFromMeshworkMemory(reinterpret_cast<const char*>(data), size, path.c_str(), 1.0f, 0);
  fz::End();
  return 0;
}
