// libFuzzer target for the PNG reader: any byte block must decode or be refused, never crash.
#include <cstddef>
#include <cstdint>

#include "render/textures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PNGImage image;
  const char* error = nullptr;
  if (DecodePNGMemory(data, size, &image, &error)) {
    volatile unsigned char sink = 0;
    if (!image.pixels.empty()) sink = image.pixels[image.pixels.size() - 1];
    (void)sink;
  }
  return 0;
}
