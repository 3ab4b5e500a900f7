// Screenshots: the CRC, the file layout, and a round trip through a headless frame (drawn,
// saved, decoded again and probed), with and without jittered accumulation passes, and the
// exact pass weights at an antialiased edge.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstring>
#include <fstream>

#include "commands/commands.h"
#include "effects/fonts.h"
#include "effects/textboxes.h"
#include "render/frame.h"
#include "render/screenshot.h"
#include "render/textures.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/startup.h"
#include "shell/window.h"
#include "support/test_support.h"
#include "frame_scene.h"
#include "objects/human.h"

namespace {

uint32_t BigEndianAt(const std::vector<unsigned char>& b, size_t at) {
  return (uint32_t(b[at]) << 24) | (uint32_t(b[at + 1]) << 16) | (uint32_t(b[at + 2]) << 8) | b[at + 3];
}

TEST(ScreenshotCRC, KnownValues) {
  EXPECT_EQ(crc(reinterpret_cast<const unsigned char*>("abc"), 3), 0x352441C2u);
  EXPECT_EQ(crc(reinterpret_cast<const unsigned char*>("IEND"), 4), 0xAE426082u);
  // Continuing a CRC over two blocks equals the CRC of the whole.
  uint32_t c = update_crc(0xFFFFFFFFu, reinterpret_cast<const unsigned char*>("ab"), 2);
  c = update_crc(c, reinterpret_cast<const unsigned char*>("c"), 1);
  EXPECT_EQ(c ^ 0xFFFFFFFFu, 0x352441C2u);
}

TEST(ScreenshotFile, HeaderChunksAndRowOrder) {
  const int w = 640, h = 480;
  std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4, 0);
  // Bottom row (first in GL order) red, top row (last) green.
  for (int x = 0; x < w; x++) {
    rgba[4 * x] = 255;
    rgba[(static_cast<size_t>(h - 1) * w + x) * 4 + 1] = 255;
    rgba[(static_cast<size_t>(h - 1) * w + x) * 4 + 3] = 128;
  }
  for (int alpha = 0; alpha <= 1; alpha++) {
    std::vector<unsigned char> file = EncodeScreenshotPNG(rgba.data(), w, h, alpha);
    ASSERT_GT(file.size(), 57u);
    const unsigned char signature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    EXPECT_EQ(std::memcmp(file.data(), signature, 8), 0);
    EXPECT_EQ(BigEndianAt(file, 8), 13u);
    EXPECT_EQ(std::memcmp(file.data() + 12, "IHDR", 4), 0);
    const unsigned char size[8] = {0, 0, 0x02, 0x80, 0, 0, 0x01, 0xE0};
    EXPECT_EQ(std::memcmp(file.data() + 16, size, 8), 0);
    EXPECT_EQ(file[24], 8);
    EXPECT_EQ(file[25], alpha ? 6 : 2);
    EXPECT_EQ(BigEndianAt(file, 29), crc(file.data() + 12, 17));
    EXPECT_EQ(std::memcmp(file.data() + 37, "IDAT", 4), 0);
    const unsigned char iend[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    EXPECT_EQ(std::memcmp(file.data() + file.size() - 12, iend, 12), 0);

    PNGImage image;
    ASSERT_TRUE(DecodePNGMemory(file.data(), file.size(), &image, nullptr));
    EXPECT_EQ(image.hasAlpha, alpha == 1);
    EXPECT_EQ(image.pixels[1], 255);  // top row of the file: green
    EXPECT_EQ(image.pixels[0], 0);
    if (alpha) {
      EXPECT_EQ(image.pixels[3], 128);
    }
    size_t last = (static_cast<size_t>(h - 1) * w) * image.channels;
    EXPECT_EQ(image.pixels[last], 255);  // bottom row: red
  }
}

TEST(ScreenshotFile, TinyImageStillCompresses) {
  unsigned char pixel[4] = {1, 2, 3, 4};
  std::vector<unsigned char> file = EncodeScreenshotPNG(pixel, 1, 1, 1);
  PNGImage image;
  ASSERT_TRUE(DecodePNGMemory(file.data(), file.size(), &image, nullptr));
  EXPECT_EQ(std::vector<unsigned char>(image.pixels.begin(), image.pixels.end()),
            (std::vector<unsigned char>{1, 2, 3, 4}));
}

// A headless screen of 96 x 64 with a solid-quad font (no texture: every glyph is a filled
// rectangle), so the picture is known exactly.
class ScreenshotFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl.ok());
    savedRect = screenRect;
    std::memcpy(savedRoute, routePath, sizeof savedRoute);
    ZNK_CopyString(routePath, (dir.path() + "/").c_str(), sizeof routePath);
    screenRect = {0, 0, 96, 64};
    ReSizeGLScene(screenRect, 0);
    backCol = {0.0f, 0.0f, 1.0f};  // the frame clears to it
    std::memset(&solid, 0, sizeof solid);
    solid.fontSize = 5;  // glyph quads 13 pixels high: v - 9 .. v + 4
    for (int& w : solid.int_lengths) w = 10;
    savedFont = gCurFont;
    gCurFont = &solid;
    const float white[4] = {1, 1, 1, 1};
    std::memcpy(savedColor, gTextColor, sizeof savedColor);
    std::memcpy(gTextColor, white, sizeof white);
    SetTextBox(1, "AB", 10.0f, 20.0f, 1000.0f, 0.0f);  // white 20 x 13 at (10, 11) top-left
  }
  void TearDown() override {
    DisposeAllTextBoxes();
    gCurFont = savedFont;
    std::memcpy(gTextColor, savedColor, sizeof savedColor);
    screenRect = savedRect;
    backCol = {0.0f, 0.0f, 0.0f};
    std::memcpy(routePath, savedRoute, sizeof savedRoute);
  }
  PNGImage Load(const std::string& path) {
    PNGImage image;
    const char* error = nullptr;
    EXPECT_TRUE(DecodePNGFile(path.c_str(), &image, &error)) << (error ? error : "");
    return image;
  }
  std::vector<int> At(const PNGImage& image, int x, int y) {
    const unsigned char* p = image.pixels.data() + (static_cast<size_t>(y) * image.width + x) * image.channels;
    return {p[0], p[1], p[2]};
  }

  zt::HeadlessGL gl{96, 64};
  zt::TempDir dir;
  font_type solid;
  font_type* savedFont = nullptr;
  float savedColor[4];
  tagRECT savedRect;
  char savedRoute[sizeof routePath];
};

