// Fonts built with FreeType: the atlas layout, widths and texture coordinates for a known
// face, the glyph pictures inside their rectangles, the 96/72 pixel scale, and the rules of
// building a font once per signature.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>

#include "effects/fonts.h"
#include "support/test_support.h"

namespace {

std::vector<unsigned char> Atlas(GLuint texture) {
  std::vector<unsigned char> pixels(256 * 256 * 4);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

// Rows (top first) and columns of an atlas holding ink above `threshold` within a rectangle.
struct Ink {
  int top = 1 << 20, bottom = -1, left = 1 << 20, right = -1;
  bool any() const { return bottom >= 0; }
};
Ink InkIn(const std::vector<unsigned char>& atlas, int x0, int x1, int y0, int y1, int threshold = 64) {
  Ink ink;
  for (int y = std::max(0, y0); y < std::min(256, y1); y++)
    for (int x = std::max(0, x0); x < std::min(256, x1); x++)
      if (atlas[(y * 256 + x) * 4 + 3] > threshold) {
        ink.top = std::min(ink.top, y);
        ink.bottom = std::max(ink.bottom, y);
        ink.left = std::min(ink.left, x);
        ink.right = std::max(ink.right, x);
      }
  return ink;
}

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(gl.ok()); }
  void TearDown() override { DisposeAllFonts(); }
  int FontCount() {
    int n = 0;
    for (font_type* f = baseFont.next; f; f = f->next) n++;
    return n;
  }
  zt::HeadlessGL gl;
};

TEST_F(FontTest, LayoutWidthsAndCoordinatesFollowTheRowsOfSixteen) {
  BuildGLFont("DejaVu Sans", 12);
  font_type* font = FindFontBySignature("DejaVu Sans12");
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->fontSize, 12);
  for (int code = 0; code < 256; code++) {
    int row = (code % 128) / 16, column = code % 16;
    SCOPED_TRACE(code);
    EXPECT_FLOAT_EQ(font->lengths[code] * 256.0f, static_cast<float>(font->int_lengths[code]));
    float x = 0;
    for (int c = code - column; c < code; c++) x += font->int_lengths[c] + 1;
    EXPECT_FLOAT_EQ(font->offsets_h[code] * 256.0f, x);
    EXPECT_FLOAT_EQ(font->offsets_v[code] * 256.0f, static_cast<float>(row * 32 + 16 - 12));
    EXPECT_FLOAT_EQ(font->u[code][0], font->offsets_h[code]);
    EXPECT_FLOAT_EQ(font->u[code][1], font->offsets_h[code] + font->lengths[code]);
    EXPECT_FLOAT_EQ(font->v[code][0] * 256.0f, row * 32 + 16 - 12 - 11.0f);
    EXPECT_FLOAT_EQ(font->v[code][1] * 256.0f, row * 32 + 16 - 12 + 23.0f);
  }
  // DejaVu Sans: tabular digits, a narrow i, a wide W, a visible space advance.
  for (int d = '1'; d <= '9'; d++) EXPECT_EQ(font->int_lengths[d], font->int_lengths['0']);
  EXPECT_LT(font->int_lengths['i'], font->int_lengths['W']);
  EXPECT_GT(font->int_lengths[' '], 0);
  EXPECT_GT(font->int_lengths[0xC4], 0);  // A with diaeresis in the second atlas
}

