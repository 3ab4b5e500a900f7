// SDL2 backend: one window with a GL compatibility context, keyboard and mouse state in
// Windows virtual-key numbering, cursor control and message boxes.
#include <SDL2/SDL.h>

#include <cstdlib>

#include "platform/backends.h"

namespace {
SDL_Window* gWindow = nullptr;
SDL_GLContext gGLContext = nullptr;
bool gVideoUp = false;


// SDL key to Windows virtual-key code; 0 for keys scripts cannot name.
int VirtualKeyOf(const SDL_Keysym& key) {
  SDL_Keycode k = key.sym;
  if (k >= SDLK_a && k <= SDLK_z) return 0x41 + (k - SDLK_a);
  if (k >= SDLK_0 && k <= SDLK_9) return 0x30 + (k - SDLK_0);
  if (k >= SDLK_F1 && k <= SDLK_F12) return 0x70 + (k - SDLK_F1);
  switch (k) {
    case SDLK_LEFT: return 0x25;
    case SDLK_UP: return 0x26;
    case SDLK_RIGHT: return 0x27;
    case SDLK_DOWN: return 0x28;
    case SDLK_RETURN: return 0x0D;
    case SDLK_ESCAPE: return 0x1B;
    case SDLK_SPACE: return 0x20;
    case SDLK_TAB: return 0x09;
    case SDLK_BACKSPACE: return 0x08;
    case SDLK_CAPSLOCK: return 0x14;
    case SDLK_PAGEUP: return 0x21;
    case SDLK_PAGEDOWN: return 0x22;
    case SDLK_END: return 0x23;
    case SDLK_HOME: return 0x24;
    case SDLK_INSERT: return 0x2D;
    case SDLK_DELETE: return 0x2E;
    case SDLK_KP_0: return 0x60;
    case SDLK_KP_1: return 0x61;
    case SDLK_KP_2: return 0x62;
    case SDLK_KP_3: return 0x63;
    case SDLK_KP_4: return 0x64;
    case SDLK_KP_5: return 0x65;
    case SDLK_KP_6: return 0x66;
    case SDLK_KP_7: return 0x67;
    case SDLK_KP_8: return 0x68;
    case SDLK_KP_9: return 0x69;
    case SDLK_KP_MULTIPLY: return 0x6A;
    case SDLK_KP_PLUS: return 0x6B;
    case SDLK_KP_ENTER: return 0x0D;
    case SDLK_KP_MINUS: return 0x6D;
    case SDLK_KP_PERIOD: return 0x6E;
    case SDLK_KP_DIVIDE: return 0x6F;
    case SDLK_SEMICOLON: return 0xBA;
    case SDLK_EQUALS: return 0xBB;
    case SDLK_COMMA: return 0xBC;
    case SDLK_MINUS: return 0xBD;
    case SDLK_PERIOD: return 0xBE;
    case SDLK_SLASH: return 0xBF;
    case SDLK_BACKQUOTE: return 0xC0;
    case SDLK_LEFTBRACKET: return 0xDB;
    case SDLK_BACKSLASH: return 0xDC;
    case SDLK_RIGHTBRACKET: return 0xDD;
    case SDLK_QUOTE: return 0xDE;
    default: return 0;
  }
}

// The generic modifier code and its left/right variant.
void ModifierCodes(SDL_Keycode k, int* generic, int* side) {
  *generic = 0;
  *side = 0;
  switch (k) {
    case SDLK_LSHIFT: *generic = 0x10; *side = 0xA0; break;
    case SDLK_RSHIFT: *generic = 0x10; *side = 0xA1; break;
    case SDLK_LCTRL: *generic = 0x11; *side = 0xA2; break;
    case SDLK_RCTRL: *generic = 0x11; *side = 0xA3; break;
    case SDLK_LALT: *generic = 0x12; *side = 0xA4; break;
    case SDLK_RALT: *generic = 0x12; *side = 0xA5; break;
    default: break;
  }
}

void SetKey(int vk, bool down) {
  if (vk <= 0 || vk > 255) return;
  gPlatform.keyHeld[vk] = down ? 1 : 0;
  if (down) gPlatform.keyPressed[vk] = 1;
}

void HandleKey(const SDL_KeyboardEvent& e) {
  bool down = e.type == SDL_KEYDOWN;
  int generic, side;
  ModifierCodes(e.keysym.sym, &generic, &side);
  if (generic) {
    SetKey(side, down);
    // The generic code stays down while either side is held.
    int other = side ^ 1;
    SetKey(generic, down || gPlatform.keyHeld[other]);
    if (!down) gPlatform.keyHeld[generic] = gPlatform.keyHeld[other];
    return;
  }
  SetKey(VirtualKeyOf(e.keysym), down);
}

int ButtonCode(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT: return 0x01;
    case SDL_BUTTON_RIGHT: return 0x02;
    case SDL_BUTTON_MIDDLE: return 0x04;
    default: return 0;
  }
}
}  // namespace

