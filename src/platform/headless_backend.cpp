// Headless backend: an EGL context of the compatibility profile (so fixed-function GL 1.x
// works) on a pbuffer of the screen's size. A GPU is reached through EGL's device
// platform; without one, Mesa's surfaceless platform renders in software (llvmpipe).
// No window system, no input devices; keys stay up unless input is replayed.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/backends.h"

namespace {
EGLDisplay gDisplay = EGL_NO_DISPLAY;
EGLSurface gSurface = EGL_NO_SURFACE;
EGLContext gContext = EGL_NO_CONTEXT;
std::vector<unsigned char> gPixels;
int gWidth = 0, gHeight = 0;
// The buffer frames are drawn into and stay in: the only buffer of a single-buffered
// pbuffer (front), or the back buffer of one that has only a back buffer.
GLint gFrameBuffer = GL_FRONT;

PFNEGLGETPLATFORMDISPLAYEXTPROC pGetPlatformDisplay = nullptr;
PFNEGLQUERYDEVICESEXTPROC pQueryDevices = nullptr;
PFNEGLQUERYDEVICESTRINGEXTPROC pQueryDeviceString = nullptr;

// True when the space-separated extension list names `name` exactly.
bool HasExtension(const char* list, const char* name) {
  if (!list) return false;
  size_t length = std::strlen(name);
  for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += length) {
    bool startsWord = p == list || p[-1] == ' ';
    bool endsWord = p[length] == '\0' || p[length] == ' ';
    if (startsWord && endsWord) return true;
  }
  return false;
}

void LoadClientEntryPoints() {
  pGetPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  pQueryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
  pQueryDeviceString =
      reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(eglGetProcAddress("eglQueryDeviceStringEXT"));
}

// The EGL devices that are GPUs (every device except Mesa's software one), in EGL's order.
std::vector<EGLDeviceEXT> GPUDevices() {
  std::vector<EGLDeviceEXT> gpus;
  const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (!pQueryDevices || !pQueryDeviceString || !HasExtension(client, "EGL_EXT_platform_device")) return gpus;
  EGLint count = 0;
  if (!pQueryDevices(0, nullptr, &count) || count <= 0) return gpus;
  if (count > 64) count = 64;
  std::vector<EGLDeviceEXT> devices(static_cast<size_t>(count));
  if (!pQueryDevices(count, devices.data(), &count)) return gpus;
  for (EGLint i = 0; i < count; i++) {
    const char* extensions = pQueryDeviceString(devices[i], EGL_EXTENSIONS);
    if (!HasExtension(extensions, "EGL_MESA_device_software")) gpus.push_back(devices[i]);
  }
  return gpus;
}

// Drops whatever a failed attempt left behind, so the next attempt starts clean.
void ReleaseEGL() {
  if (gDisplay != EGL_NO_DISPLAY) {
    eglMakeCurrent(gDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (gContext != EGL_NO_CONTEXT) eglDestroyContext(gDisplay, gContext);
    if (gSurface != EGL_NO_SURFACE) eglDestroySurface(gDisplay, gSurface);
    eglTerminate(gDisplay);
  }
  gDisplay = EGL_NO_DISPLAY;
  gSurface = EGL_NO_SURFACE;
  gContext = EGL_NO_CONTEXT;
}

// Initialises `display` and makes a compatibility-profile context current on a pbuffer of
// width x height: RGBA, at least 16 depth bits and a stencil bit. On failure says which
// step failed in *why.
bool MakeContextOn(EGLDisplay display, int width, int height, std::string* why) {
  if (display == EGL_NO_DISPLAY) {
    *why = "no display";
    return false;
  }
  gDisplay = display;
  if (!eglInitialize(display, nullptr, nullptr)) {
    *why = "eglInitialize failed";
    return false;
  }
  if (!eglBindAPI(EGL_OPENGL_API)) {
    *why = "no desktop OpenGL";
    return false;
  }
  const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                     EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                     EGL_DEPTH_SIZE, 16, EGL_STENCIL_SIZE, 1, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint found = 0;
  if (!eglChooseConfig(display, configAttributes, &config, 1, &found) || found < 1) {
    *why = "no RGBA pbuffer configuration with depth and stencil";
    return false;
  }
  const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  gSurface = eglCreatePbufferSurface(display, config, surfaceAttributes);
  if (gSurface == EGL_NO_SURFACE) {
    *why = "no pbuffer of " + std::to_string(width) + "x" + std::to_string(height);
    return false;
  }
  // The compatibility profile keeps the fixed-function pipeline; an EGL before 1.5 without
  // the profile attribute gets the same from a plain request.
  const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                  EGL_NONE};
  gContext = eglCreateContext(display, config, EGL_NO_CONTEXT, compatibility);
  if (gContext == EGL_NO_CONTEXT) gContext = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
  if (gContext == EGL_NO_CONTEXT) {
    *why = "no compatibility-profile context";
    return false;
  }
  if (!eglMakeCurrent(display, gSurface, gSurface, gContext)) {
    *why = "the context could not be made current";
    return false;
  }
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (!version) {
    *why = "the context gives no GL version";
    return false;
  }
  return true;
}

