// The engine's window-system layer: one small interface over two backends, an SDL2
// window with a GL compatibility context, and an off-screen EGL context for headless
// runs. Both reach GL through the system's dispatching GL library. Nothing outside
// src/platform/ includes SDL or EGL.
#pragma once
#include <cstdint>
#include <string>

enum PlatformBackend { kPlatformSDL = 0, kPlatformHeadless = 1 };

// What the command line chose; read by the backends when the window is opened.
struct PlatformOptions {
  PlatformBackend backend = kPlatformSDL;
  int windowWidth = 0;   // 0: full screen at the desktop size
  int windowHeight = 0;
};

enum PlatformEventType { kEventNone = 0, kEventQuit, kEventResize, kEventActivate };

struct PlatformEvent {
  PlatformEventType type = kEventNone;
  int width = 0, height = 0;  // kEventResize: the new client size
  int active = 0;             // kEventActivate: 1 shown and focused, 0 minimized
};

enum MessageBoxIcon { kIconInformation = 0, kIconExclamation, kIconStop };

// The usage text's section on the environment variable that picks the GPU or software GL.
const char* Plat_EnvironmentHelp();

// Starts the backend. Returns false when the window system cannot be reached.
bool Plat_Init(const PlatformOptions& options);
void Plat_Shutdown();
PlatformBackend Plat_Backend();

// The size the screen rectangle takes: the desktop, or the --window size.
void Plat_ScreenSize(int* width, int* height);

// Opens the one window (or off-screen buffer) with its GL context current. `fullscreen` asks for full-screen mode; *gotFullscreen says
// whether it was granted. On failure `error` holds the reason.
bool Plat_CreateWindow(const char* title, int width, int height, int bits, bool fullscreen,
                       bool* gotFullscreen, std::string* error);
void Plat_DestroyWindow();
bool Plat_HasWindow();
void Plat_SwapBuffers();

// Takes at most one pending window event; false when there is none.
bool Plat_PollEvent(PlatformEvent* event);

// Fills 256 entries in Windows virtual-key numbering: non-zero while the key is held or
// when it was pressed since the previous call.
void Plat_ReadKeys(int keys[256]);

// Cursor in screen pixels, and the window's client origin on the screen.
void Plat_GetCursor(int* h, int* v);
void Plat_SetCursor(int h, int v);
void Plat_ShowCursor(bool show);
void Plat_WindowOrigin(int* x, int* y);

// A modal message box. With `yesNo` it asks and returns true for Yes.
bool Plat_MessageBox(const char* caption, const char* text, MessageBoxIcon icon, bool yesNo);

// Monotonic clock: ticks and ticks per second.
int64_t Plat_CounterTicks();
int64_t Plat_CounterFrequency();

// The headless colour buffer (RGBA, bottom row first), for tests; null otherwise.
const unsigned char* Plat_HeadlessPixels(int* width, int* height);

// Input replay for headless runs: the shell hands in the state a pass should see.
void Plat_SetKeyDown(int vk, bool down);
void Plat_SetCursorPosition(int h, int v);
