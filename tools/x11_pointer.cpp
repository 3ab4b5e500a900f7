// Test tool: moves the X11 pointer to a place in a window, or says where it is, in the
// window's own coordinates (from its top-left client corner). The move goes through the
// XTEST extension, so programs see it as a real mouse's motion.
//   x11_pointer TITLE warp X Y
//   x11_pointer TITLE query          prints "X Y"
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "x11_find_window.h"

int main(int argc, char** argv) {
  bool warp = argc == 5 && std::strcmp(argv[2], "warp") == 0;
  bool query = argc == 3 && std::strcmp(argv[2], "query") == 0;
  if (!warp && !query) {
    std::fprintf(stderr, "usage: x11_pointer TITLE warp X Y | x11_pointer TITLE query\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "x11_pointer: no display\n");
    return 1;
  }
  Window window = WaitForWindow(display, argv[1], 10);
  if (!window) {
    std::fprintf(stderr, "x11_pointer: no window titled \"%s\"\n", argv[1]);
    XCloseDisplay(display);
    return 1;
  }
  if (warp) {
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), std::atoi(argv[3]), std::atoi(argv[4]),
                          &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    XSync(display, False);
  } else {
    Window root, child;
    int rootX, rootY, x, y;
    unsigned int mask;
    XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &mask);
    std::printf("%d %d\n", x, y);
  }
  XCloseDisplay(display);
  return 0;
}