TEST_F(ScreenshotFrame, SavedFrameShowsTheBoxAtItsPlaceTopRowFirst) {
  std::string path = dir.path() + "/shot.png";
  ASSERT_EQ(SaveScreenshotToPNG(path.c_str(), 0, 0, 0), 1);
  PNGImage image = Load(path);
  ASSERT_EQ(image.width, 96);
  ASSERT_EQ(image.height, 64);
  EXPECT_FALSE(image.hasAlpha);
  EXPECT_EQ(At(image, 15, 15), (std::vector<int>{255, 255, 255}));  // inside the box
  EXPECT_EQ(At(image, 28, 22), (std::vector<int>{255, 255, 255}));
  EXPECT_EQ(At(image, 15, 5), (std::vector<int>{0, 0, 255}));   // above it
  EXPECT_EQ(At(image, 15, 50), (std::vector<int>{0, 0, 255}));  // far below: not flipped
  EXPECT_EQ(At(image, 35, 15), (std::vector<int>{0, 0, 255}));  // right of it
}

TEST_F(ScreenshotFrame, JitteredPassesAverageToTheSamePicture) {
  for (int passes : {4, 3, 16}) {
    std::string path = dir.path() + "/aa.png";
    ASSERT_EQ(SaveScreenshotToPNG(path.c_str(), 1, 0, passes), 1);
    PNGImage image = Load(path);
    ASSERT_TRUE(image.hasAlpha);
    std::vector<int> inside = At(image, 15, 15), outside = At(image, 50, 40);
    for (int c = 0; c < 3; c++) {
      EXPECT_NEAR(inside[c], 255, 3) << passes;
      EXPECT_NEAR(outside[c], c == 2 ? 255 : 0, 3) << passes;
    }
  }
  // The camera projection is back after the jittered passes.
  float projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  for (int i = 0; i < 16; i++) EXPECT_FLOAT_EQ(projection[i], Matrix_3D[i]);
}

