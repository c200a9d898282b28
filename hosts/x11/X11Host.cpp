// The Linux host: an X11 window with its event loop and timer, presented from a software canvas.
#include "hosts/x11/X11Host.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/hostConstants.h"
#include "platform/messages.h"
#include "gfx/Bitmap.h"
#include "hosts/x11/ErrorDialog.h"
#include "hosts/x11/KeyMap.h"
#include "hosts/x11/ScaleFactor.h"
#include "hosts/x11/StartupNotification.h"
#include "hosts/x11/UrlOpener.h"

namespace {

using host::kFatalExitCode;
using host::kFrameHeight;
using host::kFrameWidth;
using host::kWindowClass;

// Win32 key-state flags carried in wParam of mouse messages.
constexpr std::uintptr_t kMkLeftButton = 0x0001;
constexpr std::uintptr_t kMkRightButton = 0x0002;

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

// Must not return: Xlib cannot go on without its connection.
int onConnectionLost(Display*) {
  if (gHost != nullptr) gHost->displayLost();
  std::fprintf(stderr, "deradu: lost the connection to the X display\n");
  std::_Exit(kFatalExitCode);
}

std::uintptr_t mouseKeyState(unsigned state) {
  return ((state & Button1Mask) != 0 ? kMkLeftButton : 0) |
         ((state & Button3Mask) != 0 ? kMkRightButton : 0);
}

}  // namespace

struct X11Host::Atoms {
  enum Name {
    kProtocols,
    kDeleteWindow,
    kPing,
    kName,
    kUtf8String,
    kPid,
    kIcon,
    kWindowType,
    kWindowTypeNormal,
    kState,
    kStateAbove,
    kOpacity,
    kWorkArea,
    kCurrentDesktop,
    kStartupId,
    kCount
  };
  Atom atom[kCount] = {};
  Atom operator[](Name name) const { return atom[name]; }
};

X11Host::X11Host(WindowProcedure& procedure, const BitmapSource* bitmaps, TextSource text,
                 const BitmapView* icon)
    : procedure_(procedure),
      textSource_(std::move(text)),
      icon_(icon),
      canvas_(0, 0, bitmaps, nullptr) {
  display_ = XOpenDisplay(nullptr);
  if (display_ == nullptr) {
    const char* name = XDisplayName(nullptr);
    fatalError(name != nullptr && name[0] != '\0'
                   ? std::string("XOpenDisplay failed: cannot open display \"") + name + "\""
                   : std::string("XOpenDisplay failed: no display (DISPLAY is not set)"));
  }
  gHost = this;
  XSetErrorHandler(ignoreError);
  XSetIOErrorHandler(onConnectionLost);
  screen_ = DefaultScreen(display_);
  root_ = RootWindow(display_, screen_);

  // Any TrueColor visual shows the canvas: the screen's default one when it is TrueColor, at
  // whatever depth (frames are converted to it); else one of our own with its own colormap,
  // the 24-bit one the canvas's words fit as they are first, then the deepest.
  XVisualInfo wanted{};
  wanted.screen = screen_;
  wanted.c_class = TrueColor;
  int count = 0;
  XVisualInfo* found =
      XGetVisualInfo(display_, VisualScreenMask | VisualClassMask, &wanted, &count);
  const XVisualInfo* chosen = nullptr;
  const auto rank = [](const XVisualInfo& info) {
    const bool direct = info.depth == 24 && info.red_mask == 0xFF0000 &&
                        info.green_mask == 0x00FF00 && info.blue_mask == 0x0000FF;
    return direct ? 1000 : info.depth;
  };
  for (int i = 0; i < count; ++i) {
    if (found[i].visual == DefaultVisual(display_, screen_)) {
      chosen = &found[i];
      break;
    }
    if (chosen == nullptr || rank(found[i]) > rank(*chosen)) chosen = &found[i];
  }
  if (chosen == nullptr) {
    if (found != nullptr) XFree(found);
    fatalError("XGetVisualInfo failed: the display has no true-colour visual");
  }
  visual_ = chosen->visual;
  depth_ = chosen->depth;
  XFree(found);
  if (visual_ != DefaultVisual(display_, screen_)) {
    colormap_ = XCreateColormap(display_, root_, visual_, AllocNone);
  }
  scale_ = displayScaleFactor(display_);
  canvas_.setScale(scale_);

  static constexpr const char* kAtomNames[Atoms::kCount] = {
      "WM_PROTOCOLS",        "WM_DELETE_WINDOW",         "_NET_WM_PING",
      "_NET_WM_NAME",        "UTF8_STRING",              "_NET_WM_PID",
      "_NET_WM_ICON",        "_NET_WM_WINDOW_TYPE",      "_NET_WM_WINDOW_TYPE_NORMAL",
      "_NET_WM_STATE",       "_NET_WM_STATE_ABOVE",      "_NET_WM_WINDOW_OPACITY",
      "_NET_WORKAREA",       "_NET_CURRENT_DESKTOP",     "_NET_STARTUP_ID"};
  atoms_ = std::make_unique<Atoms>();
  // One round trip for all of them.
  XInternAtoms(display_, const_cast<char**>(kAtomNames), Atoms::kCount, False, atoms_->atom);
  image_ = std::make_unique<X11Image>(display_, visual_, depth_);
}

