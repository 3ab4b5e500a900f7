// Text commands: building fonts, choosing the current font and text colour, and setting the
// text boxes of the head-up display.
#include <cstdio>

#include "commands/commands.h"
#include "effects/fonts.h"
#include "effects/textboxes.h"
#include "script/variables.h"

namespace {
// A register number outside 1..16 means register 1.
int RegisterNumberOrFirst(int n) { return n >= 1 && n <= kNumRegisters ? n : 1; }
}  // namespace

char* znkinstr_buildfont(char* parms, char* buffer) {
  char name[256] = "";
  int size = 0;
  if (std::sscanf(parms, "\"%255[^\"]\",%d", name, &size) < 1) return nullptr;
  BuildGLFont(name, size);
  return nullptr;
}

char* znkinstr_font(char* parms, char* buffer) {
  char signature[32] = "";
  if (std::sscanf(parms, "\"%31[^\"]\"", signature) != 1) return nullptr;
  font_type* font = FindFontBySignature(signature);
  if (font) gCurFont = font;
  return nullptr;
}

char* znkinstr_textcol(char* parms, char* buffer) {
  float color[4] = {gTextColor[0], gTextColor[1], gTextColor[2], gTextColor[3]};
  if (parms[0] == '\0') {
    for (int i = 0; i < 4; i++) color[i] = static_cast<float>(gScriptVars.floats[i]);
  } else if (std::sscanf(parms, "%f,%f,%f,%f", &color[0], &color[1], &color[2], &color[3]) < 1) {
    return nullptr;
  }
  for (int i = 0; i < 4; i++) gTextColor[i] = color[i];
  return nullptr;
}

char* znkinstr_textbox(char* parms, char* buffer) {
  if (!gCurFont) return nullptr;
  int id = 0, reg = 1;
  // Places stay doubles until the text box converts them, with saturation, to pixels.
  double place[4] = {0.0, 0.0, 0.0, 0.0};
  if (parms[0] == '\0') {
    id = gScriptVars.ints[0];
    reg = gScriptVars.ints[1];
    for (int i = 0; i < 4; i++) place[i] = gScriptVars.floats[i];
  } else {
    float h = 0.0f, v = 0.0f, hend = 0.0f, vend = 0.0f;
    if (std::sscanf(parms, "%d,%d,%f,%f,%f,%f", &id, &reg, &h, &v, &hend, &vend) < 2) return nullptr;
    place[0] = h;
    place[1] = v;
    place[2] = hend;
    place[3] = vend;
  }
  SetTextBox(id, gScriptVars.strings[RegisterNumberOrFirst(reg) - 1], place[0], place[1], place[2], place[3]);
  return nullptr;
}
