// Private to src/platform/: the state the layer keeps and the two backends' entry points.
#pragma once
#include <string>

#include "platform/platform.h"

struct PlatformState {
  PlatformOptions options;
  bool initialised = false;
  bool hasWindow = false;
  bool cursorShown = true;
  int cursorH = 0, cursorV = 0;
  // Held keys, and keys pressed since the last read (so a short tap is still seen once).
  unsigned char keyHeld[256] = {};
  unsigned char keyPressed[256] = {};
};
extern PlatformState gPlatform;

bool SDLBackend_Init();
void SDLBackend_Shutdown();
bool SDLBackend_DesktopSize(int* width, int* height);
bool SDLBackend_CreateWindow(const char* title, int width, int height, int bits, bool fullscreen,
                             bool* gotFullscreen, std::string* error);
void SDLBackend_DestroyWindow();
void SDLBackend_SwapBuffers();
bool SDLBackend_PollEvent(PlatformEvent* event);
void SDLBackend_PumpInput();
void SDLBackend_GetCursor(int* h, int* v);
void SDLBackend_SetCursor(int h, int v);
void SDLBackend_ShowCursor(bool show);
void SDLBackend_WindowOrigin(int* x, int* y);
bool SDLBackend_MessageBox(const char* caption, const char* text, MessageBoxIcon icon, bool yesNo,
                           bool* answer);

// Which GL the user asked for through the environment variable ZYNTREL_GL: "auto" (or
// unset: a GPU when there is one, else software), "gpu", "gpu:N" (the Nth GPU, from 0) or
// "software".
enum GLPath { kGLPathAuto = 0, kGLPathGPU, kGLPathSoftware };
struct GLChoice {
  GLPath path = kGLPathAuto;
  int gpuIndex = 0;
};
bool ReadGLChoice(GLChoice* choice, std::string* error);

// Keeps the GL driver modules mapped once a context exists, so that what they still hold
// at exit is attributed to them (and their leaks stay nameable) rather than to an
// unloaded module.
void PinGLDriverModules();

bool Headless_Init();
bool Headless_CreateWindow(int width, int height, std::string* error);
void Headless_DestroyWindow();
void Headless_SwapBuffers();
const unsigned char* Headless_Pixels(int* width, int* height);
