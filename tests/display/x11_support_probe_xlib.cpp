// The Xlib half of the X11 probe: the key window, and closing a window as a window manager does.
#include "hosts/x11/Xlib.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hosts/x11/KeyMap.h"
#include "hosts/x11/StartupNotification.h"

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

// A launcher's side of startup notification: messages arrive at the root in pieces of 20 bytes,
// the first of the type _NET_STARTUP_INFO_BEGIN, until one holds the terminating NUL.
int startupMessages() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 2;
  const Atom begin = XInternAtom(display, "_NET_STARTUP_INFO_BEGIN", False);
  const Atom more = XInternAtom(display, "_NET_STARTUP_INFO", False);
  XSelectInput(display, DefaultRootWindow(display), PropertyChangeMask);
  XSync(display, False);
  std::printf("ready\n");
  std::fflush(stdout);
  std::string message;
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type != ClientMessage || event.xclient.format != 8 ||
        (event.xclient.message_type != begin && event.xclient.message_type != more)) {
      continue;
    }
    if (event.xclient.message_type == begin) message.clear();
    const char* piece = event.xclient.data.b;
    const std::size_t length = strnlen(piece, 20);
    message.append(piece, length);
    if (length < 20) {
      std::printf("%s\n", message.c_str());
      std::fflush(stdout);
    }
  }
}

int announce() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 2;
  announceStartupEnd(display);
  XCloseDisplay(display);
  return 0;
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