X11Host::~X11Host() {
  // A run that ends before its window was shown (out of memory) still ends its launch.
  if (!startupAnnounced_) announceStartupEnd(display_);
  image_.reset();
  if (gc_ != nullptr) XFreeGC(display_, gc_);
  if (window_ != 0) XDestroyWindow(display_, window_);
  if (colormap_ != 0) XFreeColormap(display_, colormap_);
  XCloseDisplay(display_);
  gHost = nullptr;
}

TextRenderer* X11Host::textRenderer() {
  if (textSource_) {
    text_ = textSource_();
    textSource_ = nullptr;
    canvas_.setTextRenderer(text_);
  }
  return text_;
}

void X11Host::fatalError(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::fflush(stderr);
  showFatalDialog(message);
  std::exit(kFatalExitCode);
}

void X11Host::showFatalDialog(const std::string& message) {
  // The run has failed and nothing needs saving: SIGTERM, SIGINT and SIGHUP close the dialog
  // (also one that arrives while the font is still being found), and the run ends as the
  // failure it is.
  if (!signals_) signals_.emplace();
  TextRenderer* text = textRenderer();
  // The dialog ends the launch; nothing should tell it again.
  startupAnnounced_ = true;
  showErrorDialog(message, text, signals_->fd());
}

void X11Host::displayLost() {
  // No request may be made from here on: windowPosition answers from what it last knew.
  gHost = nullptr;
  display_ = nullptr;
  // A lost display is the end of the session (the server ends at log-out): the program keeps
  // its settings as it does when the system ends the session, and the process ends here.
  if (windowMade_) send(msg::kEndSession, 1);
  std::fprintf(stderr, "deradu: lost the connection to the X display; the game ends\n");
  std::fflush(nullptr);
  std::_Exit(kFatalExitCode);
}

Size X11Host::fullScreenSize() {
  const Size root{DisplayWidth(display_, screen_), DisplayHeight(display_, screen_)};
  // A window manager publishes the area that panels leave free, per desktop.
  long desktop = 0;
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display_, root_, (*atoms_)[Atoms::kCurrentDesktop], 0, 1, False,
                         XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
      data != nullptr && format == 32 && count == 1) {
    desktop = reinterpret_cast<long*>(data)[0];
  }
  if (data != nullptr) XFree(data);
  data = nullptr;
  Size usable = root;
  if (desktop >= 0 &&
      XGetWindowProperty(display_, root_, (*atoms_)[Atoms::kWorkArea], desktop * 4, 4, False,
                         XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
      data != nullptr && format == 32 && count == 4) {
    const long* area = reinterpret_cast<long*>(data);
    if (area[2] > 0 && area[3] > 0) {
      usable = {static_cast<int>(std::min<long>(area[2], root.width)),
                static_cast<int>(std::min<long>(area[3], root.height))};
    }
  }
  if (data != nullptr) XFree(data);
  return usable;
}

