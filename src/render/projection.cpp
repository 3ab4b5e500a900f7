// The camera's matrices: the player camera in the model-view matrix, the 3D and overlay
// projections, and the perspective and orthographic views set by the camera commands.
#include "render/projection.h"

#include <GL/gl.h>

#include <cmath>

#include "objects/player.h"
#include "shell/startup.h"
#include "shell/window.h"

float gIsoSizes[4] = {-10.0f, 10.0f, -10.0f, 10.0f};
int gIsometricView = 0;

void SetStandardMatrix() {
  glLoadIdentity();
  glRotatef(zangle, 0.0f, 0.0f, 1.0f);
  glRotatef(updownangle, 1.0f, 0.0f, 0.0f);
  glRotatef(viewangle, 0.0f, 1.0f, 0.0f);
  glTranslatef(-playerPos.x, -(playerPos.y + 1.0f), -playerPos.z);
}

void Set3DProjectionMatrix() {
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(Matrix_3D);
  glMatrixMode(GL_MODELVIEW);
}

void Set2DProjectionMatrix() {
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(Matrix_2D);
  glMatrixMode(GL_MODELVIEW);
}

void SetBlendingToMasking() { glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); }

int SetPerspectiveView(float fov) {
  if (!(fov > 0.0f && fov < 180.0f)) return 0;
  int w = screenRect.right - screenRect.left;
  int h = screenRect.bottom - screenRect.top;
  if (w <= 0) w = 1;
  if (h <= 0) h = 1;
  BuildPerspectiveMatrix(fov, static_cast<float>(w) / static_cast<float>(h), 0.005f, 1000.0f, Matrix_3D);
  Set3DProjectionMatrix();
  gIsometricView = 0;
  return 1;
}

int SetOrthographicView() {
  const float* s = gIsoSizes;
  if (!(s[1] - s[0] != 0.0f) || !(s[3] - s[2] != 0.0f)) return 0;
  for (float v : gIsoSizes)
    if (!std::isfinite(v)) return 0;
  // The box of glOrtho(left, right, bottom, top, -1000, 1000), column-major.
  const float nearPlane = -1000.0f, farPlane = 1000.0f;
  float* m = Matrix_3D;
  for (int i = 0; i < 16; i++) m[i] = 0.0f;
  m[0] = 2.0f / (s[1] - s[0]);
  m[5] = 2.0f / (s[3] - s[2]);
  m[10] = -2.0f / (farPlane - nearPlane);
  m[12] = -(s[1] + s[0]) / (s[1] - s[0]);
  m[13] = -(s[3] + s[2]) / (s[3] - s[2]);
  m[14] = -(farPlane + nearPlane) / (farPlane - nearPlane);
  m[15] = 1.0f;
  Set3DProjectionMatrix();
  gIsometricView = 1;
  return 1;
}
