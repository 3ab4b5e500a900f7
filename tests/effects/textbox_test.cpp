// Text boxes: the replacement rules of setting a box, drawing boxes on a headless frame
// (place, colour, line breaks, the second atlas), and the text commands over the registers.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstring>

#include "commands/commands.h"
#include "effects/fonts.h"
#include "effects/textboxes.h"
#include "platform/platform.h"
#include "render/frame.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/startup.h"
#include "shell/window.h"
#include "support/test_support.h"

namespace {

int BoxCount() {
  int n = 0;
  for (textbox_type* b = baseTextBox.next; b; b = b->next) n++;
  return n;
}

void SetColor(float r, float g, float b, float a) {
  gTextColor[0] = r;
  gTextColor[1] = g;
  gTextColor[2] = b;
  gTextColor[3] = a;
}

class TextBoxRules : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(&font, 0, sizeof font);
    font.fontSize = 10;
    gCurFont = &font;
    SetColor(1, 1, 1, 1);
  }
  void TearDown() override {
    DisposeAllTextBoxes();
    gCurFont = nullptr;
    SetColor(1, 1, 1, 1);
  }
  font_type font;
};

TEST_F(TextBoxRules, SettingAnIDAgainReplacesTheBoxInPlace) {
  SetTextBox(3, "first", 1, 2, 3, 4);
  SetTextBox(7, "other", 0, 0, 0, 0);
  SetColor(0.5f, 0.25f, 0, 1);
  SetTextBox(3, "second", 10, 20, 30, 40);
  ASSERT_EQ(BoxCount(), 2);
  textbox_type* box = baseTextBox.next;
  EXPECT_EQ(box->ID, 3);
  EXPECT_STREQ(box->string, "second");
  EXPECT_FLOAT_EQ(box->colors[0], 0.5f);
  EXPECT_FLOAT_EQ(box->colors[1], 0.25f);
  EXPECT_EQ(box->start_h, 10);
  EXPECT_EQ(box->end_v, 40);
  EXPECT_EQ(box->next->ID, 7);
  EXPECT_FLOAT_EQ(box->next->colors[1], 1.0f);  // set before the colour changed
}

TEST_F(TextBoxRules, BoxKeepsItsOwnCopyAndTruncatesPositions) {
  char text[32] = "hello";
  SetTextBox(1, text, -2.7f, 5.9f, 100.2f, -0.5f);
  std::strcpy(text, "changed");
  textbox_type* box = baseTextBox.next;
  EXPECT_STREQ(box->string, "hello");
  EXPECT_EQ(box->start_h, -2);
  EXPECT_EQ(box->start_v, 5);
  EXPECT_EQ(box->end_h, 100);
  EXPECT_EQ(box->end_v, 0);
  EXPECT_EQ(box->theFont, &font);
}

TEST_F(TextBoxRules, NothingHappensWithoutACurrentFont) {
  gCurFont = nullptr;
  SetTextBox(1, "x", 0, 0, 0, 0);
  char parms[64] = "1,1,0,0,100,0";
  znkinstr_textbox(parms, nullptr);
  EXPECT_EQ(BoxCount(), 0);
}

TEST_F(TextBoxRules, TextCommandReadsItsParametersOrTheRegisters) {
  ZNK_CopyString(gScriptVars.strings[1], "from two", kStringRegisterSize);
  char parms[64] = "5,2,12.5,30,200,0";
  znkinstr_textbox(parms, nullptr);
  ASSERT_EQ(BoxCount(), 1);
  EXPECT_STREQ(baseTextBox.next->string, "from two");
  EXPECT_EQ(baseTextBox.next->start_h, 12);
  EXPECT_EQ(baseTextBox.next->end_h, 200);

  gScriptVars.ints[0] = 9;
  gScriptVars.ints[1] = 40;  // outside 1..16: register 1
  ZNK_CopyString(gScriptVars.strings[0], "from one", kStringRegisterSize);
  gScriptVars.floats[0] = 3;
  gScriptVars.floats[1] = 4;
  gScriptVars.floats[2] = 5;
  gScriptVars.floats[3] = 6;
  char empty[4] = "";
  znkinstr_textbox(empty, nullptr);
  ASSERT_EQ(BoxCount(), 2);
  textbox_type* box = baseTextBox.next->next;
  EXPECT_EQ(box->ID, 9);
  EXPECT_STREQ(box->string, "from one");
  EXPECT_EQ(box->start_v, 4);
  EXPECT_EQ(box->end_v, 6);
}

