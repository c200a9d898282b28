// The Linux host: an X11 window with its event loop and timer, presented from a software canvas.
#include "hosts/x11/X11Host.h"

#include "hosts/x11/Xlib.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>
#include <vector>

#include "platform/hostConstants.h"
#include "platform/messages.h"
#include "hosts/x11/ErrorDialog.h"
#include "hosts/x11/KeyMap.h"
#include "hosts/x11/Scale.h"
#include "hosts/x11/StartupNotification.h"
#include "hosts/posix/FatalEnd.h"
#include "hosts/posix/UrlOpener.h"
#include "hosts/x11/X11Image.h"
#include "hosts/x11/X11Window.h"

namespace {

using host::kFatalExitCode;
using host::kFrameHeight;
using host::kFrameWidth;

// _NET_WM_STATE actions and the source of the request (a normal application).
constexpr long kStateRemove = 0;
constexpr long kStateAdd = 1;
constexpr long kSourceApplication = 1;

// The one host Xlib's I/O error handler can reach; a handler gets no context of its own.
X11Host* gHost = nullptr;

// Xlib's default ends the process on any protocol error. The host's requests can fail only in
// harmless ways (a window gone a moment early, a window manager's property refused), so errors
// are ignored on purpose.
int ignoreError(Display*, XErrorEvent*) { return 0; }

constexpr const char* kDisplayLost = "lost the connection to the X display; the game ends";

// Must not return: Xlib cannot go on without its connection.
int onConnectionLost(Display*) {
  if (gHost != nullptr) gHost->displayLost();
  endInFailure(kDisplayLost, nullptr, -1, nullptr);
}

std::uintptr_t mouseKeyState(unsigned state) {
  return ((state & Button1Mask) != 0 ? msg::kLeftButtonHeld : 0) |
         ((state & Button3Mask) != 0 ? msg::kRightButtonHeld : 0);
}

}  // namespace

struct X11Host::Server {
  Display* display = nullptr;
  std::optional<Atoms> atoms;
  int screen = 0;
  ::Window root = 0;
  VisualChoice visual;
  ::Window window = 0;
  GC gc = nullptr;
  std::unique_ptr<X11Image> image;

  Atom atom(Atoms::Name name) const { return (*atoms)[name]; }
};

X11Host::X11Host(WindowProcedure& procedure, const BitmapSource* bitmaps, TextSource text,
                 const BitmapView* icon)
    : procedure_(procedure),
      textSource_(std::move(text)),
      icon_(icon),
      canvas_(0, 0, bitmaps, nullptr) {
  x_ = std::make_unique<Server>();
  if (!xlib::available()) {
    fatal(std::string("XOpenDisplay failed: ") + xlib::kSoname + " cannot be loaded");
  }
  x_->display = XOpenDisplay(nullptr);
  if (x_->display == nullptr) {
    const char* name = XDisplayName(nullptr);
    fatal(name != nullptr && name[0] != '\0'
              ? std::string("XOpenDisplay failed: cannot open display \"") + name + "\""
              : std::string("XOpenDisplay failed: no display (DISPLAY is not set)"));
  }
  Display* display = x_->display;
  gHost = this;
  XSetErrorHandler(ignoreError);
  XSetIOErrorHandler(onConnectionLost);
  x_->screen = DefaultScreen(display);
  x_->root = RootWindow(display, x_->screen);
  const std::optional<VisualChoice> visual = pickVisual(display, x_->screen);
  if (!visual) {
    fatal("XGetVisualInfo failed: the display has no true-colour visual of 15 bits or more");
  }
  x_->visual = *visual;
  askedScale_ = displayScale(display);
  canvas_.setScale(askedScale_);
  x_->atoms.emplace(display);
  x_->image = std::make_unique<X11Image>(display, x_->visual.visual, x_->visual.depth);
}

