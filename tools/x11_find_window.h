// Test tools' shared lookup: the top-level X11 window with a given title, waited for.
#pragma once
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstring>

// The first window under `root` whose name is `title`, searched depth first; 0 if none.
inline Window FindWindowByTitle(Display* display, Window root, const char* title) {
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
    if (!found) found = FindWindowByTitle(display, children[i], title);
  }
  if (children) XFree(children);
  return found;
}

// Polls for the window every 0.1 s for up to `timeoutSeconds`; 0 when it never appears.
inline Window WaitForWindow(Display* display, const char* title, int timeoutSeconds) {
  Window window = 0;
  for (int waited = 0; waited < timeoutSeconds * 10 && !window; waited++) {
    window = FindWindowByTitle(display, DefaultRootWindow(display), title);
    if (!window) usleep(100000);
  }
  return window;
}
