// libFuzzer target for the model precache readers: the input is split at its first two form
// feeds into a Meshwork model, its pose text and its pose-animation text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "import_fuzz_support.h"
#include "models/precache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fz::Begin();
  std::string all(reinterpret_cast<const char*>(data), size);
  size_t a = all.find('\f');
  size_t b = a == std::string::npos ? std::string::npos : all.find('\f', a + 1);
  std::string model = all.substr(0, a);
  std::string poses = a == std::string::npos ? std::string() : all.substr(a + 1, b == std::string::npos ? b : b - a - 1);
  std::string anims = b == std::string::npos ? std::string() : all.substr(b + 1);
  meshwork_model* mdl = NewMeshworkModel();
  std::string path = std::string(fz::kGameFolder) + "Models/robot";
  std::string text = "Mesh\t1\t1" + model;
  if (LoadMeshworkModelFromMemory(mdl, text.data(), text.size(), path.c_str())) {
    ReadModelAnimationsText(mdl, anims.data(), anims.size());
    ReadModelPosesText(mdl, poses.data(), poses.size());
  }
  DisposeMeshworkModel(mdl);
  return 0;
}
