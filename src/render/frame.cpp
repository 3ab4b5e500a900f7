// The drawing task. Until the renderer lands it clears the screen and swaps.
#include "render/frame.h"

#include <GL/gl.h>

#include "platform/platform.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"

void InitRenderQuadrics() {}

int DrawGLScene() {
  if (levelChanged) return 1;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  gNumFrames++;
  Plat_SwapBuffers();
  return 1;
}
