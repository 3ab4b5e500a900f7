// Headless backend: an OSMesa context rendering into a buffer of the screen's size. No
// window system, no input devices; keys stay up unless input is replayed.
#include <GL/osmesa.h>

#include <vector>

#include "platform/backends.h"
#include "platform/gl_dispatch.h"

namespace {
OSMesaContext gContext = nullptr;
std::vector<unsigned char> gPixels;
int gWidth = 0, gHeight = 0;

void* LoadOSMesaProc(const char* name) { return reinterpret_cast<void*>(OSMesaGetProcAddress(name)); }
}  // namespace

bool Headless_Init() { return true; }

bool Headless_CreateWindow(int width, int height, std::string* error) {
  if (width <= 0) width = 1;
  if (height <= 0) height = 1;
  // RGBA with 16 depth bits, a stencil bit and an accumulation buffer.
  gContext = OSMesaCreateContextExt(OSMESA_RGBA, 16, 1, 16, nullptr);
  if (!gContext) gContext = OSMesaCreateContextExt(OSMESA_RGBA, 16, 1, 0, nullptr);
  if (!gContext) {
    if (error) *error = "OSMesa could not create a context";
    return false;
  }
  gWidth = width;
  gHeight = height;
  gPixels.assign(static_cast<size_t>(width) * height * 4, 0);
  if (!OSMesaMakeCurrent(gContext, gPixels.data(), GL_UNSIGNED_BYTE, width, height)) {
    OSMesaDestroyContext(gContext);
    gContext = nullptr;
    if (error) *error = "OSMesa could not make its context current";
    return false;
  }
  GL_LoadEntryPoints(LoadOSMesaProc);
  return true;
}

void Headless_DestroyWindow() {
  if (gContext) OSMesaDestroyContext(gContext);
  gContext = nullptr;
  gPixels.clear();
}

void Headless_SwapBuffers() { glFinish(); }

const unsigned char* Headless_Pixels(int* width, int* height) {
  glFinish();
  *width = gWidth;
  *height = gHeight;
  return gPixels.data();
}