X11Host::~X11Host() {
  Display* display = x_->display;
  // A run that ends before its window was shown (out of memory) still ends its launch.
  if (!startupAnnounced_) announceStartupEnd(display);
  x_->image.reset();
  if (x_->gc != nullptr) XFreeGC(display, x_->gc);
  if (x_->window != 0) XDestroyWindow(display, x_->window);
  if (x_->visual.colormap != 0) XFreeColormap(display, x_->visual.colormap);
  XCloseDisplay(display);
  gHost = nullptr;
}

bool X11Host::displayAvailable() {
  if (!xlib::available()) return false;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  XCloseDisplay(display);
  return true;
}

TextRenderer* X11Host::textRenderer() {
  if (textSource_) {
    text_ = textSource_();
    textSource_ = nullptr;
    canvas_.setTextRenderer(text_);
  }
  return text_;
}

void X11Host::fail(const std::string& message, TextRenderer* text) {
  endInFailure(message, text, -1, showErrorDialog);
}

void X11Host::fatal(const std::string& message) {
  // The run has failed and nothing needs saving: SIGTERM, SIGINT and SIGHUP close the dialog
  // (also one that arrives while the font is still being found), and the run ends as the
  // failure it is.
  if (!signals_) signals_.emplace();
  TextRenderer* text = textRenderer();
  // The dialog ends the launch; nothing should tell it again.
  startupAnnounced_ = true;
  endInFailure(message, text, signals_->fd(), showErrorDialog);
}

void X11Host::displayLost() {
  // No request may be made from here on: windowPosition answers from what it last knew.
  gHost = nullptr;
  x_->display = nullptr;
  // A lost display is the end of the session (the server ends at log-out): the program keeps
  // its settings as it does when the system ends the session.
  if (windowMade_) send(msg::kEndSession, 1);
  endInFailure(kDisplayLost, nullptr, -1, nullptr);
}

Size X11Host::fullScreenSize() {
  const Size root{DisplayWidth(x_->display, x_->screen), DisplayHeight(x_->display, x_->screen)};
  // A window manager publishes the area that panels leave free, per desktop.
  const std::optional<Rect> area = readWorkArea(x_->display, x_->screen, *x_->atoms);
  if (!area) return root;
  return {area->right - area->left, area->bottom - area->top};
}

bool X11Host::monitorShows(Point point) {
  const std::vector<Rect> monitors = readMonitors(x_->display, x_->screen);
  return monitorAt(monitors, point) >= 0;
}

bool X11Host::createWindow(const char* title, Point position) {
  // From here on a signal closes the window in order; before, it ended the process with
  // nothing written.
  if (!signals_) signals_.emplace();

  // The scale is the largest one asked for at which the widest window fits the monitor it
  // opens on, so that neither the first frame nor the side panel reaches past it.
  const std::vector<Rect> monitors = readMonitors(x_->display, x_->screen);
  const std::optional<Rect> area = openingArea(
      monitors, readWorkArea(x_->display, x_->screen, *x_->atoms),
      {position.x + kFrameWidth / 2, position.y + kFrameHeight / 2});
  if (area) {
    const Size widest{host::kWidestOuterWidth - kFrameWidth,
                      host::kWidestOuterHeight - kFrameHeight};
    canvas_.setScale(fittedScale(askedScale_, widest, {kFrameWidth, kFrameHeight}, *area));
  }

  // Windows makes the window with no size until WM_CREATE sizes it; X needs one pixel.
  x_->window = makeWindow(x_->display, x_->visual, position.x, position.y, 1, 1,
                          ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask |
                              PointerMotionMask | EnterWindowMask | LeaveWindowMask |
                              StructureNotifyMask);
  if (x_->window == 0) fatal("XCreateWindow failed");
  windowMade_ = true;
  position_ = position;
  x_->gc = XCreateGC(x_->display, x_->window, 0, nullptr);
  XSetGraphicsExposures(x_->display, x_->gc, False);
  setIdentity(x_->display, x_->window, *x_->atoms, title, Atoms::kWindowTypeNormal, icon_);
  setSizeHints(position);
  send(msg::kCreate);
  return true;
}