bool X11Host::createWindow(const char* title, Point position) {
  // From here on a signal closes the window in order; before, it ended the process with
  // nothing written.
  if (!signals_) signals_.emplace();

  XSetWindowAttributes attributes{};
  // No background: the server leaves the area as it is until the frame is put, so nothing
  // flashes in another colour first.
  attributes.background_pixmap = None;
  attributes.border_pixel = 0;
  attributes.colormap = colormap_ != 0 ? colormap_ : DefaultColormap(display_, screen_);
  attributes.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask |
                          PointerMotionMask | EnterWindowMask | LeaveWindowMask |
                          StructureNotifyMask;
  // Windows makes the window with no size until WM_CREATE sizes it; X needs one pixel.
  window_ = XCreateWindow(display_, root_, position.x, position.y, 1, 1, 0, depth_, InputOutput,
                          visual_, CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask,
                          &attributes);
  if (window_ == 0) {
    std::fprintf(stderr, "XCreateWindow failed\n");
    showFatalDialog("XCreateWindow failed");
    return false;
  }
  windowMade_ = true;
  position_ = position;
  gc_ = XCreateGC(display_, window_, 0, nullptr);
  XSetGraphicsExposures(display_, gc_, False);

  XTextProperty name{};
  char* titleText = const_cast<char*>(title);
  XStringListToTextProperty(&titleText, 1, &name);
  XWMHints wmHints{};
  wmHints.flags = InputHint | StateHint;
  wmHints.input = True;
  wmHints.initial_state = NormalState;
  XClassHint classHint{};
  classHint.res_name = const_cast<char*>(kWindowClass);
  classHint.res_class = const_cast<char*>(kWindowClass);
  // WM_NAME, WM_ICON_NAME, WM_HINTS, WM_CLASS and WM_CLIENT_MACHINE in one call.
  XSetWMProperties(display_, window_, &name, &name, nullptr, 0, nullptr, &wmHints, &classHint);
  if (name.value != nullptr) XFree(name.value);
  setSizeHints(position);
  XChangeProperty(display_, window_, (*atoms_)[Atoms::kName], (*atoms_)[Atoms::kUtf8String], 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(title),
                  static_cast<int>(std::strlen(title)));
  Atom protocols[2] = {(*atoms_)[Atoms::kDeleteWindow], (*atoms_)[Atoms::kPing]};
  XSetWMProtocols(display_, window_, protocols, 2);
  const long pid = getpid();
  XChangeProperty(display_, window_, (*atoms_)[Atoms::kPid], XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  const long type = static_cast<long>((*atoms_)[Atoms::kWindowTypeNormal]);
  XChangeProperty(display_, window_, (*atoms_)[Atoms::kWindowType], XA_ATOM, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&type), 1);
  if (const char* startup = std::getenv("DESKTOP_STARTUP_ID"); startup != nullptr) {
    // Lets the window manager match the window to the launch that asked for it.
    XChangeProperty(display_, window_, (*atoms_)[Atoms::kStartupId],
                    (*atoms_)[Atoms::kUtf8String], 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(startup),
                    static_cast<int>(std::strlen(startup)));
  }
  setIcon();
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
  XSetWMNormalHints(display_, window_, &hints);
}

void X11Host::setIcon() {
  if (icon_ == nullptr || icon_->width <= 0 || icon_->height <= 0 ||
      icon_->pixels.size() < static_cast<std::size_t>(icon_->width) * icon_->height) {
    return;
  }
  // Width, height, then ARGB pixels; format 32 properties are C longs in Xlib.
  std::vector<long> data;
  data.reserve(2 + icon_->pixels.size());
  data.push_back(icon_->width);
  data.push_back(icon_->height);
  const std::size_t count = static_cast<std::size_t>(icon_->width) * icon_->height;
  for (std::size_t i = 0; i < count; ++i) {
    data.push_back(static_cast<long>(0xFF000000u | (icon_->pixels[i] & 0xFFFFFFu)));
  }
  XChangeProperty(display_, window_, (*atoms_)[Atoms::kIcon], XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(data.data()),
                  static_cast<int>(data.size()));
}

void X11Host::setTimer(int id, int milliseconds) {
  timerId_ = id;
  timer_.start(milliseconds);
}

