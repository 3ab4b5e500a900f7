// Bitmap fonts of the text overlay: a system font found by fontconfig, rendered once with
// FreeType into two atlas textures (codes 0..127 and 128..255), and the string drawer.
#pragma once

struct font_type {
  char signature[32];  // face name followed by the size, e.g. Arial12
  unsigned int theTexture;   // codes 0..127
  unsigned int theTexture2;  // codes 128..255
  float offsets_h[256];      // left edge of each glyph, as a fraction of the atlas width
  float offsets_v[256];      // top of each glyph's text row, as a fraction of the atlas height
  float lengths[256];        // advance width / atlas width
  int int_lengths[256];      // advance width in pixels
  int fontSize;
  float u[256][2];  // left and right texture coordinate
  float v[256][2];  // top and bottom texture coordinate
  // Texels of both atlases: 256 x 256 for small sizes, larger as the glyphs need.
  int atlasWidth;
  int atlasHeight;
  font_type* next;
};

extern font_type baseFont;   // list head; carries no font
extern font_type* fontPtr;
extern font_type* gCurFont;  // the font given to text boxes set from now on; null at start

extern int gInsertionPoint_h, gInsertionPoint_v;  // the pen while drawing

// The font whose signature equals `signature`, or null.
font_type* FindFontBySignature(const char* signature);

// Builds and appends a font unless one with the same signature exists. Each glyph gets a
// picture of its own in the atlas, as wide as its advance and 3 x size - 2 texels tall, with
// a blank texel around it. A face that cannot be found or rendered, a size below 1 and a
// size whose glyphs do not fit the largest texture are reported with a "//" line and build
// nothing.
void BuildGLFont(const char* fontName, int fontSize);

// Draws a string at the pen and moves the pen; a glyph that would pass `rightborder`
// starts a new line first. The caller sets the pen and the colour.
void ZNKDrawString(const unsigned char* theString, font_type* theFont, int rightborder, int unused);

// Frees every font and its textures (at shutdown; fonts survive the world reset).
void DisposeAllFonts();