TEST_F(ScreenshotFrame, ScreensaveWritesInsideTheGameFolderOnly) {
  char parms[256] = "\"inside.png\"";
  znkinstr_screensave(parms, nullptr);
  EXPECT_EQ(Load(dir.path() + "/inside.png").width, 96);

  ZNK_CopyString(gScriptVars.strings[0], "./from register.png", kStringRegisterSize);
  char empty[8] = "";
  znkinstr_screensave(empty, nullptr);
  EXPECT_EQ(Load(dir.path() + "/from register.png").height, 64);

  for (const char* bad : {"\"/tmp/zyntrel-escape.png\"", "\"../escape.png\"", "\"a/../../escape.png\""}) {
    zt::ConsoleCapture console;
    ZNK_CopyString(parms, bad, sizeof parms);
    znkinstr_screensave(parms, nullptr);
    EXPECT_EQ(console.text().rfind("//", 0), 0u) << bad;
  }
  EXPECT_FALSE(std::ifstream(dir.path() + "/../escape.png").good());
  EXPECT_FALSE(std::ifstream("/tmp/zyntrel-escape.png").good());
}

// Antialiased edges: a white unlit square one unit ahead whose left edge falls at x = 40.3
// pixels of a 64 x 64 screen, over black. Every pass shifts the scene right by its jitter x
// offset, so pixel column 40 (centre 40.5) is white exactly in the passes whose offset is
// below 0.2, and the screenshot holds that share of 255: the weights are 1 / passes each.
// The headless context has no accumulation buffer, so this runs the one in memory.
TEST(ScreenshotJitter, EdgePixelsHoldTheShareOfPassesThatCoverThem) {
  ft::Scene scene;
  ASSERT_TRUE(scene.ok());
  zt::TempDir dir;
  // Screenshots are written only inside the game folder: make the temporary folder it.
  char savedRoute[sizeof routePath];
  std::memcpy(savedRoute, routePath, sizeof savedRoute);
  ZNK_CopyString(routePath, (dir.path() + "/").c_str(), sizeof routePath);
  struct RestoreRoute {
    char* saved;
    ~RestoreRoute() { std::memcpy(routePath, saved, sizeof routePath); }
  } restoreRoute{savedRoute};
  human_being* square = ft::AddObject(ft::SquareModelText(4.0f, "color=1,1,1,1\n"), {2.259375f, 0.0f, -1.0f});
  ASSERT_NE(square, nullptr);
  square->lux = 1;
  GLint accumBits = -1;
  glGetIntegerv(GL_ACCUM_RED_BITS, &accumBits);
  EXPECT_EQ(accumBits, 0);

  struct Case {
    int passes;
    int edge;  // expected value of column 40
  };
  // Passes with offset below 0.2: 2 -> 1 of 2; 4 -> 1; 8 -> 6; 15 -> 11; 16 -> 4.
  const Case cases[] = {{0, 255}, {2, 128}, {4, 64}, {8, 191}, {15, 187}, {16, 64}};
  for (const Case& c : cases) {
    std::string path = dir.path() + "/edge" + std::to_string(c.passes) + ".png";
    ASSERT_EQ(SaveScreenshotToPNG(path.c_str(), 0, 0, c.passes), 1);
    PNGImage image;
    const char* error = nullptr;
    ASSERT_TRUE(DecodePNGFile(path.c_str(), &image, &error)) << (error ? error : "");
    ASSERT_EQ(image.width, ft::kSize);
    for (int y : {1, 20, 32, 62}) {
      auto red = [&](int x) {
        return static_cast<int>(image.pixels[(static_cast<size_t>(y) * image.width + x) * image.channels]);
      };
      EXPECT_EQ(red(39), 0) << c.passes << " passes, row " << y;
      EXPECT_NEAR(red(40), c.edge, 1) << c.passes << " passes, row " << y;
      EXPECT_EQ(red(41), 255) << c.passes << " passes, row " << y;
      EXPECT_EQ(red(63), 255) << c.passes << " passes, row " << y;
    }
  }
  // The jittered passes leave the camera's projection in place.
  float projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  for (int i = 0; i < 16; i++) EXPECT_FLOAT_EQ(projection[i], Matrix_3D[i]);
}

}  // namespace
