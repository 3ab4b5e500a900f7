// Test helper: libpng writer into memory for generated test images.
#include "render/png_writer.h"

#include <csetjmp>
#include <cstdio>

namespace zt {
namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void NoFlush(png_structp) {}

int ChannelsOf(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
  }
}

// Packs the samples into libpng's row layout (big-endian 16-bit, MSB-first small depths).
std::vector<png_byte> PackRows(const TestPNG& image, size_t* rowBytes) {
  int channels = ChannelsOf(image.colorType);
  size_t bitsPerRow = static_cast<size_t>(image.width) * channels * image.bitDepth;
  *rowBytes = (bitsPerRow + 7) / 8;
  std::vector<png_byte> rows(*rowBytes * image.height, 0);
  for (int y = 0; y < image.height; y++) {
    png_byte* row = rows.data() + *rowBytes * y;
    for (int i = 0; i < image.width * channels; i++) {
      uint16_t value = image.samples[static_cast<size_t>(y) * image.width * channels + i];
      if (image.bitDepth == 16) {
        row[2 * i] = static_cast<png_byte>(value >> 8);
        row[2 * i + 1] = static_cast<png_byte>(value);
      } else if (image.bitDepth == 8) {
        row[i] = static_cast<png_byte>(value);
      } else {
        int bit = i * image.bitDepth;
        row[bit / 8] |= static_cast<png_byte>(value << (8 - image.bitDepth - bit % 8));
      }
    }
  }
  return rows;
}

bool WriteWithLibPNG(const TestPNG& image, const std::vector<png_bytep>& rowPointers, std::vector<unsigned char>* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, AppendToVector, NoFlush);
  png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colorType,
               image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!image.palette.empty())
    png_set_PLTE(png, info, image.palette.data(), static_cast<int>(image.palette.size()));
  if (!image.paletteAlpha.empty())
    png_set_tRNS(png, info, image.paletteAlpha.data(), static_cast<int>(image.paletteAlpha.size()), nullptr);
  if (image.hasTransparentColor) {
    png_color_16 color = image.transparentColor;
    png_set_tRNS(png, info, nullptr, 0, &color);
  }
  png_write_info(png, info);
  png_write_image(png, const_cast<png_bytepp>(rowPointers.data()));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

std::vector<unsigned char> EncodeTestPNG(const TestPNG& image) {
  size_t rowBytes = 0;
  std::vector<png_byte> rows = PackRows(image, &rowBytes);
  std::vector<png_bytep> rowPointers(image.height);
  for (int y = 0; y < image.height; y++) rowPointers[y] = rows.data() + rowBytes * y;
  std::vector<unsigned char> out;
  if (!WriteWithLibPNG(image, rowPointers, &out)) out.clear();
  return out;
}

std::vector<unsigned char> SimplePNG(int width, int height, const std::vector<uint16_t>& samples, bool alpha) {
  TestPNG image;
  image.width = width;
  image.height = height;
  image.colorType = alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
  image.samples = samples;
  return EncodeTestPNG(image);
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

}  // namespace zt
