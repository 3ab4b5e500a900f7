// Fonts built with FreeType: each glyph's picture in the atlas (quad-sized, apart from every
// other), atlases that grow with the size, the glyph pictures inside their rectangles, the
// 96/72 pixel scale, and the rules of building a font once per signature.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "effects/fonts.h"
#include "support/test_support.h"

namespace {

// An atlas texture read back, with its size.
struct AtlasPixels {
  int width = 0, height = 0;
  std::vector<unsigned char> rgba;
  int alpha(int x, int y) const { return rgba[(static_cast<size_t>(y) * width + x) * 4 + 3]; }
};

AtlasPixels Atlas(const font_type* font, GLuint texture) {
  AtlasPixels atlas;
  atlas.width = font->atlasWidth;
  atlas.height = font->atlasHeight;
  atlas.rgba.resize(static_cast<size_t>(atlas.width) * atlas.height * 4);
  glBindTexture(GL_TEXTURE_2D, texture);
  GLint w = 0, h = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
  EXPECT_EQ(w, atlas.width);
  EXPECT_EQ(h, atlas.height);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, atlas.rgba.data());
  return atlas;
}

// A glyph's picture in texels: the rectangle its quad's texture coordinates cover.
struct Rect {
  int x0, y0, x1, y1;  // end exclusive
};
Rect PictureOf(const font_type* font, int code) {
  auto texel = [](float t, int size) { return static_cast<int>(std::lround(t * size)); };
  return {texel(font->u[code][0], font->atlasWidth), texel(font->v[code][0], font->atlasHeight),
          texel(font->u[code][1], font->atlasWidth), texel(font->v[code][1], font->atlasHeight)};
}

// Rows (top first) and columns of an atlas holding ink above `threshold` within a rectangle.
struct Ink {
  int top = 1 << 20, bottom = -1, left = 1 << 20, right = -1;
  bool any() const { return bottom >= 0; }
};
Ink InkIn(const AtlasPixels& atlas, Rect r, int threshold = 64) {
  Ink ink;
  for (int y = std::max(0, r.y0); y < std::min(atlas.height, r.y1); y++)
    for (int x = std::max(0, r.x0); x < std::min(atlas.width, r.x1); x++)
      if (atlas.alpha(x, y) > threshold) {
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
  // Builds the face at a size and returns the font by its signature (null when none).
  font_type* Build(const char* face, int size) {
    BuildGLFont(face, size);
    char signature[32];
    std::snprintf(signature, sizeof signature, "%s%d", face, size);
    return FindFontBySignature(signature);
  }
  int FontCount() {
    int n = 0;
    for (font_type* f = baseFont.next; f; f = f->next) n++;
    return n;
  }
  zt::HeadlessGL gl;
};

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// Every glyph's picture is as wide as its advance and 3 x size - 2 tall, lies inside its
// atlas with a blank texel to every edge, and keeps one texel from every other picture of
// the same atlas, so a quad never samples a neighbour.
void ExpectDisjointPicturesOfQuadSize(const font_type* font) {
  const int size = font->fontSize;
  EXPECT_TRUE(IsPowerOfTwo(font->atlasWidth));
  EXPECT_TRUE(IsPowerOfTwo(font->atlasHeight));
  EXPECT_GE(font->atlasWidth, 256);
  EXPECT_GE(font->atlasHeight, 256);
  for (int first : {0, 128}) {
    for (int a = first; a < first + 128; a++) {
      SCOPED_TRACE(a);
      Rect r = PictureOf(font, a);
      ASSERT_EQ(r.x1 - r.x0, font->int_lengths[a]);
      ASSERT_EQ(r.y1 - r.y0, 3 * size - 2);
      ASSERT_FLOAT_EQ(font->lengths[a] * font->atlasWidth, static_cast<float>(font->int_lengths[a]));
      ASSERT_FLOAT_EQ(font->offsets_h[a], font->u[a][0]);
      // The text row lies size - 1 texels below the picture's top, as the quad lies on screen.
      ASSERT_FLOAT_EQ(font->offsets_v[a] * font->atlasHeight, static_cast<float>(r.y0 + size - 1));
      ASSERT_GE(r.x0, 1);
      ASSERT_GE(r.y0, 1);
      ASSERT_LE(r.x1, font->atlasWidth - 1);
      ASSERT_LE(r.y1, font->atlasHeight - 1);
      if (r.x1 == r.x0) continue;
      for (int b = first; b < a; b++) {
        Rect o = PictureOf(font, b);
        if (o.x1 == o.x0) continue;
        bool apart = r.x0 >= o.x1 + 1 || o.x0 >= r.x1 + 1 || r.y0 >= o.y1 + 1 || o.y0 >= r.y1 + 1;
        ASSERT_TRUE(apart) << "pictures of codes " << a << " and " << b << " touch";
      }
    }
  }
}

TEST_F(FontTest, SmallSizesKeepOneAtlasOf256AndTheAdvancesOfTheFace) {
  BuildGLFont("DejaVu Sans", 12);
  font_type* font = FindFontBySignature("DejaVu Sans12");
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->fontSize, 12);
  EXPECT_EQ(font->atlasWidth, 256);
  EXPECT_EQ(font->atlasHeight, 256);
  ExpectDisjointPicturesOfQuadSize(font);
  // DejaVu Sans: tabular digits, a narrow i, a wide W, a visible space advance.
  for (int d = '1'; d <= '9'; d++) EXPECT_EQ(font->int_lengths[d], font->int_lengths['0']);
  EXPECT_LT(font->int_lengths['i'], font->int_lengths['W']);
  EXPECT_GT(font->int_lengths[' '], 0);
  EXPECT_GT(font->int_lengths[0xC4], 0);  // A with diaeresis in the second atlas
}