void X11Host::setSizeHints(Point position) {
  XSizeHints hints{};
  // The saved position is the user's own, so a window manager keeps it; the fixed size makes
  // the window one that cannot be resized.
  hints.flags = USPosition | PWinGravity | PMinSize | PMaxSize;
  hints.x = position.x;
  hints.y = position.y;
  // The position names the outer corner of the frame.
  hints.win_gravity = NorthWestGravity;
  const Size size = physicalClient();
  hints.min_width = hints.max_width = std::max(size.width, 1);
  hints.min_height = hints.max_height = std::max(size.height, 1);
  XSetWMNormalHints(x_->display, x_->window, &hints);
}

void X11Host::setTimer(int id, int milliseconds) {
  timerId_ = id;
  timer_.start(milliseconds);
}

void X11Host::resizeWindow(Size outer) {
  if (x_->window == 0) return;
  client_ = {std::max(outer.width - kFrameWidth, 0), std::max(outer.height - kFrameHeight, 0)};
  // The fixed size moves with the window's, or a window manager would refuse the new one.
  setSizeHints(position_);
  const Size size = physicalClient();
  XResizeWindow(x_->display, x_->window, static_cast<unsigned>(std::max(size.width, 1)),
                static_cast<unsigned>(std::max(size.height, 1)));
  // The canvas draws straight into the shared segment where there is one.
  canvas_.resize(size.width, size.height, x_->image->prepare(size.width, size.height));
  // The window class redraws the whole window whenever its size changes.
  paintPending_ = true;
}

Size X11Host::clientSize() { return client_; }

Size X11Host::physicalClient() const {
  // X windows are at most 32767 pixels wide and high.
  constexpr std::int64_t kLargest = 32767;
  return {static_cast<int>(std::min(std::int64_t{client_.width} * canvas_.scale(), kLargest)),
          static_cast<int>(std::min(std::int64_t{client_.height} * canvas_.scale(), kLargest))};
}

Point X11Host::windowPosition() {
  if (x_->display != nullptr && x_->window != 0) refreshPosition();
  return position_;
}

void X11Host::refreshPosition() {
  // The window was placed by its frame (a window manager puts the frame's corner where the
  // window asked to be), so the frame's corner brings it back to the same place next time.
  // A reparenting window manager puts the window into a frame, at any depth; the frame is the
  // ancestor whose parent is the root. Without a window manager the window is its own frame.
  ::Window current = x_->window;
  for (int depth = 0; depth < 64; ++depth) {
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(x_->display, current, &root, &parent, &children, &count) == 0) return;
    if (children != nullptr) XFree(children);
    if (parent == root || parent == 0) break;
    current = parent;
  }
  ::Window root = 0;
  int x = 0;
  int y = 0;
  unsigned width = 0;
  unsigned height = 0;
  unsigned border = 0;
  unsigned depthBits = 0;
  // For a child of the root, the geometry's corner is the outer corner on the screen.
  if (XGetGeometry(x_->display, current, &root, &x, &y, &width, &height, &border, &depthBits) != 0) {
    position_ = {x, y};
  }
}

void X11Host::setTopmost(bool topmost) {
  if (x_->window == 0) return;
  const Atom state = x_->atom(Atoms::kState);
  const Atom above = x_->atom(Atoms::kStateAbove);
  if (!shown_) {
    // Before mapping the window's own property is the request.
    if (topmost) {
      const long value = static_cast<long>(above);
      XChangeProperty(x_->display, x_->window, state, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&value), 1);
    } else {
      XDeleteProperty(x_->display, x_->window, state);
    }
    return;
  }
  // A mapped window asks the window manager, which owns the property then.
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = x_->window;
  event.xclient.message_type = state;
  event.xclient.format = 32;
  event.xclient.data.l[0] = topmost ? kStateAdd : kStateRemove;
  event.xclient.data.l[1] = static_cast<long>(above);
  event.xclient.data.l[2] = 0;
  event.xclient.data.l[3] = kSourceApplication;
  XSendEvent(x_->display, x_->root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(x_->display);
}

