// Window and GL context over the platform layer, the fixed GL state the engine relies on,
// and the viewport with its two saved projections.
#include "shell/window.h"

#include <GL/gl.h>

#include <cmath>
#include <string>

#include "shell/output.h"
#include "shell/startup.h"

bool fullscreen = false;
bool active = true;
float gFOV = 90.0f;
float Matrix_2D[16];
float Matrix_3D[16];
float LightAmbient[4] = {0.4f, 0.4f, 0.4f, 1.0f};
float LightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float LightSpecular[4] = {1.0f, 1.0f, 1.0f, 1.0f};

bool CreateGLWindow(const char* title, int width, int height, int bits, bool fullscreenflag) {
  fullscreen = fullscreenflag;
  bool gotFullscreen = false;
  std::string error;
  bool ok = Plat_CreateWindow(title, width, height, bits, fullscreen, &gotFullscreen, &error);
  if (ok && fullscreen && !gotFullscreen) {
    // The display refused the mode: offer a window of the same size instead.
    Plat_DestroyWindow();
    if (!Plat_MessageBox("Pelu GL",
                         "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?",
                         kIconExclamation, true)) {
      Plat_MessageBox("ERROR", "Program Will Now Close.", kIconStop, false);
      return false;
    }
    fullscreen = false;
    ok = Plat_CreateWindow(title, width, height, bits, false, &gotFullscreen, &error);
  }
  if (!ok) {
    KillGLWindow();
    std::string text = "Can't Create A GL Rendering Context.";
    if (!error.empty()) text += "\n" + error;
    Plat_MessageBox("ERROR", text.c_str(), kIconExclamation, false);
    return false;
  }
  active = true;
  if (!InitGL()) {
    KillGLWindow();
    Plat_MessageBox("ERROR", "Initialization Failed.", kIconExclamation, false);
    return false;
  }
  return true;
}

void KillGLWindow() {
  if (fullscreen) Plat_ShowCursor(true);
  Plat_DestroyWindow();
}

bool InitGL() {
  glEnable(GL_TEXTURE_2D);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glEnable(GL_DEPTH_TEST);
  glShadeModel(GL_SMOOTH);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glBlendFunc(GL_ONE, GL_ONE);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glLightfv(GL_LIGHT0, GL_AMBIENT, LightAmbient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, LightDiffuse);
  glLightfv(GL_LIGHT0, GL_SPECULAR, LightSpecular);
  glCullFace(GL_BACK);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
  return true;
}

void BuildOrthoMatrix(float left, float right, float bottom, float top, float out[16]) {
  // gluOrtho2D: near -1, far 1.
  for (int i = 0; i < 16; i++) out[i] = 0.0f;
  out[0] = 2.0f / (right - left);
  out[5] = 2.0f / (top - bottom);
  out[10] = -1.0f;
  out[12] = -(right + left) / (right - left);
  out[13] = -(top + bottom) / (top - bottom);
  out[15] = 1.0f;
}

void BuildPerspectiveMatrix(float fovyDegrees, float aspect, float zNear, float zFar, float out[16]) {
  // gluPerspective.
  for (int i = 0; i < 16; i++) out[i] = 0.0f;
  double radians = fovyDegrees / 2.0 * 3.14159265358979323846 / 180.0;
  double sine = std::sin(radians);
  double deltaZ = zFar - zNear;
  if (deltaZ == 0.0 || sine == 0.0 || aspect == 0.0f) {
    for (int i = 0; i < 16; i += 5) out[i] = 1.0f;
    return;
  }
  double cotangent = std::cos(radians) / sine;
  out[0] = static_cast<float>(cotangent / aspect);
  out[5] = static_cast<float>(cotangent);
  out[10] = static_cast<float>(-(zFar + zNear) / deltaZ);
  out[11] = -1.0f;
  out[14] = static_cast<float>(-2.0 * zNear * zFar / deltaZ);
}

void ReSizeGLScene(tagRECT rect, int useRect) {
  int w = rect.right - rect.left;
  int h = rect.bottom - rect.top;
  if (h == 0) h = 1;
  if (w == 0) w = 1;
  glViewport(0, 0, w, h);

  glMatrixMode(GL_PROJECTION);
  BuildOrthoMatrix(0.0f, static_cast<float>(w), static_cast<float>(h), 0.0f, Matrix_2D);
  BuildPerspectiveMatrix(gFOV, static_cast<float>(w) / static_cast<float>(h), 0.005f, 1000.0f, Matrix_3D);
  glLoadMatrixf(Matrix_3D);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

bool WndProc(const PlatformEvent& event) {
  switch (event.type) {
    case kEventQuit:
      return true;
    case kEventActivate:
      active = event.active != 0;
      return false;
    case kEventResize: {
      tagRECT r = {0, 0, event.width, event.height};
      ReSizeGLScene(r, 0);
      startLoc.h = (screenRect.left + screenRect.right) / 2;
      startLoc.v = (screenRect.top + screenRect.bottom) / 2;
      return false;
    }
    default:
      return false;
  }
}
