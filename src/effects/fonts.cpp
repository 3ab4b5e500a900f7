// Bitmap fonts: the face is matched by fontconfig, its glyphs rendered off screen by FreeType
// into two atlases (codes 0..127 and 128..255), each glyph in a picture of its own as large as
// the quad that shows it, and strings drawn from them as textured quads on the 2D overlay.
#include "effects/fonts.h"

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "script/script_file.h"
#include "shell/output.h"

font_type baseFont = {};
font_type* fontPtr = &baseFont;
font_type* gCurFont = nullptr;
int gInsertionPoint_h = 0, gInsertionPoint_v = 0;

namespace {

// Atlases start at 256 x 256 and double as a size needs, up to the GL limit but never beyond
// 4096 texels a side (64 MB a texture), so that one script line cannot exhaust memory.
constexpr int kSmallestAtlas = 256;
constexpr int kLargestAtlas = 4096;
constexpr int kGlyphsPerPass = 128;

// Codes 0x80..0x9F of the ANSI (Windows-1252) code page; 0 where the page has no character.
const unsigned short kAnsiHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The Unicode character of an ANSI code, or 0 for control codes and unassigned codes,
// which are drawn with the face's missing-glyph shape as the system font would.
unsigned long AnsiToUnicode(int code) {
  if (code < 32 || code == 127) return 0;
  if (code >= 0x80 && code < 0xA0) return kAnsiHighControls[code - 0x80];
  return static_cast<unsigned long>(code);
}

// Rounded size * 96 / 72: the pixel height of a point size on a 96 dpi screen.
int PixelHeightOfPoints(int size) { return (size * 96 + 36) / 72; }

// A glyph's quad is 3 x size - 2 pixels tall and maps one texel to one pixel, so its
// picture in the atlas is that tall too.
int GlyphHeight(int size) { return 3 * size - 2; }

// The font file fontconfig picks for a face name (regular weight, upright).
bool MatchFontFile(const char* fontName, std::string* file, int* index) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(fontName));
  FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* path = nullptr;
  bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path;
  if (found) {
    *file = reinterpret_cast<const char*>(path);
    if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
  }
  FcPatternDestroy(match);
  return found;
}

// The texel of each glyph picture's top-left corner in its pass's atlas.
struct GlyphCells {
  int x[kGlyphsPerPass];
  int y[kGlyphsPerPass];
};

// Lays out one pass's glyph pictures (advance `widths` wide, `height` tall) left to right in
// rows across an atlas `atlasWidth` wide, with a blank texel between neighbours and along
// every atlas edge, so that filtering at a quad's border never reaches another glyph.
// Returns the atlas height the rows need, or -1 when a glyph is wider than the atlas.
int LayOutCells(const int* widths, int height, int atlasWidth, GlyphCells* cells) {
  int x = 1, y = 1;
  for (int i = 0; i < kGlyphsPerPass; i++) {
    if (widths[i] + 2 > atlasWidth) return -1;
    if (x + widths[i] + 1 > atlasWidth) {
      x = 1;
      y += height + 1;
    }
    cells->x[i] = x;
    cells->y[i] = y;
    x += widths[i] + 1;
  }
  return y + height + 1;
}

// The smallest atlas size that holds the glyphs of both passes: widths double from 256 and
// the height is the next power of two the rows need, no taller than wide until the width
// reaches `largest`. False when no atlas within `largest` holds them.
bool ChooseAtlasSize(const int* widths, int height, int largest, int* atlasWidth, int* atlasHeight,
                     GlyphCells cells[2]) {
  for (int width = kSmallestAtlas; width <= largest; width *= 2) {
    int low = LayOutCells(widths, height, width, &cells[0]);
    int high = LayOutCells(widths + kGlyphsPerPass, height, width, &cells[1]);
    if (low < 0 || high < 0) continue;
    int needed = std::max(low, high);
    int rows = kSmallestAtlas;
    while (rows < needed) rows *= 2;
    if (rows <= width || (width * 2 > largest && rows <= largest)) {
      *atlasWidth = width;
      *atlasHeight = rows;
      return true;
    }
  }
  return false;
}

// The longest atlas side this GL takes, within the engine's own bound.
int LargestAtlasSide() {
  GLint limit = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
  if (limit < kSmallestAtlas) limit = kSmallestAtlas;
  return std::min(static_cast<int>(limit), kLargestAtlas);
}

// A greyscale picture of one atlas, top row first.
struct Atlas {
  int width = 0, height = 0;
  std::vector<unsigned char> gray;

  Atlas(int w, int h) : width(w), height(h), gray(static_cast<size_t>(w) * static_cast<size_t>(h), 0) {}