void X11Host::setOpacity(std::uint8_t alpha) {
  if (x_->window == 0) return;
  const Atom opacity = x_->atom(Atoms::kOpacity);
  // No property is an opaque window; a compositor scales 0xFFFFFFFF to full opacity.
  if (alpha == 0xFF) {
    XDeleteProperty(x_->display, x_->window, opacity);
  } else {
    const long value = static_cast<long>(alpha * 0x01010101u);
    XChangeProperty(x_->display, x_->window, opacity, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&value), 1);
  }
  XFlush(x_->display);
}

void X11Host::showWindow() {
  if (x_->window == 0) return;
  // UpdateWindow paints at once rather than waiting for the loop. The frame is painted while
  // the window is still unmapped and put as soon as it is mapped, so the window never shows an
  // empty area first; with a window manager the map waits for it and the exposure puts it.
  paintPending_ = false;
  // The font search, which reads the environment, has ended once this returns.
  textRenderer();
  send(msg::kPaint);
  XMapWindow(x_->display, x_->window);
  shown_ = true;
  putRectangle(0, 0, canvas_.width(), canvas_.height());
  XFlush(x_->display);
  announceStartupEnd(x_->display);
  startupAnnounced_ = true;
  // The URL opener and what it starts are launches of their own. The font search, the only
  // other reader of the environment, has ended.
  unsetenv("DESKTOP_STARTUP_ID");
}

bool X11Host::isLeftButtonDown() {
  ::Window root = 0;
  ::Window child = 0;
  int rootX = 0;
  int rootY = 0;
  int x = 0;
  int y = 0;
  unsigned mask = 0;
  if (XQueryPointer(x_->display, x_->root, &root, &child, &rootX, &rootY, &x, &y, &mask) == 0) {
    return false;
  }
  return (mask & Button1Mask) != 0;
}

void X11Host::openUrl(const std::string& url) { startUrlOpener(url); }

Canvas& X11Host::beginPaint() {
  paintPending_ = false;
  textRenderer();
  return canvas_;
}

void X11Host::endPaint() { present(); }

Canvas& X11Host::getDC() {
  textRenderer();
  return canvas_;
}

void X11Host::releaseDC() { present(); }

void X11Host::postQuit(int exitCode) {
  quit_ = true;
  exitCode_ = exitCode;
}

int X11Host::runMessageLoop() {
  XEvent event;
  while (!quit_) {
    // SIGTERM, SIGINT and SIGHUP close the window as its close box does.
    if (signals_ && signals_->take()) close();
    // Input first; then, as on Windows, WM_PAINT once nothing else waits, and WM_TIMER last.
    while (!quit_ && x_->window != 0 && XPending(x_->display) > 0) {
      XNextEvent(x_->display, &event);
      handle(event);
    }
    if (quit_) break;
    if (paintPending_ && x_->window != 0) {
      paintPending_ = false;
      send(msg::kPaint);
      continue;
    }
    if (x_->window != 0 && timer_.takeTick()) {
      send(msg::kTimer, static_cast<std::uintptr_t>(timerId_));
      continue;
    }
    if (x_->window == 0) break;
    // A tick that would change nothing is skipped, and the loop sleeps until the next event
    // rather than waking a hundred times a second; every change starts with an event, after
    // which the ticks run again.
    // XPending has sent every request and read everything queued, and a signal, even one that
    // landed after the loop last looked, leaves a byte in the signal pipe, so one wait on both
    // cannot sleep through either.
    waitForInput(x_->display, signals_ ? signals_->fd() : -1,
                 timer_.sleepTimeout(procedure_.isIdle()));
  }
  return exitCode_;
}

std::int64_t X11Host::currentTime() { return static_cast<std::int64_t>(std::time(nullptr)); }