TEST_F(TextBoxRules, TextcolFromParametersOrRegisters) {
  char parms[64] = "0.1,0.2,0.3,0.4";
  znkinstr_textcol(parms, nullptr);
  EXPECT_FLOAT_EQ(gTextColor[2], 0.3f);
  for (int i = 0; i < 4; i++) gScriptVars.floats[i] = 0.5 + i * 0.1;
  char empty[4] = "";
  znkinstr_textcol(empty, nullptr);
  EXPECT_FLOAT_EQ(gTextColor[0], 0.5f);
  EXPECT_FLOAT_EQ(gTextColor[3], 0.8f);
}

TEST(ReadText, ReadsAWholeFileUpToTheRegisterSize) {
  zt::TempDir dir;
  char saved[sizeof routePath];
  std::memcpy(saved, routePath, sizeof saved);
  ZNK_CopyString(routePath, (dir.path() + "/").c_str(), sizeof routePath);
  dir.Write("notes.txt", "line one\r\nline two\n");
  dir.Write("big.txt", std::string(5000, 'z'));

  char parms[128] = "\"notes.txt\",3";
  znkinstr_readtext(parms, nullptr);
  EXPECT_STREQ(gScriptVars.strings[2], "line one\r\nline two\n");

  ZNK_CopyString(parms, "\"big.txt\",0", sizeof parms);  // register 0 means 1
  znkinstr_readtext(parms, nullptr);
  EXPECT_EQ(std::strlen(gScriptVars.strings[0]), 4095u);

  ZNK_CopyString(gScriptVars.strings[4], "kept", kStringRegisterSize);
  ZNK_CopyString(parms, "\"missing.txt\",5", sizeof parms);
  znkinstr_readtext(parms, nullptr);
  EXPECT_STREQ(gScriptVars.strings[4], "kept");
  std::memcpy(routePath, saved, sizeof saved);
}

// A 160 x 120 headless frame with DejaVu Sans 12 built through the commands.
class TextBoxFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl.ok());
    savedRect = screenRect;
    screenRect = {0, 0, 160, 120};
    ReSizeGLScene(screenRect, 0);
    glClearColor(0, 0, 0, 0);
    char parms[64] = "\"DejaVu Sans\",12";
    znkinstr_buildfont(parms, nullptr);
    znkinstr_buildfont(parms, nullptr);
    ZNK_CopyString(parms, "\"DejaVu Sans12\"", sizeof parms);
    znkinstr_font(parms, nullptr);
    ASSERT_NE(gCurFont, nullptr);
    SetColor(1, 1, 1, 1);
  }
  void TearDown() override {
    DisposeAllTextBoxes();
    DisposeAllFonts();
    SetColor(1, 1, 1, 1);
    screenRect = savedRect;
  }
  // Draws one frame and finds the pixels whose red is above `threshold` (top-down rows).
  void Draw() {
    DrawGLScene();
    int w = 0, h = 0;
    const unsigned char* pixels = Plat_HeadlessPixels(&w, &h);
    frame.assign(pixels, pixels + static_cast<size_t>(w) * h * 4);
  }
  const unsigned char* At(int x, int y) const { return frame.data() + ((119 - y) * 160 + x) * 4; }
  // Ink (any channel above 60) in the rectangle [x0, x1) x [y0, y1).
  int InkCount(int x0, int x1, int y0, int y1) const {
    int n = 0;
    for (int y = std::max(0, y0); y < std::min(120, y1); y++)
      for (int x = std::max(0, x0); x < std::min(160, x1); x++) {
        const unsigned char* p = At(x, y);
        if (p[0] > 60 || p[1] > 60 || p[2] > 60) n++;
      }
    return n;
  }

  zt::HeadlessGL gl{160, 120};
  tagRECT savedRect;
  std::vector<unsigned char> frame;
};

TEST_F(TextBoxFrame, BuildfontTwiceGivesOneFont) {
  int n = 0;
  for (font_type* f = baseFont.next; f; f = f->next) n++;
  EXPECT_EQ(n, 1);
  char parms[64] = "\"Nobody12\"";
  font_type* before = gCurFont;
  znkinstr_font(parms, nullptr);
  EXPECT_EQ(gCurFont, before);
}