void X11Host::resizeWindow(Size outer) {
  if (window_ == 0) return;
  client_ = {std::max(outer.width - kFrameWidth, 0), std::max(outer.height - kFrameHeight, 0)};
  // The fixed size moves with the window's, or a window manager would refuse the new one.
  setSizeHints(position_);
  const Size size = physicalClient();
  XResizeWindow(display_, window_, static_cast<unsigned>(std::max(size.width, 1)),
                static_cast<unsigned>(std::max(size.height, 1)));
  // The canvas draws straight into the shared segment where there is one.
  canvas_.resize(size.width, size.height, image_->prepare(size.width, size.height));
  // The window class redraws the whole window whenever its size changes.
  paintPending_ = true;
}

Size X11Host::clientSize() { return client_; }

Size X11Host::physicalClient() const {
  // X windows are at most 32767 pixels wide and high.
  constexpr std::int64_t kLargest = 32767;
  return {static_cast<int>(std::min(std::int64_t{client_.width} * scale_, kLargest)),
          static_cast<int>(std::min(std::int64_t{client_.height} * scale_, kLargest))};
}

Point X11Host::windowPosition() {
  if (display_ != nullptr && window_ != 0) refreshPosition();
  return position_;
}

void X11Host::refreshPosition() {
  // The window was placed by its frame (a window manager puts the frame's corner where the
  // window asked to be), so the frame's corner brings it back to the same place next time.
  // A reparenting window manager puts the window into a frame, at any depth; the frame is the
  // ancestor whose parent is the root. Without a window manager the window is its own frame.
  ::Window current = window_;
  for (int depth = 0; depth < 64; ++depth) {
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display_, current, &root, &parent, &children, &count) == 0) return;
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
  if (XGetGeometry(display_, current, &root, &x, &y, &width, &height, &border, &depthBits) != 0) {
    position_ = {x, y};
  }
}

void X11Host::setTopmost(bool topmost) {
  if (window_ == 0) return;
  const Atom state = (*atoms_)[Atoms::kState];
  const Atom above = (*atoms_)[Atoms::kStateAbove];
  if (!shown_) {
    // Before mapping the window's own property is the request.
    if (topmost) {
      const long value = static_cast<long>(above);
      XChangeProperty(display_, window_, state, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&value), 1);
    } else {
      XDeleteProperty(display_, window_, state);
    }
    return;
  }
  // A mapped window asks the window manager, which owns the property then.
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window_;
  event.xclient.message_type = state;
  event.xclient.format = 32;
  event.xclient.data.l[0] = topmost ? kStateAdd : kStateRemove;
  event.xclient.data.l[1] = static_cast<long>(above);
  event.xclient.data.l[2] = 0;
  event.xclient.data.l[3] = kSourceApplication;
  XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display_);
}

void X11Host::setOpacity(std::uint8_t alpha) {
  if (window_ == 0) return;
  const Atom opacity = (*atoms_)[Atoms::kOpacity];
  // No property is an opaque window; a compositor scales 0xFFFFFFFF to full opacity.
  if (alpha == 0xFF) {
    XDeleteProperty(display_, window_, opacity);
  } else {
    const long value = static_cast<long>(alpha * 0x01010101u);
    XChangeProperty(display_, window_, opacity, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&value), 1);
  }
  XFlush(display_);
}

void X11Host::showWindow() {
  if (window_ == 0) return;
  // UpdateWindow paints at once rather than waiting for the loop. The frame is painted while
  // the window is still unmapped and put as soon as it is mapped, so the window never shows an
  // empty area first; with a window manager the map waits for it and the exposure puts it.
  paintPending_ = false;
  // The font search, which reads the environment, has ended once this returns.
  textRenderer();
  send(msg::kPaint);
  XMapWindow(display_, window_);
  shown_ = true;
  putRectangle(0, 0, canvas_.width(), canvas_.height());
  XFlush(display_);
  announceStartupEnd(display_);
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
  if (XQueryPointer(display_, root_, &root, &child, &rootX, &rootY, &x, &y, &mask) == 0) {
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
    while (!quit_ && window_ != 0 && XPending(display_) > 0) {
      XNextEvent(display_, &event);
      handle(event);
    }
    if (quit_) break;
    if (paintPending_ && window_ != 0) {
      paintPending_ = false;
      send(msg::kPaint);
      continue;
    }
    if (window_ != 0 && timer_.takeTick()) {
      send(msg::kTimer, static_cast<std::uintptr_t>(timerId_));
      continue;
    }
    if (window_ == 0) break;
    // A tick that would change nothing is skipped, and the loop sleeps until the next event
    // rather than waking a hundred times a second; every change starts with an event, after
    // which the ticks run again.
    wait(timer_.sleepTimeout(procedure_.isIdle()));
  }
  return exitCode_;
}

