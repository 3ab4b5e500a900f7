// Test tool: waits for a top-level X11 window with the given title and asks it to close,
// as a window manager's close button does (WM_DELETE_WINDOW).
//   x11_close_window TITLE [TIMEOUT_SECONDS]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
Window FindWindow(Display* display, Window root, const char* title) {
  Window parent, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, root, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < count && !found; i++) {
    char* name = nullptr;
    if (XFetchName(display, children[i], &name) && name) {
      if (std::strcmp(name, title) == 0) found = children[i];
      XFree(name);
    }
    if (!found) found = FindWindow(display, children[i], title);
  }
  if (children) XFree(children);
  return found;
}
}  // namespace

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
  Window window = 0;
  for (int waited = 0; waited < timeout * 10 && !window; waited++) {
    window = FindWindow(display, DefaultRootWindow(display), argv[1]);
    if (!window) usleep(100000);
  }
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