  // Draws a glyph bitmap with its top-left corner at (left, top), keeping only the pixels
  // inside the clip rectangle [x0, x1) x [y0, y1), the glyph's own picture.
  void DrawBitmap(const FT_Bitmap& bitmap, int left, int top, int x0, int y0, int x1, int y1) {
    for (unsigned int row = 0; row < bitmap.rows; row++) {
      int y = top + static_cast<int>(row);
      if (y < y0 || y >= y1) continue;
      const unsigned char* line = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
      for (unsigned int col = 0; col < bitmap.width; col++) {
        int x = left + static_cast<int>(col);
        if (x < x0 || x >= x1) continue;
        unsigned char value;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
          value = (line[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
        else
          value = line[col];
        unsigned char& pixel = gray[static_cast<size_t>(y) * width + x];
        if (value > pixel) pixel = value;
      }
    }
  }
};

// White text on black: R, G, B = the coverage and A = (R + G + B) / 3.
unsigned int UploadAtlas(const Atlas& atlas) {
  std::vector<unsigned char> rgba(atlas.gray.size() * 4);
  for (size_t i = 0; i < atlas.gray.size(); i++) {
    unsigned char g = atlas.gray[i];
    rgba[4 * i] = rgba[4 * i + 1] = rgba[4 * i + 2] = g;
    rgba[4 * i + 3] = static_cast<unsigned char>((g + g + g) / 3);
  }
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, atlas.width, atlas.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  return name;
}

FT_UInt GlyphOfCode(FT_Face face, int code) {
  unsigned long character = AnsiToUnicode(code);
  return character ? FT_Get_Char_Index(face, character) : 0;
}

// The advance of every code in whole pixels (0 where the face has no glyph to load).
void MeasureAdvances(FT_Face face, int* widths) {
  for (int code = 0; code < 256; code++) {
    int w = 0;
    if (FT_Load_Glyph(face, GlyphOfCode(face, code), FT_LOAD_TARGET_NORMAL) == 0)
      w = static_cast<int>((face->glyph->advance.x + 32) >> 6);
    widths[code] = w < 0 ? 0 : w;
  }
}

// Fills the font's tables for the codes of one pass from their cells. The glyph's text row
// (the top of the character cell the glyph is drawn in) lies size - 1 texels below the top
// of its picture, as the quad reaches 2 x size - 1 above the pen and size - 1 below it.
void RecordGlyphPlaces(font_type* font, int first, const GlyphCells& cells) {
  const float width = static_cast<float>(font->atlasWidth), height = static_cast<float>(font->atlasHeight);
  const int size = font->fontSize;
  for (int i = 0; i < kGlyphsPerPass; i++) {
    int code = first + i;
    font->lengths[code] = static_cast<float>(font->int_lengths[code]) / width;
    font->offsets_h[code] = static_cast<float>(cells.x[i]) / width;
    font->offsets_v[code] = static_cast<float>(cells.y[i] + size - 1) / height;
    font->u[code][0] = font->offsets_h[code];
    font->u[code][1] = static_cast<float>(cells.x[i] + font->int_lengths[code]) / width;
    font->v[code][0] = static_cast<float>(cells.y[i]) / height;
    font->v[code][1] = static_cast<float>(cells.y[i] + GlyphHeight(size)) / height;
  }
}

// Renders the glyphs of one pass into their pictures: the pen at the picture's left edge,
// the baseline `ascent` below the text row; ink outside the picture is cut off.
void RenderPass(FT_Face face, const font_type* font, int first, int ascent, const GlyphCells& cells, Atlas* atlas) {
  const int size = font->fontSize;
  for (int i = 0; i < kGlyphsPerPass; i++) {
    int code = first + i, w = font->int_lengths[code];
    if (w == 0) continue;
    if (FT_Load_Glyph(face, GlyphOfCode(face, code), FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) continue;
    const FT_GlyphSlot glyph = face->glyph;
    int textRow = cells.y[i] + size - 1;
    atlas->DrawBitmap(glyph->bitmap, cells.x[i] + glyph->bitmap_left, textRow + ascent - glyph->bitmap_top, cells.x[i],
                      cells.y[i], cells.x[i] + w, cells.y[i] + GlyphHeight(size));
  }
}

enum class FontResult { kBuilt, kNoFace, kTooLarge };

// Renders both atlases of a font with FreeType.
FontResult RenderFont(const char* fontName, font_type* font) {
  const int largest = LargestAtlasSide();
  // A picture taller than the largest atlas (3 x size - 2 texels and a blank one above and
  // below) can never fit: refused before FreeType is asked to scale a face that large.
  if (font->fontSize > largest / 3) return FontResult::kTooLarge;
  std::string file;
  int index = 0;
  if (!MatchFontFile(fontName, &file, &index)) return FontResult::kNoFace;
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return FontResult::kNoFace;
  FT_Face face = nullptr;
  FontResult result = FontResult::kNoFace;
  if (FT_New_Face(library, file.c_str(), index, &face) == 0 &&
      FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(PixelHeightOfPoints(font->fontSize))) == 0) {
    MeasureAdvances(face, font->int_lengths);
    GlyphCells cells[2];
    if (!ChooseAtlasSize(font->int_lengths, GlyphHeight(font->fontSize), largest, &font->atlasWidth,
                         &font->atlasHeight, cells)) {
      result = FontResult::kTooLarge;
    } else {
      int ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
      Atlas low(font->atlasWidth, font->atlasHeight), high(font->atlasWidth, font->atlasHeight);
      RecordGlyphPlaces(font, 0, cells[0]);
      RecordGlyphPlaces(font, kGlyphsPerPass, cells[1]);
      RenderPass(face, font, 0, ascent, cells[0], &low);
      RenderPass(face, font, kGlyphsPerPass, ascent, cells[1], &high);
      font->theTexture = UploadAtlas(low);
      font->theTexture2 = UploadAtlas(high);
      result = FontResult::kBuilt;
    }
  }
  if (face) FT_Done_Face(face);
  FT_Done_FreeType(library);
  return result;
}

// The pen moved by `step` pixels; a pen placed near the ends of the int range stops there
// instead of overflowing.
int MovePen(int pen, long long step) {
  long long moved = static_cast<long long>(pen) + step;
  if (moved > INT_MAX) return INT_MAX;
  if (moved < INT_MIN) return INT_MIN;
  return static_cast<int>(moved);
}

// A line break: down one and a half font sizes, back to the line start.
void NewLine(const font_type* font, int lineStart) {
  gInsertionPoint_v = MovePen(gInsertionPoint_v, font->fontSize / 2 + font->fontSize);
  gInsertionPoint_h = lineStart;
}

}  // namespace

font_type* FindFontBySignature(const char* signature) {
  for (font_type* font = baseFont.next; font; font = font->next) {
    if (std::strcmp(font->signature, signature) == 0) return font;
  }
  return nullptr;
}

void BuildGLFont(const char* fontName, int fontSize) {
  char signature[32];
  std::snprintf(signature, sizeof signature, "%s%d", fontName, fontSize);
  if (FindFontBySignature(signature)) return;
  if (fontSize < 1) {
    OutputToConsoleF("// Font size %d is too small.\n", fontSize);
    return;
  }

  font_type* font = new font_type();
  ZNK_CopyString(font->signature, signature, sizeof font->signature);
  font->fontSize = fontSize;
  FontResult result = RenderFont(fontName, font);
  if (result != FontResult::kBuilt) {
    if (result == FontResult::kTooLarge)
      OutputToConsoleF("// Font size %d does not fit in a texture of %d x %d.\n", fontSize, LargestAtlasSide(),
                       LargestAtlasSide());
    else
      OutputToConsoleF("// Could not build the font %s.\n", signature);
    delete font;
    return;
  }
  font_type* last = &baseFont;
  while (last->next) last = last->next;
  last->next = font;
  fontPtr = font;
}

void ZNKDrawString(const unsigned char* theString, font_type* theFont, int rightborder, int) {
  if (!theString || !theFont) return;
  const int lineStart = gInsertionPoint_h;
  const int size = theFont->fontSize;
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  GLuint bound = 0;
  bool open = false;
  for (const unsigned char* p = theString; *p; p++) {
    unsigned char c = *p;
    if (c == '\n' || c == '\r') {
      NewLine(theFont, lineStart);
      continue;
    }
    GLuint texture = c < 128 ? theFont->theTexture : theFont->theTexture2;
    if (!open || texture != bound) {
      if (open) glEnd();
      glBindTexture(GL_TEXTURE_2D, texture);
      bound = texture;
      glBegin(GL_QUADS);
      open = true;
    }
    int w = theFont->int_lengths[c];
    if (static_cast<long long>(gInsertionPoint_h) + w > rightborder) NewLine(theFont, lineStart);
    float h0 = static_cast<float>(gInsertionPoint_h);
    float h1 = static_cast<float>(static_cast<long long>(gInsertionPoint_h) + w);
    float top = static_cast<float>(static_cast<long long>(gInsertionPoint_v) - 2 * size + 1);
    float bottom = static_cast<float>(static_cast<long long>(gInsertionPoint_v) + size - 1);
    glTexCoord2f(theFont->u[c][0], theFont->v[c][0]);
    glVertex2f(h0, top);
    glTexCoord2f(theFont->u[c][1], theFont->v[c][0]);
    glVertex2f(h1, top);
    glTexCoord2f(theFont->u[c][1], theFont->v[c][1]);
    glVertex2f(h1, bottom);
    glTexCoord2f(theFont->u[c][0], theFont->v[c][1]);
    glVertex2f(h0, bottom);
    gInsertionPoint_h = MovePen(gInsertionPoint_h, w);
  }
  if (open) glEnd();
}

void DisposeAllFonts() {
  font_type* font = baseFont.next;
  while (font) {
    font_type* next = font->next;
    GLuint names[2] = {font->theTexture, font->theTexture2};
    glDeleteTextures(2, names);
    delete font;
    font = next;
  }
  baseFont.next = nullptr;
  fontPtr = &baseFont;
  gCurFont = nullptr;
}