void X11Host::wait(int timeout) {
  // XPending has sent every request and read everything queued, and a signal, even one that
  // landed after the loop last looked, leaves a byte in the signal pipe, so one poll on both
  // cannot sleep through either. A connection that closes wakes it too, and the next XPending
  // reports it.
  pollfd watched[2] = {{ConnectionNumber(display_), POLLIN, 0}, {-1, POLLIN, 0}};
  if (signals_) watched[1].fd = signals_->fd();
  // An interrupted or failed poll only sends the loop round once more; ignored on purpose.
  poll(watched, 2, timeout);
}

std::int64_t X11Host::currentTime() { return static_cast<std::int64_t>(std::time(nullptr)); }

void X11Host::handle(XEvent& event) {
  if (event.xany.window != window_) return;
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
      if (event.xclient.message_type != (*atoms_)[Atoms::kProtocols] ||
          event.xclient.format != 32) {
        break;
      }
      if (static_cast<Atom>(event.xclient.data.l[0]) == (*atoms_)[Atoms::kDeleteWindow]) {
        close();
      } else if (static_cast<Atom>(event.xclient.data.l[0]) == (*atoms_)[Atoms::kPing]) {
        // The answer is the same message, sent back to the root.
        event.xclient.window = root_;
        XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask,
                   &event);
      }
      break;
    case KeyPress: {
      // With Alt held Windows sends WM_SYSKEYDOWN, which the program never handles.
      if ((event.xkey.state & Mod1Mask) != 0) break;
      const int key = virtualKey(display_, event.xkey);
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
             msg::pointParam(event.xmotion.x / scale_, event.xmotion.y / scale_));
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
  const std::intptr_t point = msg::pointParam(button.x / scale_, button.y / scale_);
  if (press) {
    if (button.button == Button1) send(msg::kLeftButtonDown, mouseKeyState(state), point);
    if (button.button == Button3) send(msg::kRightButtonDown, mouseKeyState(state), point);
  } else if (button.button == Button1) {
    send(msg::kLeftButtonUp, mouseKeyState(state), point);
  }
}

void X11Host::close() {
  if (closing_ || window_ == 0) return;
  if (send(msg::kClose) != msg::kDefault) return;
  closing_ = true;
  // DefWindowProc's DestroyWindow: WM_DESTROY while the window still exists (the program reads
  // its position then), and the window goes afterwards.
  send(msg::kDestroy);
  // The canvas may be drawing into the image's segment.
  canvas_.resize(0, 0);
  image_.reset();
  XFreeGC(display_, gc_);
  gc_ = nullptr;
  XDestroyWindow(display_, window_);
  window_ = 0;
  XFlush(display_);
}

std::intptr_t X11Host::send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  return procedure_.windowProc(message, wParam, lParam);
}

void X11Host::present() {
  if (window_ == 0 || display_ == nullptr || !image_) return;
  image_->update(canvas_.pixels(), canvas_.width(), canvas_.height());
  // X keeps nothing put into an unmapped window; showWindow puts the frame once it is mapped.
  if (shown_) putRectangle(0, 0, canvas_.width(), canvas_.height());
}

void X11Host::putRectangle(int x, int y, int width, int height) {
  if (window_ == 0 || display_ == nullptr || !image_) return;
  image_->put(window_, gc_, x, y, width, height);
}

bool X11Host::pointInClient(int x, int y) const {
  const Size size = physicalClient();
  return x >= 0 && y >= 0 && x < size.width && y < size.height;
}
