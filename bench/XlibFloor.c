/* The floor the Linux program's start is measured against: a bare Xlib program that maps a
   471 x 401 window and puts one image into it on its first exposure, then waits for the end.
   It names its process in _NET_WM_PID so the window probe finds it. C, built by bench/run.sh
   with nothing but libX11, so the floor carries no runtime of its own. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdint.h>
#include <stdlib.h>
#include <unistd.h>

enum { kWidth = 471, kHeight = 401 };

int main(void) {
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) return 2;
  const int screen = DefaultScreen(display);
  Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, kWidth,
                                      kHeight, 0, 0, 0);
  const long pid = getpid();
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                  PropModeReplace, (const unsigned char*)&pid, 1);
  XSelectInput(display, window, ExposureMask);
  XMapWindow(display, window);
  GC gc = XCreateGC(display, window, 0, NULL);
  uint32_t* pixels = malloc((size_t)kWidth * kHeight * 4);
  if (pixels == NULL) return 2;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) pixels[y * kWidth + x] = (uint32_t)(x * 0x010000 + y);
  }
  XImage* image = XCreateImage(display, DefaultVisual(display, screen), 24, ZPixmap, 0,
                               (char*)pixels, kWidth, kHeight, 32, kWidth * 4);
  int put = 0;
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == Expose && !put) {
      XPutImage(display, window, gc, image, 0, 0, 0, 0, kWidth, kHeight);
      XFlush(display);
      put = 1;
    }
  }
}
