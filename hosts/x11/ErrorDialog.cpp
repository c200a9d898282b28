// The fatal-error dialog's window: its properties, events and presenting its picture.
#include "hosts/x11/ErrorDialog.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/hostConstants.h"
#include "hosts/posix/ErrorDialogPicture.h"
#include "hosts/x11/Scale.h"
#include "hosts/x11/StartupNotification.h"
#include "hosts/x11/X11Image.h"
#include "hosts/x11/X11Window.h"
#include "platform/hostConstants.h"

namespace {

constexpr const char* kTitle = "Error";

struct DisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};

// A fixed size, and the place the program chose: centred.
void setSizeHints(Display* display, ::Window window, const ErrorDialogPicture& picture, int x,
                  int y) {
  XSizeHints size{};
  size.flags = PPosition | PMinSize | PMaxSize;
  size.x = x;
  size.y = y;
  size.min_width = size.max_width = picture.width;
  size.min_height = size.max_height = picture.height;
  XSetWMNormalHints(display, window, &size);
}

// The dialog's connection lost (the dialog killed by another client, the server ended) ends the
// run as the failure it already told: no second line about the connection.
int endQuietly(Display*) {
  std::fflush(nullptr);
  std::_Exit(host::kFatalExitCode);
}

bool endsDialog(XKeyEvent& key) {
  const KeySym symbol = XLookupKeysym(&key, 0);
  return symbol == XK_Return || symbol == XK_KP_Enter || symbol == XK_Escape ||
         symbol == XK_space;
}

// Waits for the next event; false when `stopFd` has something to read first.
bool nextEvent(Display* display, int stopFd, XEvent& event) {
  while (XPending(display) == 0) {
    if (waitForInput(display, stopFd, -1)) return false;
  }
  XNextEvent(display, &event);
  return true;
}

}  // namespace

void showErrorDialog(const std::string& message, TextRenderer* text, int stopFd) {
  if (!xlib::available()) return;
  XSetIOErrorHandler(endQuietly);
  const std::unique_ptr<Display, DisplayCloser> connection(XOpenDisplay(nullptr));
  if (!connection) return;
  Display* display = connection.get();
  const int screen = DefaultScreen(display);

  // Drawn at the program's own scale and visual, whose window it stands for: the largest scale
  // asked for at which it fits the primary monitor's free area, centred there. A display that
  // cannot show the game still shows the dialog in its default visual.
  const Atoms atoms(display);
  const std::vector<Rect> monitors = readMonitors(display, screen);
  const Rect area = openingArea(monitors, readWorkArea(display, screen, atoms), {0, 0})
                        .value_or(Rect{0, 0, DisplayWidth(display, screen),
                                       DisplayHeight(display, screen)});
  ErrorDialogPicture picture = paintErrorDialog(message, text, false, 1);
  const int scale = fittedScale(displayScale(display), {picture.width, picture.height},
                                {host::kFrameWidth, host::kFrameHeight}, area);
  if (scale > 1) picture = paintErrorDialog(message, text, false, scale);
  const int x = area.left + std::max(0, (area.right - area.left - picture.width) / 2);
  const int y = area.top + std::max(0, (area.bottom - area.top - picture.height) / 2);
  const VisualChoice visual = pickVisual(display, screen).value_or(defaultVisual(display, screen));
  const ::Window window = makeWindow(
      display, visual, x, y, picture.width, picture.height,
      ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | Button1MotionMask |
          StructureNotifyMask);
  setIdentity(display, window, atoms, kTitle, Atoms::kWindowTypeDialog, nullptr);
  setSizeHints(display, window, picture, x, y);
  const GC gc = XCreateGC(display, window, 0, nullptr);
  auto image = std::make_unique<X11Image>(display, visual.visual, visual.depth);
  const auto present = [&] {
    image->update(picture.pixels, picture.width, picture.height);
    image->put(window, gc, 0, 0, picture.width, picture.height);
  };
  XMapRaised(display, window);
  announceStartupEnd(display);

  // Like a Windows button, OK acts when a press on it is released on it, and looks pressed
  // while the pointer that pressed it is over it.
  bool pressedOnOk = false;
  bool pointerOnOk = false;
  bool shownPressed = false;
  bool done = false;
  while (!done) {
    XEvent event;
    if (!nextEvent(display, stopFd, event)) break;
    switch (event.type) {
      case Expose:
        if (event.xexpose.count == 0) present();
        break;
      case KeyPress:
        done = endsDialog(event.xkey);
        break;
      case ButtonPress:
        if (event.xbutton.button == Button1 && picture.onOk(event.xbutton.x, event.xbutton.y)) {
          pressedOnOk = pointerOnOk = true;
        }
        break;
      case MotionNotify:
        pointerOnOk = picture.onOk(event.xmotion.x, event.xmotion.y);
        break;
      case ButtonRelease:
        if (event.xbutton.button == Button1) {
          done = pressedOnOk && picture.onOk(event.xbutton.x, event.xbutton.y);
          pressedOnOk = false;
        }
        break;
      case ClientMessage:
        done = closeRequested(display, atoms, event);
        break;
      case DestroyNotify:
        done = event.xdestroywindow.window == window;
        break;
      default:
        break;
    }
    if (!done && (pressedOnOk && pointerOnOk) != shownPressed) {
      shownPressed = pressedOnOk && pointerOnOk;
      picture = paintErrorDialog(message, text, shownPressed, scale);
      present();
    }
  }
  image.reset();
  XFreeGC(display, gc);
  XDestroyWindow(display, window);
  if (visual.colormap != 0) XFreeColormap(display, visual.colormap);
}
