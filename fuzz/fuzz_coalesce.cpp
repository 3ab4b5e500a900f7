// libFuzzer target for the Coalesce reader: any text is read into the level or refused.
#include <cstddef>
#include <cstdint>
#include <string>

#include "import_fuzz_support.h"
#include "models/import_coalesce.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fz::Begin();
  std::string path = std::string(fz::kGameFolder) + "m/model.coal";
  ImportCoalesceFromMemory(reinterpret_cast<const char*>(data), size, path.c_str(), 1.0f);
  fz::End();
  return 0;
}
