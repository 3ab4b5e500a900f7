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
  float h = 0.0f, v = 0.0f, hend = 0.0f, vend = 0.0f;
  if (parms[0] == '\0') {
    id = gScriptVars.ints[0];
    reg = gScriptVars.ints[1];
    h = static_cast<float>(gScriptVars.floats[0]);
    v = static_cast<float>(gScriptVars.floats[1]);
    hend = static_cast<float>(gScriptVars.floats[2]);
    vend = static_cast<float>(gScriptVars.floats[3]);
  } else if (std::sscanf(parms, "%d,%d,%f,%f,%f,%f", &id, &reg, &h, &v, &hend, &vend) < 2) {
    return nullptr;
  }
  SetTextBox(id, gScriptVars.strings[RegisterNumberOrFirst(reg) - 1], h, v, hend, vend);
  return nullptr;
}
