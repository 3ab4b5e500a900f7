// The one window and its GL context: creation and destruction with their messages, the
// fixed GL state, the viewport with the 2D and 3D projections, and window events.
#pragma once
#include "platform/platform.h"

struct tagRECT {
  int left, top, right, bottom;
};

extern bool fullscreen;  // the window runs full screen
extern bool active;      // the window is not minimized
extern float gFOV;       // vertical field of view in degrees
extern float Matrix_2D[16];
extern float Matrix_3D[16];
extern float LightAmbient[4];
extern float LightDiffuse[4];
extern float LightSpecular[4];

bool CreateGLWindow(const char* title, int width, int height, int bits, bool fullscreenflag);
void KillGLWindow();
bool InitGL();
void ReSizeGLScene(tagRECT rect, int useRect);

// The window procedure: applies one window event. Returns true for the quit message.
bool WndProc(const PlatformEvent& event);

// Column-major projection matrices, as GL would build them.
void BuildOrthoMatrix(float left, float right, float bottom, float top, float out[16]);
void BuildPerspectiveMatrix(float fovyDegrees, float aspect, float zNear, float zFar, float out[16]);
