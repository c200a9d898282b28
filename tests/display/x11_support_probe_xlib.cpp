// The Xlib half of the X11 probe: the key window, and closing a window as a window manager does.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "hosts/x11/KeyMap.h"

int keys() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 2;
  const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0,
                                            0, 0);
  XStoreName(display, window, "key probe");
  XSelectInput(display, window, KeyPressMask | StructureNotifyMask);
  XMapWindow(display, window);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == MapNotify) {
      XSetInputFocus(display, window, RevertToParent, CurrentTime);
      std::printf("ready\n");
    } else if (event.type == KeyPress) {
      std::printf("%u %d\n", event.xkey.keycode, virtualKey(display, event.xkey));
    }
    std::fflush(stdout);
  }
}

int closeWindow(const char* id) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 2;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = static_cast<Window>(std::strtoul(id, nullptr, 0));
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
  XCloseDisplay(display);
  return sent != 0 ? 0 : 1;
}