TEST_F(FontTest, GlyphInkLiesInsideItsRectangleAtTheRightPixelHeight) {
  BuildGLFont("DejaVu Sans", 12);
  font_type* font = FindFontBySignature("DejaVu Sans12");
  ASSERT_NE(font, nullptr);
  std::vector<unsigned char> low = Atlas(font->theTexture);
  for (int i = 0; i < 256 * 256; i++) {
    ASSERT_EQ(low[4 * i], low[4 * i + 1]);
    ASSERT_EQ(low[4 * i + 3], (low[4 * i] * 3) / 3);  // alpha from brightness of white text
  }
  // Letters whose neighbours do not overhang (a j, for one, reaches left into the gap).
  for (int code : {'H', 'M', 'o', '0', 'E'}) {
    SCOPED_TRACE(code);
    int x0 = static_cast<int>(std::lround(font->u[code][0] * 256)), x1 = static_cast<int>(std::lround(font->u[code][1] * 256));
    int y0 = static_cast<int>(std::lround(font->v[code][0] * 256)), y1 = static_cast<int>(std::lround(font->v[code][1] * 256));
    Ink inside = InkIn(low, x0, x1, y0, y1);
    ASSERT_TRUE(inside.any());
    // No ink of this glyph spills into the one-pixel gaps beside it.
    Ink row = InkIn(low, x0 - 1, x1 + 1, y0, y1);
    EXPECT_EQ(row.left, inside.left);
    EXPECT_EQ(row.right, inside.right);
  }
  // 12 points at 96 dpi are 16 pixels: the cap height of DejaVu Sans (0.73 em) is 11 to 13.
  int x0 = static_cast<int>(font->u['H'][0] * 256), x1 = static_cast<int>(font->u['H'][1] * 256);
  Ink h = InkIn(low, x0, x1, static_cast<int>(font->v['H'][0] * 256), static_cast<int>(font->v['H'][1] * 256));
  int capHeight = h.bottom - h.top + 1;
  EXPECT_GE(capHeight, 11);
  EXPECT_LE(capHeight, 13);

  // Codes 128..255 are in the second atlas, at the same place in their rows.
  std::vector<unsigned char> high = Atlas(font->theTexture2);
  int c = 0xC4;
  Ink ae = InkIn(high, static_cast<int>(font->u[c][0] * 256), static_cast<int>(font->u[c][1] * 256),
                 static_cast<int>(font->v[c][0] * 256), static_cast<int>(font->v[c][1] * 256));
  EXPECT_TRUE(ae.any());
}

TEST_F(FontTest, LargerSizeScalesTheGlyphs) {
  BuildGLFont("DejaVu Sans", 12);
  BuildGLFont("DejaVu Sans", 24);
  font_type* small = FindFontBySignature("DejaVu Sans12");
  font_type* large = FindFontBySignature("DejaVu Sans24");
  ASSERT_NE(small, nullptr);
  ASSERT_NE(large, nullptr);
  EXPECT_NEAR(large->int_lengths['M'], 2 * small->int_lengths['M'], 2);
  EXPECT_NE(large->theTexture, small->theTexture);
}

TEST_F(FontTest, SameNameAndSizeBuildOneFont) {
  BuildGLFont("Liberation Sans", 10);
  font_type* first = FindFontBySignature("Liberation Sans10");
  BuildGLFont("Liberation Sans", 10);
  EXPECT_EQ(FontCount(), 1);
  EXPECT_EQ(FindFontBySignature("Liberation Sans10"), first);
  BuildGLFont("Liberation Sans", 11);
  EXPECT_EQ(FontCount(), 2);
}

TEST_F(FontTest, UnknownFaceFallsBackAndBadSizesAreRefused) {
  BuildGLFont("No Such Face At All", 12);
  font_type* fallback = FindFontBySignature("No Such Face At All12");
  ASSERT_NE(fallback, nullptr);
  EXPECT_GT(fallback->int_lengths['A'], 0);

  zt::ConsoleCapture console;
  BuildGLFont("DejaVu Sans", 0);
  BuildGLFont("DejaVu Sans", -5);
  BuildGLFont("DejaVu Sans", 100000);
  EXPECT_EQ(FontCount(), 1);
  EXPECT_EQ(console.text().rfind("//", 0), 0u);
}

TEST_F(FontTest, LongNameIsCutToTheSignatureSize) {
  std::string name(80, 'x');
  BuildGLFont(name.c_str(), 12);
  ASSERT_EQ(FontCount(), 1);
  EXPECT_EQ(std::string(baseFont.next->signature), std::string(31, 'x'));
}

}  // namespace
