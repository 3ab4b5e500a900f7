// The platform layer's shared state and the dispatch to the active backend, plus the
// parts both backends share: the monotonic clock and the replayable key table.
#include "platform/platform.h"
#include "platform/backends.h"

#include <dlfcn.h>
#include <link.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

PlatformState gPlatform;

bool Plat_Init(const PlatformOptions& options) {
  gPlatform = PlatformState();
  gPlatform.options = options;
  gPlatform.initialised = options.backend == kPlatformHeadless ? Headless_Init() : SDLBackend_Init();
  return gPlatform.initialised;
}

void Plat_Shutdown() {
  Plat_DestroyWindow();
  if (gPlatform.options.backend == kPlatformSDL) SDLBackend_Shutdown();
  gPlatform.initialised = false;
}

const char* Plat_EnvironmentHelp() {
  return "Environment:\n"
         "  ZYNTREL_GL=auto|gpu|gpu:N|software\n"
         "                        the GL that renders --headless: auto (the default) takes the\n"
         "                        first GPU through EGL's device platform, else software\n"
         "                        through Mesa's surfaceless platform (llvmpipe); gpu insists\n"
         "                        on a GPU (gpu:N on the Nth, from 0); software never uses one.\n"
         "                        A window's GL comes from the system's driver; software asks\n"
         "                        Mesa to render it on the processor too\n";
}

bool ReadGLChoice(GLChoice* choice, std::string* error) {
  *choice = GLChoice();
  const char* text = std::getenv("ZYNTREL_GL");
  if (!text || !*text || !std::strcmp(text, "auto")) return true;
  if (!std::strcmp(text, "software")) {
    choice->path = kGLPathSoftware;
    return true;
  }
  if (!std::strcmp(text, "gpu")) {
    choice->path = kGLPathGPU;
    return true;
  }
  if (!std::strncmp(text, "gpu:", 4) && text[4] >= '0' && text[4] <= '9') {
    errno = 0;
    char* end = nullptr;
    long index = std::strtol(text + 4, &end, 10);
    if (errno == 0 && *end == '\0' && index <= 1000) {
      choice->path = kGLPathGPU;
      choice->gpuIndex = static_cast<int>(index);
      return true;
    }
  }
  *error = std::string("ZYNTREL_GL=") + text + " is none of auto, gpu, gpu:N, software.";
  return false;
}

namespace {
int PinDriverModule(struct dl_phdr_info* info, size_t, void*) {
  const char* path = info->dlpi_name;
  if (path && (std::strstr(path, "/dri/") || std::strstr(path, "libGLX_") || std::strstr(path, "libEGL_") ||
               std::strstr(path, "libgallium") || std::strstr(path, "libGL.so")))
    dlopen(path, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  return 0;
}
}  // namespace

void PinGLDriverModules() { dl_iterate_phdr(PinDriverModule, nullptr); }

PlatformBackend Plat_Backend() { return gPlatform.options.backend; }

void Plat_ScreenSize(int* width, int* height) {
  if (gPlatform.options.windowWidth > 0 && gPlatform.options.windowHeight > 0) {
    *width = gPlatform.options.windowWidth;
    *height = gPlatform.options.windowHeight;
    return;
  }
  if (gPlatform.options.backend == kPlatformSDL && SDLBackend_DesktopSize(width, height)) return;
  *width = 640;
  *height = 480;
}

bool Plat_CreateWindow(const char* title, int width, int height, int bits, bool fullscreen,
                       bool* gotFullscreen, std::string* error) {
  *gotFullscreen = false;
  if (!gPlatform.initialised) {
    if (error) *error = "the window system is not available";
    return false;
  }
  bool ok = gPlatform.options.backend == kPlatformHeadless
                ? Headless_CreateWindow(width, height, error)
                : SDLBackend_CreateWindow(title, width, height, bits, fullscreen, gotFullscreen, error);
  gPlatform.hasWindow = ok;
  if (ok) {
    gPlatform.cursorH = width / 2;
    gPlatform.cursorV = height / 2;
  }
  return ok;
}

void Plat_DestroyWindow() {
  if (!gPlatform.hasWindow) return;
  if (gPlatform.options.backend == kPlatformHeadless)
    Headless_DestroyWindow();
  else
    SDLBackend_DestroyWindow();
  gPlatform.hasWindow = false;
}

bool Plat_HasWindow() { return gPlatform.hasWindow; }

void Plat_SwapBuffers() {
  if (!gPlatform.hasWindow) return;
  if (gPlatform.options.backend == kPlatformHeadless)
    Headless_SwapBuffers();
  else
    SDLBackend_SwapBuffers();
}

bool Plat_PollEvent(PlatformEvent* event) {
  *event = PlatformEvent();
  if (gPlatform.options.backend == kPlatformHeadless) return false;
  return SDLBackend_PollEvent(event);
}

void Plat_ReadKeys(int keys[256]) {
  if (gPlatform.options.backend == kPlatformSDL) SDLBackend_PumpInput();
  for (int i = 0; i < 256; i++) {
    keys[i] = (gPlatform.keyHeld[i] || gPlatform.keyPressed[i]) ? 1 : 0;
    gPlatform.keyPressed[i] = 0;
  }
}

void Plat_GetCursor(int* h, int* v) {
  if (gPlatform.options.backend == kPlatformSDL) SDLBackend_GetCursor(&gPlatform.cursorH, &gPlatform.cursorV);
  *h = gPlatform.cursorH;
  *v = gPlatform.cursorV;
}

void Plat_SetCursor(int h, int v) {
  gPlatform.cursorH = h;
  gPlatform.cursorV = v;
  if (gPlatform.options.backend == kPlatformSDL) SDLBackend_SetCursor(h, v);
}

void Plat_ShowCursor(bool show) {
  gPlatform.cursorShown = show;
  if (gPlatform.options.backend == kPlatformSDL) SDLBackend_ShowCursor(show);
}

void Plat_WindowOrigin(int* x, int* y) {
  *x = 0;
  *y = 0;
  if (gPlatform.options.backend == kPlatformSDL) SDLBackend_WindowOrigin(x, y);
}

bool Plat_MessageBox(const char* caption, const char* text, MessageBoxIcon icon, bool yesNo) {
  if (gPlatform.options.backend == kPlatformSDL) {
    bool answer = true;
    if (SDLBackend_MessageBox(caption, text, icon, yesNo, &answer)) return answer;
  }
  // Headless, or no display to show it on: one line on standard error, each line break of
  // the text (CR, LF or CR LF) a space; questions answer Yes.
  std::string line;
  for (const char* p = text ? text : ""; *p; p++) {
    if (*p == '\r' && p[1] == '\n') p++;
    line += (*p == '\r' || *p == '\n') ? ' ' : *p;
  }
  std::fprintf(stderr, "%s: %s\n", caption, line.c_str());
  std::fflush(stderr);
  return true;
}

int64_t Plat_CounterTicks() {
  using namespace std::chrono;
  return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t Plat_CounterFrequency() { return 1000000000LL; }

const unsigned char* Plat_HeadlessPixels(int* width, int* height) {
  if (gPlatform.options.backend != kPlatformHeadless || !gPlatform.hasWindow) return nullptr;
  return Headless_Pixels(width, height);
}

void Plat_SetKeyDown(int vk, bool down) {
  if (vk < 0 || vk > 255) return;
  gPlatform.keyHeld[vk] = down ? 1 : 0;
  if (down) gPlatform.keyPressed[vk] = 1;
}

void Plat_SetCursorPosition(int h, int v) {
  gPlatform.cursorH = h;
  gPlatform.cursorV = v;
}
