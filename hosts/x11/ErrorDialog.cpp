// The fatal-error dialog's window: its properties, events and presenting its picture.
#include "hosts/x11/ErrorDialog.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "platform/hostConstants.h"
#include "hosts/x11/ErrorDialogPicture.h"
#include "hosts/x11/PixelConverter.h"
#include "hosts/x11/ScaleFactor.h"
#include "hosts/x11/StartupNotification.h"

namespace {

constexpr const char* kTitle = "Error";

struct DisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};

// The image's pixels stay ours; XDestroyImage would free them with free().
struct ImageDestroyer {
  void operator()(XImage* image) const {
    image->data = nullptr;
    XDestroyImage(image);
  }
};

// Presents the picture through an image in the server's own pixel format, whatever its depth
// and byte order; on a visual without colour channels, light pixels are white and dark black.
class Presenter {
 public:
  Presenter(Display* display, int screen) : display_(display), screen_(screen) {
    Visual* visual = DefaultVisual(display, screen);
    trueColour_ = visual->c_class == TrueColor || visual->c_class == DirectColor;
  }

  void present(Window window, GC gc, const ErrorDialogPicture& picture) {
    Visual* visual = DefaultVisual(display_, screen_);
    const auto depth = static_cast<unsigned>(DefaultDepth(display_, screen_));
    std::unique_ptr<XImage, ImageDestroyer> image(
        XCreateImage(display_, visual, depth, ZPixmap, 0, nullptr,
                     static_cast<unsigned>(picture.width), static_cast<unsigned>(picture.height),
                     32, 0));
    if (!image) return;
    data_.assign(static_cast<std::size_t>(image->bytes_per_line) *
                     static_cast<std::size_t>(picture.height), 0);
    image->data = data_.data();
    const PixelConverter converter(image->red_mask, image->green_mask, image->blue_mask,
                                   image->bits_per_pixel, image->byte_order == MSBFirst);
    for (int y = 0; y < picture.height; ++y) {
      const std::uint32_t* row = picture.pixels.data() + static_cast<std::size_t>(y) *
                                                             static_cast<std::size_t>(picture.width);
      if (trueColour_ && converter.usable()) {
        char* out = image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line;
        converter.convertRow(row, out, picture.width);
        continue;
      }
      for (int x = 0; x < picture.width; ++x) {
        XPutPixel(image.get(), x, y, pixelValue(row[x], converter));
      }
    }
    XPutImage(display_, window, gc, image.get(), 0, 0, 0, 0, static_cast<unsigned>(picture.width),
              static_cast<unsigned>(picture.height));
  }

 private:
  unsigned long pixelValue(std::uint32_t rgb, const PixelConverter& converter) const {
    if (trueColour_) return converter.value(rgb);
    const std::uint32_t r = (rgb >> 16) & 0xFF;
    const std::uint32_t g = (rgb >> 8) & 0xFF;
    const std::uint32_t b = rgb & 0xFF;
    return r + g + b >= 3 * 128 ? WhitePixel(display_, screen_) : BlackPixel(display_, screen_);
  }

  Display* display_;
  int screen_;
  bool trueColour_ = false;
  std::vector<char> data_;
};

void setProperties(Display* display, Window window, const ErrorDialogPicture& picture, int x,
                   int y) {
  XStoreName(display, window, kTitle);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(kTitle),
                  static_cast<int>(std::strlen(kTitle)));

  // A fixed size, and the place the program chose: centred.
  XSizeHints* size = XAllocSizeHints();
  if (size != nullptr) {
    size->flags = PPosition | PMinSize | PMaxSize;
    size->x = x;
    size->y = y;
    size->min_width = size->max_width = picture.width;
    size->min_height = size->max_height = picture.height;
    XSetWMNormalHints(display, window, size);
    XFree(size);
  }
  XWMHints* hints = XAllocWMHints();
  if (hints != nullptr) {
    hints->flags = InputHint | StateHint;
    hints->input = True;
    hints->initial_state = NormalState;
    XSetWMHints(display, window, hints);
    XFree(hints);
  }
  XClassHint* classHint = XAllocClassHint();
  if (classHint != nullptr) {
    char name[] = "deradu";
    char className[sizeof host::kWindowClass];
    std::memcpy(className, host::kWindowClass, sizeof className);
    classHint->res_name = name;
    classHint->res_class = className;
    XSetClassHint(display, window, classHint);
    XFree(classHint);
  }
  const Atom dialogType = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM,
                  32, PropModeReplace, reinterpret_cast<const unsigned char*>(&dialogType), 1);
  const long pid = static_cast<long>(getpid());
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
}

bool endsDialog(XKeyEvent& key) {
  const KeySym symbol = XLookupKeysym(&key, 0);
  return symbol == XK_Return || symbol == XK_KP_Enter || symbol == XK_Escape ||
         symbol == XK_space;
}

// Waits for the next event; false when `stopFd` has something to read first.
bool nextEvent(Display* display, int stopFd, XEvent& event) {
  // XPending sends what is buffered and reads what has arrived, so a poll after it that finds
  // nothing waits for what is really still to come.
  while (XPending(display) == 0) {
    pollfd watched[2] = {{ConnectionNumber(display), POLLIN, 0}, {stopFd, POLLIN, 0}};
    // An interrupted poll only goes round again; ignored on purpose.
    poll(watched, 2, -1);
    if ((watched[1].revents & POLLIN) != 0) return false;
  }
  XNextEvent(display, &event);
  return true;
}

}  // namespace

void showErrorDialog(const std::string& message, TextRenderer* text, int stopFd) {
  const std::unique_ptr<Display, DisplayCloser> connection(XOpenDisplay(nullptr));
  if (!connection) return;
  Display* display = connection.get();
  const int screen = DefaultScreen(display);

  // Drawn at the program's own scale, whose window it stands for.
  const int scale = displayScaleFactor(display);
  ErrorDialogPicture picture = paintErrorDialog(message, text, false, scale);
  const int x = (DisplayWidth(display, screen) - picture.width) / 2;
  const int y = (DisplayHeight(display, screen) - picture.height) / 2;
  XSetWindowAttributes attributes{};
  attributes.background_pixel = WhitePixel(display, screen);
  attributes.event_mask =
      ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | Button1MotionMask |
      StructureNotifyMask;
  const Window window = XCreateWindow(
      display, RootWindow(display, screen), x, y, static_cast<unsigned>(picture.width),
      static_cast<unsigned>(picture.height), 0, CopyFromParent, InputOutput, CopyFromParent,
      CWBackPixel | CWEventMask, &attributes);
  setProperties(display, window, picture, x, y);
  Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &deleteWindow, 1);
  const GC gc = XCreateGC(display, window, 0, nullptr);
  Presenter presenter(display, screen);
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
        if (event.xexpose.count == 0) presenter.present(window, gc, picture);
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
        done = event.xclient.format == 32 &&
               static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow;
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
      presenter.present(window, gc, picture);
    }
  }
  XFreeGC(display, gc);
  XDestroyWindow(display, window);
}
