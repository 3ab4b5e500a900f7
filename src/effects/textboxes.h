// Text boxes of the head-up display: numbered strings with a place, a right border, a colour
// and a font, drawn on the 2D overlay after the 3D scene.
#pragma once

struct font_type;

struct textbox_type {
  int ID;  // at most one box per ID
  int start_h, start_v;
  int end_h;  // right border: a glyph that would pass it starts a new line
  int end_v;  // kept with the box, not used for drawing
  char string[4096];
  float colors[4];
  font_type* theFont;
  textbox_type* next;
};

extern textbox_type baseTextBox;  // list head; carries no box
extern textbox_type* textboxPtr;
extern float gTextColor[4];  // colour of boxes set from now on; white at start

// Sets box `ID` (appending it when new) with a copy of `text`, the current colour and
// the current font. Does nothing while there is no current font.
void SetTextBox(int ID, const char* text, double h, double v, double hend, double vend);

// The text overlay: 2D projection, identity model-view, lighting and depth test off,
// polygons filled; every box in list order at its place in its colour.
void DrawTextBoxes();

// The world reset: frees every box (the text colour and the fonts stay).
void DisposeAllTextBoxes();
