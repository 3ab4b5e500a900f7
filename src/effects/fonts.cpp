// Bitmap fonts: the face is matched by fontconfig, its glyphs rendered off screen by FreeType
// into two 256 x 256 atlases (8 rows of 16 codes each) with a width and texture rectangle per
// code, and strings drawn from them as textured quads on the 2D overlay.
#include "effects/fonts.h"

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

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

constexpr int kAtlasSize = 256;
constexpr int kMinFontSize = 1;
constexpr int kMaxFontSize = 128;

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

// A greyscale picture of one atlas, top row first.
struct Atlas {
  std::vector<unsigned char> gray = std::vector<unsigned char>(kAtlasSize * kAtlasSize, 0);

  // The character cell is painted with the black background before the glyph, as text
  // drawn with an opaque background would be.
  void ClearCell(int x, int y, int w, int h) {
    for (int row = y; row < y + h; row++) {
      if (row < 0 || row >= kAtlasSize) continue;
      for (int col = x; col < x + w; col++) {
        if (col >= 0 && col < kAtlasSize) gray[row * kAtlasSize + col] = 0;
      }
    }
  }

  void DrawBitmap(const FT_Bitmap& bitmap, int left, int top) {
    for (unsigned int row = 0; row < bitmap.rows; row++) {
      int y = top + static_cast<int>(row);
      if (y < 0 || y >= kAtlasSize) continue;
      const unsigned char* line = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
      for (unsigned int col = 0; col < bitmap.width; col++) {
        int x = left + static_cast<int>(col);
        if (x < 0 || x >= kAtlasSize) continue;
        unsigned char value;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
          value = (line[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
        else
          value = line[col];
        unsigned char& pixel = gray[y * kAtlasSize + x];
        if (value > pixel) pixel = value;
      }
    }
  }
};

// White text on black: R, G, B = the coverage and A = (R + G + B) / 3.
unsigned int UploadAtlas(const Atlas& atlas) {
  std::vector<unsigned char> rgba(kAtlasSize * kAtlasSize * 4);
  for (int i = 0; i < kAtlasSize * kAtlasSize; i++) {
    unsigned char g = atlas.gray[i];
    rgba[4 * i] = rgba[4 * i + 1] = rgba[4 * i + 2] = g;
    rgba[4 * i + 3] = static_cast<unsigned char>((g + g + g) / 3);
  }
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kAtlasSize, kAtlasSize, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  return name;
}

// Renders one pass (codes first..first+127) into an atlas and fills the font's tables.
void RenderPass(FT_Face face, font_type* font, int first, int ascent, int cellHeight, Atlas* atlas) {
  const int size = font->fontSize;
  int code = first;
  for (int row = 0; row < 8; row++) {
    int x = 0;
    const int y = row * 32 + 16 - size;
    for (int column = 0; column < 16; column++, code++) {
      unsigned long character = AnsiToUnicode(code);
      FT_UInt glyph = character ? FT_Get_Char_Index(face, character) : 0;
      int w = 0;
      if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) == 0) {
        w = static_cast<int>((face->glyph->advance.x + 32) >> 6);
        if (w < 0) w = 0;
        atlas->ClearCell(x, y, w, cellHeight);
        atlas->DrawBitmap(face->glyph->bitmap, x + face->glyph->bitmap_left, y + ascent - face->glyph->bitmap_top);
      }
      font->lengths[code] = static_cast<float>(w) / 256.0f;
      font->int_lengths[code] = w;
      font->offsets_h[code] =
          column == 0 ? 0.0f : font->offsets_h[code - 1] + font->lengths[code - 1] + 0.00390625f;
      font->offsets_v[code] = static_cast<float>(y) / 256.0f;
      font->u[code][0] = font->offsets_h[code];
      font->u[code][1] = font->offsets_h[code] + font->lengths[code];
      font->v[code][0] = font->offsets_v[code] - static_cast<float>(size - 1) / 256.0f;
      font->v[code][1] = font->offsets_v[code] + static_cast<float>(2 * size - 1) / 256.0f;
      x += w + 1;
    }
  }
}

// Renders both atlases of a font with FreeType. False when the face cannot be used.
bool RenderFont(const char* fontName, font_type* font) {
  std::string file;
  int index = 0;
  if (!MatchFontFile(fontName, &file, &index)) return false;
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return false;
  FT_Face face = nullptr;
  bool ok = FT_New_Face(library, file.c_str(), index, &face) == 0 &&
            FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(PixelHeightOfPoints(font->fontSize))) == 0;
  if (ok) {
    int ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    int descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
    Atlas low, high;
    RenderPass(face, font, 0, ascent, ascent + descent, &low);
    RenderPass(face, font, 128, ascent, ascent + descent, &high);
    font->theTexture = UploadAtlas(low);
    font->theTexture2 = UploadAtlas(high);
  }
  if (face) FT_Done_Face(face);
  FT_Done_FreeType(library);
  return ok;
}

// A line break: down one and a half font sizes, back to the line start.
void NewLine(const font_type* font, int lineStart) {
  gInsertionPoint_v += font->fontSize / 2 + font->fontSize;
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
  if (fontSize < kMinFontSize || fontSize > kMaxFontSize) {
    OutputToConsoleF("// Font size %d is out of range (%d to %d).\n", fontSize, kMinFontSize, kMaxFontSize);
    return;
  }

  font_type* font = new font_type();
  ZNK_CopyString(font->signature, signature, sizeof font->signature);
  font->fontSize = fontSize;
  if (!RenderFont(fontName, font)) {
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
    if (gInsertionPoint_h + w > rightborder) NewLine(theFont, lineStart);
    float h0 = static_cast<float>(gInsertionPoint_h), h1 = static_cast<float>(gInsertionPoint_h + w);
    float top = static_cast<float>(gInsertionPoint_v - 2 * size + 1);
    float bottom = static_cast<float>(gInsertionPoint_v + size - 1);
    glTexCoord2f(theFont->u[c][0], theFont->v[c][0]);
    glVertex2f(h0, top);
    glTexCoord2f(theFont->u[c][1], theFont->v[c][0]);
    glVertex2f(h1, top);
    glTexCoord2f(theFont->u[c][1], theFont->v[c][1]);
    glVertex2f(h1, bottom);
    glTexCoord2f(theFont->u[c][0], theFont->v[c][1]);
    glVertex2f(h0, bottom);
    gInsertionPoint_h += w;
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