bool SDLBackend_Init() {
  // The window's GL comes from the system's GLX driver; Mesa renders it in software when asked.
  GLChoice choice;
  std::string ignored;
  if (ReadGLChoice(&choice, &ignored) && choice.path == kGLPathSoftware) setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
  gVideoUp = true;
  return true;
}

void SDLBackend_Shutdown() {
  if (gVideoUp) SDL_Quit();
  gVideoUp = false;
}

bool SDLBackend_DesktopSize(int* width, int* height) {
  if (!gVideoUp) return false;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
  *width = mode.w;
  *height = mode.h;
  return true;
}

bool SDLBackend_CreateWindow(const char* title, int width, int height, int bits, bool fullscreen,
                             bool* gotFullscreen, std::string* error) {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 1);
  if (bits >= 24) {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  }
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
  flags |= fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_RESIZABLE;

  // An accumulation buffer when the driver has one; otherwise go on without it.
  for (int attempt = 0; attempt < 2 && !gWindow; attempt++) {
    int accum = attempt == 0 ? 16 : 0;
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, accum);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, accum);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, accum);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, accum);
    gWindow = SDL_CreateWindow(title, fullscreen ? 0 : SDL_WINDOWPOS_CENTERED,
                               fullscreen ? 0 : SDL_WINDOWPOS_CENTERED, width, height, flags);
    if (!gWindow) continue;
    gGLContext = SDL_GL_CreateContext(gWindow);
    if (!gGLContext) {
      SDL_DestroyWindow(gWindow);
      gWindow = nullptr;
    }
  }
  if (!gWindow) {
    if (error) *error = SDL_GetError();
    return false;
  }
  if (SDL_GL_MakeCurrent(gWindow, gGLContext) != 0) {
    if (error) *error = SDL_GetError();
    SDLBackend_DestroyWindow();
    return false;
  }
  PinGLDriverModules();
  *gotFullscreen = fullscreen && (SDL_GetWindowFlags(gWindow) & SDL_WINDOW_FULLSCREEN_DESKTOP);
  SDL_RaiseWindow(gWindow);
  return true;
}

void SDLBackend_DestroyWindow() {
  if (gGLContext) SDL_GL_DeleteContext(gGLContext);
  gGLContext = nullptr;
  if (gWindow) SDL_DestroyWindow(gWindow);
  gWindow = nullptr;
}

void SDLBackend_SwapBuffers() {
  if (gWindow) SDL_GL_SwapWindow(gWindow);
}

void SDLBackend_PumpInput() {
  SDL_PumpEvents();
  SDL_Event e;
  while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_KEYDOWN, SDL_MOUSEWHEEL) > 0) {
    switch (e.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        if (!e.key.repeat) HandleKey(e.key);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        SetKey(ButtonCode(e.button.button), e.type == SDL_MOUSEBUTTONDOWN);
        break;
      default:
        break;
    }
  }
}

bool SDLBackend_PollEvent(PlatformEvent* event) {
  SDLBackend_PumpInput();
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_QUIT:
        event->type = kEventQuit;
        return true;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_CLOSE:
            event->type = kEventQuit;
            return true;
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            event->type = kEventResize;
            event->width = e.window.data1;
            event->height = e.window.data2;
            return true;
          case SDL_WINDOWEVENT_MINIMIZED:
            event->type = kEventActivate;
            event->active = 0;
            return true;
          case SDL_WINDOWEVENT_RESTORED:
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            event->type = kEventActivate;
            event->active = 1;
            return true;
          default:
            break;
        }
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        if (!e.key.repeat) HandleKey(e.key);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        SetKey(ButtonCode(e.button.button), e.type == SDL_MOUSEBUTTONDOWN);
        break;
      default:
        break;
    }
  }
  return false;
}

void SDLBackend_GetCursor(int* h, int* v) {
  if (!gVideoUp) return;
  SDL_GetGlobalMouseState(h, v);
}

void SDLBackend_SetCursor(int h, int v) {
  if (gVideoUp) SDL_WarpMouseGlobal(h, v);
}

void SDLBackend_ShowCursor(bool show) {
  if (gVideoUp) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void SDLBackend_WindowOrigin(int* x, int* y) {
  if (gWindow) SDL_GetWindowPosition(gWindow, x, y);
}

bool SDLBackend_MessageBox(const char* caption, const char* text, MessageBoxIcon icon, bool yesNo,
                           bool* answer) {
  Uint32 flags = icon == kIconStop ? SDL_MESSAGEBOX_ERROR
                 : icon == kIconExclamation ? SDL_MESSAGEBOX_WARNING
                                            : SDL_MESSAGEBOX_INFORMATION;
  if (!yesNo) {
    *answer = true;
    return SDL_ShowSimpleMessageBox(flags, caption, text, nullptr) == 0;
  }
  const SDL_MessageBoxButtonData buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
  };
  SDL_MessageBoxData data = {flags, nullptr, caption, text, 2, buttons, nullptr};
  int pressed = 1;
  if (SDL_ShowMessageBox(&data, &pressed) != 0) return false;
  *answer = pressed == 1;
  return true;
}
