// Keyboard and mouse polling, pressed/released tests against the previous pass, and mouse
// view: cursor motion turns the player's view, with the cursor kept off the screen edges.
#include "shell/input.h"

#include "objects/player.h"
#include "objects/vector_math.h"
#include "platform/platform.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"

int keyMap[256];
int oldKeyMap[256];
int gMouseButtons[3];
int gOldMouseButtons[3];
Point gMouseLoc;
int doMouseView = 0;
int oldDoMouseView = 0;
Point mouseRefPoint;
int mouseRefPending = 0;

namespace {
bool ValidKey(int key) { return key >= 0 && key < 256; }
}  // namespace

void GetAllKeys() { Plat_ReadKeys(keyMap); }

void SaveOldKeys() {
  for (int i = 0; i < 256; i++) oldKeyMap[i] = keyMap[i];
}

int IsKeyDown(int key) { return ValidKey(key) ? keyMap[key] : 0; }

int IsKeyDownNow(int key) { return ValidKey(key) && keyMap[key] && !oldKeyMap[key] ? 1 : 0; }

int ReleasedKey(int key) { return ValidKey(key) && !keyMap[key] && oldKeyMap[key] ? 1 : 0; }

char ConvertSpecialMacToWinKey(char c) {
  switch (static_cast<unsigned char>(c)) {
    case 0x24: return 0x0D;
    case 0x35: return 0x1B;
    case 0x38: return 0x10;
    case 0x39: return 0x14;
    case 0x3A: return 0x15;
    case 0x3B: return 0x11;
    case 0x4C: return 0x0D;
    default: return 0;
  }
}

void GlobalToLocal(Point* point) {
  int x, y;
  Plat_WindowOrigin(&x, &y);
  point->h -= x;
  point->v -= y;
}

void ReadCursorAndMouseView() {
  Plat_GetCursor(&gMouseLoc.h, &gMouseLoc.v);

  if (doMouseView) {
    // Turning, the edge test and the recentring work in window coordinates, so they hold
    // wherever the window sits on the desktop; gMouseLoc stays in screen pixels.
    Point cursor = gMouseLoc;
    GlobalToLocal(&cursor);
    if (!oldDoMouseView) {
      mouseRefPending = 1;
      Plat_ShowCursor(false);
    }
    if (mouseRefPending) {
      if (cursor.h != mouseRefPoint.h || cursor.v != mouseRefPoint.v) mouseRefPending = 0;
      mouseRefPoint = cursor;
    }
    float dt = static_cast<float>(gCurrentTime - gOldTime) / 1000.0f;
    viewangle = GetCorrectDegree(viewangle + static_cast<float>(cursor.h - mouseRefPoint.h) * dt * 7.0f);
    updownangle = GetCorrectDegree(updownangle + static_cast<float>(cursor.v - mouseRefPoint.v) * dt * 7.0f);
    if (updownangle > 90.0f) updownangle = 90.0f;
    if (updownangle < -90.0f) updownangle = -90.0f;

    if (cursor.h > screenRect.right - 50 || cursor.h < screenRect.left + 50 || cursor.v > screenRect.bottom - 50 ||
        cursor.v < screenRect.top + 50) {
      int originH = 0, originV = 0;
      Plat_WindowOrigin(&originH, &originV);
      gMouseLoc = {startLoc.h + originH, startLoc.v + originV};
      Plat_SetCursor(gMouseLoc.h, gMouseLoc.v);
      mouseRefPoint = startLoc;
      mouseRefPending = 1;
    } else {
      mouseRefPoint = cursor;
    }
  } else if (oldDoMouseView) {
    Plat_ShowCursor(true);
  }
  oldDoMouseView = doMouseView;
}
