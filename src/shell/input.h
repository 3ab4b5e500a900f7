// Input state: the key table polled once per logic pass in Windows virtual-key numbering,
// its copy from the previous pass, the mouse buttons and cursor, and mouse view.
#pragma once

struct Point {
  int h, v;
};

extern int keyMap[256];
extern int oldKeyMap[256];
extern int gMouseButtons[3];
extern int gOldMouseButtons[3];
extern Point gMouseLoc;  // screen pixels
extern int doMouseView;
extern int oldDoMouseView;
extern Point mouseRefPoint;  // window coordinates
extern int mouseRefPending;

void GetAllKeys();
void SaveOldKeys();
int IsKeyDown(int key);
int IsKeyDownNow(int key);
int ReleasedKey(int key);
char ConvertSpecialMacToWinKey(char c);
void GlobalToLocal(Point* point);

// Reads the cursor into gMouseLoc and turns the view while mouse view is on.
void ReadCursorAndMouseView();
