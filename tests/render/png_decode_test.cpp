// The PNG reader: every colour type and bit depth comes out as 8-bit RGB or RGBA with the
// right values and orientation, and malformed files are refused without crashing.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>

#include "render/png_writer.h"
#include "render/textures.h"

namespace {

PNGImage Decode(const std::vector<unsigned char>& bytes) {
  PNGImage image;
  const char* error = nullptr;
  EXPECT_TRUE(DecodePNGMemory(bytes.data(), bytes.size(), &image, &error)) << (error ? error : "");
  return image;
}

// The RGBA of pixel (x, y), y counted from the top; alpha 255 for RGB images.
std::vector<int> Pixel(const PNGImage& image, int x, int y) {
  const unsigned char* p = image.pixels.data() + (static_cast<size_t>(y) * image.width + x) * image.channels;
  return {p[0], p[1], p[2], image.channels == 4 ? p[3] : 255};
}

zt::TestPNG Gray(int depth, std::vector<uint16_t> samples) {
  zt::TestPNG png;
  png.width = static_cast<int>(samples.size());
  png.colorType = PNG_COLOR_TYPE_GRAY;
  png.bitDepth = depth;
  png.samples = std::move(samples);
  return png;
}

TEST(PNGDecode, GrayOfEveryDepthExpandsToRGB) {
  struct Case {
    int depth;
    uint16_t low, high;
    int expectLow, expectHigh;
  } cases[] = {{1, 0, 1, 0, 255}, {2, 1, 2, 85, 170}, {4, 5, 15, 85, 255}, {8, 30, 200, 30, 200},
               {16, 0x1234, 0xFEDC, 0x12, 0xFE}};
  for (const Case& c : cases) {
    PNGImage image = Decode(zt::EncodeTestPNG(Gray(c.depth, {c.low, c.high, c.low})));
    ASSERT_EQ(image.width, 3) << "depth " << c.depth;
    EXPECT_FALSE(image.hasAlpha);
    EXPECT_EQ(image.channels, 3);
    EXPECT_EQ(Pixel(image, 0, 0), (std::vector<int>{c.expectLow, c.expectLow, c.expectLow, 255})) << c.depth;
    EXPECT_EQ(Pixel(image, 1, 0), (std::vector<int>{c.expectHigh, c.expectHigh, c.expectHigh, 255})) << c.depth;
  }
}

TEST(PNGDecode, GrayAlphaKeepsItsAlpha) {
  for (int depth : {8, 16}) {
    zt::TestPNG png;
    png.width = 2;
    png.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    png.bitDepth = depth;
    int scale = depth == 16 ? 257 : 1;
    png.samples = {static_cast<uint16_t>(100 * scale), static_cast<uint16_t>(50 * scale),
                   static_cast<uint16_t>(250 * scale), static_cast<uint16_t>(255 * scale)};
    PNGImage image = Decode(zt::EncodeTestPNG(png));
    EXPECT_TRUE(image.hasAlpha);
    EXPECT_EQ(image.channels, 4);
    EXPECT_EQ(Pixel(image, 0, 0), (std::vector<int>{100, 100, 100, 50}));
    EXPECT_EQ(Pixel(image, 1, 0), (std::vector<int>{250, 250, 250, 255}));
  }
}

TEST(PNGDecode, TruecolourWithAndWithoutAlphaAtBothDepths) {
  for (int depth : {8, 16}) {
    int scale = depth == 16 ? 257 : 1;
    auto s = [scale](int v) { return static_cast<uint16_t>(v * scale); };
    zt::TestPNG rgb;
    rgb.width = 2;
    rgb.bitDepth = depth;
    rgb.samples = {s(10), s(20), s(30), s(200), s(150), s(100)};
    PNGImage image = Decode(zt::EncodeTestPNG(rgb));
    EXPECT_FALSE(image.hasAlpha);
    EXPECT_EQ(Pixel(image, 1, 0), (std::vector<int>{200, 150, 100, 255}));

    zt::TestPNG rgba = rgb;
    rgba.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    rgba.samples = {s(10), s(20), s(30), s(40), s(200), s(150), s(100), s(0)};
    image = Decode(zt::EncodeTestPNG(rgba));
    EXPECT_TRUE(image.hasAlpha);
    EXPECT_EQ(Pixel(image, 0, 0), (std::vector<int>{10, 20, 30, 40}));
    EXPECT_EQ(Pixel(image, 1, 0), (std::vector<int>{200, 150, 100, 0}));
  }
}

TEST(PNGDecode, PaletteOfEveryDepthWithAndWithoutTransparency) {
  for (int depth : {1, 2, 4, 8}) {
    zt::TestPNG png;
    png.width = 2;
    png.colorType = PNG_COLOR_TYPE_PALETTE;
    png.bitDepth = depth;
    png.palette = {{255, 0, 0}, {0, 0, 255}};
    png.samples = {1, 0};
    PNGImage image = Decode(zt::EncodeTestPNG(png));
    EXPECT_FALSE(image.hasAlpha) << depth;
    EXPECT_EQ(Pixel(image, 0, 0), (std::vector<int>{0, 0, 255, 255})) << depth;
    EXPECT_EQ(Pixel(image, 1, 0), (std::vector<int>{255, 0, 0, 255})) << depth;

    png.paletteAlpha = {64};
    image = Decode(zt::EncodeTestPNG(png));
    EXPECT_TRUE(image.hasAlpha) << depth;
    EXPECT_EQ(Pixel(image, 0, 0), (std::vector<int>{0, 0, 255, 255})) << depth;
    EXPECT_EQ(Pixel(image, 1, 0), (std::vector<int>{255, 0, 0, 64})) << depth;
  }
}

TEST(PNGDecode, TransparentColourBecomesAlpha) {
  zt::TestPNG png = Gray(8, {7, 9});
  png.hasTransparentColor = true;
  png.transparentColor.gray = 7;
  PNGImage image = Decode(zt::EncodeTestPNG(png));
  EXPECT_TRUE(image.hasAlpha);
  EXPECT_EQ(Pixel(image, 0, 0)[3], 0);
  EXPECT_EQ(Pixel(image, 1, 0), (std::vector<int>{9, 9, 9, 255}));
}

TEST(PNGDecode, InterlacedImageKeepsRowsTopFirst) {
  zt::TestPNG png;
  png.width = 9;
  png.height = 9;
  png.interlaced = true;
  for (int y = 0; y < 9; y++)
    for (int x = 0; x < 9; x++) {
      png.samples.push_back(static_cast<uint16_t>(x * 20));
      png.samples.push_back(static_cast<uint16_t>(y * 20));
      png.samples.push_back(7);
    }
  PNGImage image = Decode(zt::EncodeTestPNG(png));
  ASSERT_EQ(image.height, 9);
  for (int y = 0; y < 9; y++)
    for (int x = 0; x < 9; x++) EXPECT_EQ(Pixel(image, x, y), (std::vector<int>{x * 20, y * 20, 7, 255}));
}

// Rewrites the CRC of the chunk that starts at `offset` (its length field).
void FixChunkCRC(std::vector<unsigned char>* bytes, size_t offset) {
  uint32_t length = (uint32_t((*bytes)[offset]) << 24) | ((*bytes)[offset + 1] << 16) |
                    ((*bytes)[offset + 2] << 8) | (*bytes)[offset + 3];
  uLong c = crc32(0, bytes->data() + offset + 4, length + 4);
  for (int i = 0; i < 4; i++) (*bytes)[offset + 8 + length + i] = static_cast<unsigned char>(c >> (24 - 8 * i));
}

TEST(PNGDecode, MalformedFilesAreRefused) {
  std::vector<unsigned char> good = zt::SimplePNG(4, 4, std::vector<uint16_t>(48, 99), false);
  PNGImage image;
  const char* error = nullptr;

  EXPECT_FALSE(DecodePNGMemory(good.data(), 0, &image, &error));
  EXPECT_FALSE(DecodePNGMemory(good.data(), 8, &image, &error));  // signature only
  for (size_t cut : {size_t(20), size_t(33), good.size() - 20, good.size() - 13}) {
    EXPECT_FALSE(DecodePNGMemory(good.data(), cut, &image, &error)) << cut;
    EXPECT_NE(error, nullptr);
  }
  const unsigned char text[] = "this is not a png file at all";
  EXPECT_FALSE(DecodePNGMemory(text, sizeof text, &image, &error));

  // A damaged image data stream.
  std::vector<unsigned char> damaged = good;
  for (size_t i = 41; i < damaged.size() - 16; i++) damaged[i] ^= 0x5A;
  EXPECT_FALSE(DecodePNGMemory(damaged.data(), damaged.size(), &image, &error));
  EXPECT_TRUE(image.pixels.empty());

  // A header claiming an enormous image (with a correct CRC) is refused before allocating.
  std::vector<unsigned char> huge = good;
  huge[16] = 0x00; huge[17] = 0x10; huge[18] = 0x00; huge[19] = 0x00;  // width 1048576
  huge[20] = 0x00; huge[21] = 0x10; huge[22] = 0x00; huge[23] = 0x00;
  FixChunkCRC(&huge, 8);
  EXPECT_FALSE(DecodePNGMemory(huge.data(), huge.size(), &image, &error));

  // The good file still decodes.
  EXPECT_TRUE(DecodePNGMemory(good.data(), good.size(), &image, &error));
  EXPECT_EQ(Pixel(image, 3, 3), (std::vector<int>{99, 99, 99, 255}));
}

}  // namespace
