// The drawing task. Until the renderer lands it clears the screen and swaps.
#include "render/frame.h"

#include <GL/gl.h>

#include "effects/textboxes.h"
#include "platform/platform.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"
#include "shell/window.h"

void InitRenderQuadrics() {}

int DrawGLScene() {
  if (levelChanged) return 1;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  DrawTextBoxes();  // text overlay on the 2D projection
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(Matrix_3D);
  glMatrixMode(GL_MODELVIEW);

  gNumFrames++;
  Plat_SwapBuffers();
  return 1;
}
