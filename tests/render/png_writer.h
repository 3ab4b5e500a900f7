// Test helper: writes PNG files of any colour type, bit depth and interlace with libpng, so
// the decoder is checked against images made here rather than copied files.
#pragma once
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zt {

struct TestPNG {
  int width = 1;
  int height = 1;
  int colorType = PNG_COLOR_TYPE_RGB;
  int bitDepth = 8;
  bool interlaced = false;
  // One value per sample, row by row from the top, in the colour type's own channels
  // (a palette index, gray, gray+alpha, RGB or RGBA), each in 0 .. 2^bitDepth - 1.
  std::vector<uint16_t> samples;
  std::vector<png_color> palette;
  std::vector<png_byte> paletteAlpha;  // tRNS of a palette image
  bool hasTransparentColor = false;    // tRNS of a gray or RGB image
  png_color_16 transparentColor = {};
};

std::vector<unsigned char> EncodeTestPNG(const TestPNG& image);
// A plain 8-bit RGB (or RGBA when `rgba` has 4 values per pixel) image.
std::vector<unsigned char> SimplePNG(int width, int height, const std::vector<uint16_t>& samples, bool alpha);
void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace zt
