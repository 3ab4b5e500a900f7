// Test tool: waits for a top-level X11 window with the given title and asks it to close,
// as a window manager's close button does (WM_DELETE_WINDOW).
//   x11_close_window TITLE [TIMEOUT_SECONDS]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "x11_find_window.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: x11_close_window TITLE [TIMEOUT_SECONDS]\n");
    return 2;
  }
  int timeout = argc > 2 ? std::atoi(argv[2]) : 10;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "x11_close_window: no display\n");
    return 1;
  }
  Window window = WaitForWindow(display, argv[1], timeout);
  if (!window) {
    std::fprintf(stderr, "x11_close_window: no window titled \"%s\"\n", argv[1]);
    XCloseDisplay(display);
    return 1;
  }
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
  XCloseDisplay(display);
  return 0;
}