TEST_F(TextBoxFrame, BoxIsDrawnAtItsPlaceInItsColour) {
  char parms[64] = "0,1,0,1";  // green
  znkinstr_textcol(parms, nullptr);
  SetTextBox(1, "HHHH", 20, 40, 1000, 0);
  Draw();
  int w = gCurFont->int_lengths['H'];
  // The glyph quads span h .. h + 4w and v - 23 .. v + 11.
  EXPECT_GT(InkCount(20, 20 + 4 * w, 40 - 23, 40 + 12), 4 * 20);
  EXPECT_EQ(InkCount(0, 160, 0, 40 - 23), 0);
  EXPECT_EQ(InkCount(0, 160, 40 + 12, 120), 0);
  EXPECT_EQ(InkCount(0, 20, 0, 120), 0);
  EXPECT_EQ(InkCount(20 + 4 * w, 160, 0, 120), 0);
  // Full-coverage pixels are the box's colour.
  int green = 0;
  for (int y = 17; y < 52; y++)
    for (int x = 20; x < 20 + 4 * w; x++) {
      const unsigned char* p = At(x, y);
      EXPECT_LT(p[0], 8);
      EXPECT_LT(p[2], 8);
      if (p[1] > 240) green++;
    }
  EXPECT_GT(green, 20);
}

TEST_F(TextBoxFrame, RightBorderLeftOfTheStartBreaksBeforeEveryCharacter) {
  SetTextBox(1, "HH", 60, 20, 10, 0);
  Draw();
  int w = gCurFont->int_lengths['H'];
  const int step = 12 / 2 + 12;  // one line: one and a half font sizes
  // The first line stays empty; each H starts its own line at the box's left edge.
  EXPECT_EQ(InkCount(0, 160, 20 - 23, 20 + 5), 0);
  EXPECT_GT(InkCount(60, 60 + w, 20 + step - 12, 20 + step + 5), 10);
  EXPECT_GT(InkCount(60, 60 + w, 20 + 2 * step - 12, 20 + 2 * step + 5), 10);
  EXPECT_EQ(InkCount(60 + w, 160, 0, 120), 0);
}

TEST_F(TextBoxFrame, LineFeedsAndWrappingReturnToTheLineStart) {
  int w = gCurFont->int_lengths['H'];
  SetTextBox(1, "H\nHHH", 30, 30, 30 + 2 * w, 0);  // room for two H per line
  Draw();
  const int step = 18;
  EXPECT_GT(InkCount(30, 30 + w, 18, 36), 10);                 // line 1: one H
  EXPECT_EQ(InkCount(30 + w, 160, 18, 36), 0);
  EXPECT_GT(InkCount(30 + w, 30 + 2 * w, 18 + step, 36 + step), 10);  // line 2: two H
  EXPECT_GT(InkCount(30, 30 + w, 18 + 2 * step, 36 + 2 * step), 10);  // line 3: the last
  EXPECT_EQ(InkCount(30 + w, 160, 18 + 2 * step, 120), 0);
}

TEST_F(TextBoxFrame, CodesAbove127ComeFromTheSecondTexture) {
  // Replace the second atlas by a solid white one: a code above 127 then fills its whole
  // quad, while a code below 128 still shows its glyph.
  std::vector<unsigned char> white(256 * 256 * 4, 255);
  GLuint solid = 0;
  glGenTextures(1, &solid);
  glBindTexture(GL_TEXTURE_2D, solid);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 256, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE, white.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  GLuint glyphs = gCurFont->theTexture2;
  gCurFont->theTexture2 = solid;

  SetTextBox(1, "\xC4", 20, 40, 1000, 0);
  SetTextBox(2, "\x41", 100, 40, 1000, 0);
  Draw();
  int wide = gCurFont->int_lengths[0xC4], a = gCurFont->int_lengths['A'];
  int quadHeight = 3 * 12 - 2;
  EXPECT_EQ(InkCount(20, 20 + wide, 0, 120), wide * quadHeight);
  int glyph = InkCount(100, 100 + a, 0, 120);
  EXPECT_GT(glyph, 10);
  EXPECT_LT(glyph, a * quadHeight / 2);

  gCurFont->theTexture2 = glyphs;
  glDeleteTextures(1, &solid);
}

}  // namespace
