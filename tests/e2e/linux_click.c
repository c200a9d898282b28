/* Clicks a window the way a window manager forwards a click: a button press and its release at
 * a point of the window, sent to it. For servers where no pointer can be moved (XWayland under
 * a compositor without a pointer ends on XTEST input or a warp).
 * Usage: linux_click WINDOW-ID X Y [BUTTON]. Exits 0 when both events were sent. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    fprintf(stderr, "usage: %s WINDOW-ID X Y [BUTTON]\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "cannot open display\n");
    return 1;
  }
  const unsigned button = argc == 5 ? (unsigned)atoi(argv[4]) : Button1;
  XEvent event = {0};
  event.xbutton.type = ButtonPress;
  event.xbutton.display = display;
  event.xbutton.window = (Window)strtoul(argv[1], NULL, 0);
  event.xbutton.root = DefaultRootWindow(display);
  event.xbutton.subwindow = None;
  event.xbutton.time = CurrentTime;
  event.xbutton.x = atoi(argv[2]);
  event.xbutton.y = atoi(argv[3]);
  event.xbutton.same_screen = True;
  event.xbutton.button = button;
  event.xbutton.state = 0;
  const long mask = ButtonPressMask | ButtonReleaseMask;
  Status sent = XSendEvent(display, event.xbutton.window, False, mask, &event);
  event.xbutton.type = ButtonRelease;
  event.xbutton.state = button == Button1 ? Button1Mask : button == Button3 ? Button3Mask : 0;
  sent = sent && XSendEvent(display, event.xbutton.window, False, mask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return sent != 0 ? 0 : 1;
}