TEST_F(FontTest, EverySizeFrom6To96HasDisjointPicturesWithinTheTextureLimit) {
  GLint limit = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
  int previousWidth = 0;
  for (int size = 6; size <= 96; size += 6) {
    SCOPED_TRACE(size);
    font_type* font = Build("DejaVu Sans", size);
    ASSERT_NE(font, nullptr);
    EXPECT_LE(font->atlasWidth, limit);
    EXPECT_LE(font->atlasHeight, limit);
    EXPECT_GE(font->atlasWidth * font->atlasHeight, previousWidth);
    previousWidth = font->atlasWidth * font->atlasHeight;
    ExpectDisjointPicturesOfQuadSize(font);
    DisposeAllFonts();
  }
}

TEST_F(FontTest, GlyphInkLiesInsideItsPictureAtTheRightPixelHeight) {
  for (int size : {12, 48}) {
    SCOPED_TRACE(size);
    font_type* font = Build("DejaVu Sans", size);
    ASSERT_NE(font, nullptr);
    AtlasPixels low = Atlas(font, font->theTexture);
    for (size_t i = 0; i < low.rgba.size(); i += 4) {
      ASSERT_EQ(low.rgba[i], low.rgba[i + 1]);
      ASSERT_EQ(low.rgba[i + 3], (low.rgba[i] * 3) / 3);  // alpha from brightness of white text
    }
    // No texel outside every picture holds ink: nothing a quad could pick up by filtering.
    std::vector<char> inside(static_cast<size_t>(low.width) * low.height, 0);
    for (int code = 0; code < 128; code++) {
      Rect r = PictureOf(font, code);
      for (int y = r.y0; y < r.y1; y++)
        for (int x = r.x0; x < r.x1; x++) inside[static_cast<size_t>(y) * low.width + x] = 1;
    }
    int stray = 0;
    for (int y = 0; y < low.height; y++)
      for (int x = 0; x < low.width; x++)
        if (!inside[static_cast<size_t>(y) * low.width + x] && low.alpha(x, y) > 0) stray++;
    EXPECT_EQ(stray, 0);

    // Capitals and digits stand on the baseline, the same distance below the text row in
    // every picture, and are whole: 12 points at 96 dpi are 16 pixels, and the cap height
    // of DejaVu Sans (0.73 em) is 0.73 x 4/3 x size.
    Ink h = InkIn(low, PictureOf(font, 'H'));
    ASSERT_TRUE(h.any());
    int capHeight = h.bottom - h.top + 1;
    EXPECT_NEAR(capHeight, 0.729 * size * 4 / 3, 1.0);
    Rect hp = PictureOf(font, 'H');
    for (int code : {'E', 'L', 'M', '1', '7', 'T'}) {
      SCOPED_TRACE(code);
      Rect p = PictureOf(font, code);
      Ink ink = InkIn(low, p);
      ASSERT_TRUE(ink.any());
      EXPECT_EQ(ink.top - p.y0, h.top - hp.y0);
      EXPECT_EQ(ink.bottom - p.y0, h.bottom - hp.y0);
    }

    // Codes 128..255 are in the second atlas.
    AtlasPixels high = Atlas(font, font->theTexture2);
    EXPECT_TRUE(InkIn(high, PictureOf(font, 0xC4)).any());
    DisposeAllFonts();
  }
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
  BuildGLFont("DejaVu Sans", 2000000000);
  BuildGLFont("DejaVu Sans", 1200);  // pictures fit the texture height, the rows do not
  EXPECT_EQ(FontCount(), 1);
  // One "//" line for each refused size.
  std::string text = console.text();
  int lines = 0;
  for (size_t at = text.find("//"); at != std::string::npos; at = text.find("//", at + 2)) lines++;
  EXPECT_EQ(lines, 4) << text;
  EXPECT_EQ(text.rfind("//", 0), 0u);
}

TEST_F(FontTest, LongNameIsCutToTheSignatureSize) {
  std::string name(80, 'x');
  BuildGLFont(name.c_str(), 12);
  ASSERT_EQ(FontCount(), 1);
  EXPECT_EQ(std::string(baseFont.next->signature), std::string(31, 'x'));
}

}  // namespace
