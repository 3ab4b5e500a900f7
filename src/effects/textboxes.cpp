// Text boxes: setting a box by its number (one box per number, replaced in place) and
// drawing every box on the 2D overlay with its own font and colour.
#include "effects/textboxes.h"

#include <GL/gl.h>

#include "effects/fonts.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/window.h"

textbox_type baseTextBox = {};
textbox_type* textboxPtr = &baseTextBox;
float gTextColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};

void SetTextBox(int ID, const char* text, double h, double v, double hend, double vend) {
  if (!gCurFont) return;
  textbox_type* box = nullptr;
  textbox_type* last = &baseTextBox;
  for (textbox_type* p = baseTextBox.next; p; p = p->next) {
    if (p->ID == ID) {
      box = p;
      break;
    }
    last = p;
  }
  if (!box) {
    box = new textbox_type();
    box->next = nullptr;
    last->next = box;
  }
  for (int i = 0; i < 4; i++) box->colors[i] = gTextColor[i];
  box->theFont = gCurFont;
  ZNK_CopyString(box->string, text ? text : "", sizeof box->string);
  // Truncated toward zero; NaN gives 0 and places beyond the int range saturate.
  box->start_h = TruncateToInt(h);
  box->start_v = TruncateToInt(v);
  box->end_h = TruncateToInt(hend);
  box->end_v = TruncateToInt(vend);
  box->ID = ID;
  textboxPtr = box;
}

void DrawTextBoxes() {
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(Matrix_2D);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  for (textbox_type* box = baseTextBox.next; box; box = box->next) {
    gInsertionPoint_h = box->start_h;
    gInsertionPoint_v = box->start_v;
    glColor4fv(box->colors);
    ZNKDrawString(reinterpret_cast<const unsigned char*>(box->string), box->theFont, box->end_h, box->end_v);
  }
}

void DisposeAllTextBoxes() {
  textbox_type* box = baseTextBox.next;
  while (box) {
    textbox_type* next = box->next;
    delete box;
    box = next;
  }
  baseTextBox.next = nullptr;
  textboxPtr = &baseTextBox;
}