bool TryGPU(const std::vector<EGLDeviceEXT>& gpus, size_t index, int width, int height, std::string* tried) {
  std::string why = "no such GPU";
  if (index < gpus.size() && pGetPlatformDisplay) {
    EGLDisplay display = pGetPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, gpus[index], nullptr);
    if (MakeContextOn(display, width, height, &why)) return true;
    ReleaseEGL();
  }
  if (index >= gpus.size()) why = gpus.empty() ? "no GPU found" : std::to_string(gpus.size()) + " GPU(s) found";
  *tried += "EGL device platform, GPU " + std::to_string(index) + " (" + why + "); ";
  return false;
}

bool TrySurfaceless(int width, int height, std::string* tried) {
  std::string why = "no EGL driver offers it";
  const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (pGetPlatformDisplay && HasExtension(client, "EGL_MESA_platform_surfaceless")) {
    EGLDisplay display = pGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (MakeContextOn(display, width, height, &why)) return true;
    ReleaseEGL();
  }
  *tried += "Mesa surfaceless platform, software (" + why + "); ";
  return false;
}

}  // namespace

bool Headless_Init() { return true; }

bool Headless_CreateWindow(int width, int height, std::string* error) {
  if (width <= 0) width = 1;
  if (height <= 0) height = 1;
  GLChoice choice;
  std::string choiceError;
  if (!ReadGLChoice(&choice, &choiceError)) {
    if (error) *error = choiceError;
    return false;
  }
  LoadClientEntryPoints();
  std::string tried;
  bool ok = false;
  if (choice.path == kGLPathGPU) {
    ok = TryGPU(GPUDevices(), static_cast<size_t>(choice.gpuIndex), width, height, &tried);
  } else if (choice.path == kGLPathSoftware) {
    // Mesa's surfaceless platform would take a GPU's render node when it finds one.
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    ok = TrySurfaceless(width, height, &tried);
  } else {
    std::vector<EGLDeviceEXT> gpus = GPUDevices();
    if (gpus.empty())
      tried += "EGL device platform (no GPU found); ";
    else
      ok = TryGPU(gpus, 0, width, height, &tried);
    if (!ok) ok = TrySurfaceless(width, height, &tried);
  }
  if (!ok) {
    if (tried.size() >= 2) tried.resize(tried.size() - 2);
    if (error) *error = "No headless GL context; tried: " + tried + ".";
    return false;
  }
  PinGLDriverModules();
  glGetIntegerv(GL_DRAW_BUFFER, &gFrameBuffer);
  gWidth = width;
  gHeight = height;
  return true;
}

void Headless_DestroyWindow() {
  ReleaseEGL();
  eglReleaseThread();
  gPixels.clear();
}

// A pbuffer shows nothing; the frame stays in its buffer for read-back.
void Headless_SwapBuffers() { glFlush(); }

const unsigned char* Headless_Pixels(int* width, int* height) {
  gPixels.assign(static_cast<size_t>(gWidth) * gHeight * 4, 0);
  GLint savedReadBuffer = GL_FRONT;
  glGetIntegerv(GL_READ_BUFFER, &savedReadBuffer);
  glReadBuffer(static_cast<GLenum>(gFrameBuffer));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, gWidth, gHeight, GL_RGBA, GL_UNSIGNED_BYTE, gPixels.data());
  glReadBuffer(static_cast<GLenum>(savedReadBuffer));
  *width = gWidth;
  *height = gHeight;
  return gPixels.data();
}