void X11Host::handle(XEvent& event) {
  if (event.xany.window != x_->window) return;
  switch (event.type) {
    case Expose:
      // The frame is already painted; only the uncovered part is put again.
      putRectangle(event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height);
      break;
    case ConfigureNotify:
    case ReparentNotify:
      refreshPosition();
      break;
    case ClientMessage:
      if (closeRequested(x_->display, *x_->atoms, event)) close();
      break;
    case KeyPress: {
      // With Alt held Windows sends WM_SYSKEYDOWN, which the program never handles.
      if ((event.xkey.state & Mod1Mask) != 0) break;
      const int key = virtualKey(x_->display, event.xkey);
      if (key != 0) send(msg::kKeyDown, static_cast<std::uintptr_t>(key), 1);
      break;
    }
    case EnterNotify:
    case LeaveNotify:
      pointerInWindow_ = event.type == EnterNotify;
      break;
    case MotionNotify:
      // Windows sends no move while the pointer is outside the window, though X reports the
      // moves of a drag that left it.
      if (pointerInWindow_ && pointInClient(event.xmotion.x, event.xmotion.y)) {
        send(msg::kMouseMove, mouseKeyState(event.xmotion.state),
             msg::pointParam(event.xmotion.x / canvas_.scale(), event.xmotion.y / canvas_.scale()));
      }
      break;
    case ButtonPress:
    case ButtonRelease:
      handleButton(event);
      break;
    default:
      break;
  }
}

void X11Host::handleButton(const XEvent& event) {
  // X holds the pointer for the window a button was pressed in, so the release outside still
  // comes here. Windows without mouse capture delivers nothing outside the client area.
  const XButtonEvent& button = event.xbutton;
  if (!pointInClient(button.x, button.y)) return;
  const bool press = event.type == ButtonPress;
  // X gives the state from before the event.
  const unsigned mask = button.button == Button1   ? Button1Mask
                        : button.button == Button3 ? Button3Mask
                                                   : 0u;
  const unsigned state = press ? (button.state | mask) : (button.state & ~mask);
  // A press anywhere in a pixel's scale x scale block acts on that pixel.
  const std::intptr_t point = msg::pointParam(button.x / canvas_.scale(), button.y / canvas_.scale());
  if (press) {
    if (button.button == Button1) send(msg::kLeftButtonDown, mouseKeyState(state), point);
    if (button.button == Button3) send(msg::kRightButtonDown, mouseKeyState(state), point);
  } else if (button.button == Button1) {
    send(msg::kLeftButtonUp, mouseKeyState(state), point);
  }
}

void X11Host::close() {
  if (closing_ || x_->window == 0) return;
  if (send(msg::kClose) != msg::kDefault) return;
  closing_ = true;
  // DefWindowProc's DestroyWindow: WM_DESTROY while the window still exists (the program reads
  // its position then), and the window goes afterwards.
  send(msg::kDestroy);
  // The canvas may be drawing into the image's segment.
  canvas_.resize(0, 0);
  x_->image.reset();
  XFreeGC(x_->display, x_->gc);
  x_->gc = nullptr;
  XDestroyWindow(x_->display, x_->window);
  x_->window = 0;
  XFlush(x_->display);
}

std::intptr_t X11Host::send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  return procedure_.windowProc(message, wParam, lParam);
}

void X11Host::present() {
  if (x_->window == 0 || x_->display == nullptr || !x_->image) return;
  x_->image->update(canvas_.pixels(), canvas_.width(), canvas_.height());
  // X keeps nothing put into an unmapped window; showWindow puts the frame once it is mapped.
  if (shown_) putRectangle(0, 0, canvas_.width(), canvas_.height());
}

void X11Host::putRectangle(int x, int y, int width, int height) {
  if (x_->window == 0 || x_->display == nullptr || !x_->image) return;
  x_->image->put(x_->window, x_->gc, x, y, width, height);
}

bool X11Host::pointInClient(int x, int y) const {
  const Size size = physicalClient();
  return x >= 0 && y >= 0 && x < size.width && y < size.height;
}
