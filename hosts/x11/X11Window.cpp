// What the game window and the fatal-error dialog share.
#include "hosts/x11/X11Window.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gfx/Bitmap.h"
#include "hosts/x11/MonitorRequest.h"
#include "hosts/x11/VisualPolicy.h"
#include "platform/hostConstants.h"

namespace {

void setText(Display* display, ::Window window, Atom property, Atom type, const char* text) {
  XChangeProperty(display, window, property, type, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(text),
                  static_cast<int>(std::strlen(text)));
}

void setCardinals(Display* display, ::Window window, Atom property, Atom type,
                  const std::vector<long>& values) {
  // Format 32 properties are C longs in Xlib.
  XChangeProperty(display, window, property, type, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(values.data()),
                  static_cast<int>(values.size()));
}

}  // namespace

Atoms::Atoms(Display* display) {
  static constexpr const char* kNames[kCount] = {
      "WM_PROTOCOLS",        "WM_DELETE_WINDOW",           "_NET_WM_PING",
      "_NET_WM_NAME",        "UTF8_STRING",                "_NET_WM_PID",
      "_NET_WM_ICON",        "_NET_WM_WINDOW_TYPE",        "_NET_WM_WINDOW_TYPE_NORMAL",
      "_NET_WM_WINDOW_TYPE_DIALOG", "_NET_WM_STATE",       "_NET_WM_STATE_ABOVE",
      "_NET_WM_WINDOW_OPACITY", "_NET_WORKAREA",           "_NET_CURRENT_DESKTOP",
      "_NET_STARTUP_ID"};
  XInternAtoms(display, const_cast<char**>(kNames), kCount, False, atom_);
}

std::optional<VisualChoice> pickVisual(Display* display, int screen) {
  XVisualInfo wanted{};
  wanted.screen = screen;
  int count = 0;
  XVisualInfo* found = XGetVisualInfo(display, VisualScreenMask, &wanted, &count);
  std::vector<VisualOffer> offers;
  for (int i = 0; i < count; ++i) {
    const XVisualInfo& info = found[i];
    offers.push_back({info.c_class == TrueColor, info.depth, info.red_mask, info.green_mask,
                      info.blue_mask, info.visual == DefaultVisual(display, screen)});
  }
  const int chosen = chooseVisual(offers);
  std::optional<VisualChoice> choice;
  if (chosen >= 0) {
    choice = VisualChoice{found[chosen].visual, found[chosen].depth, 0};
    if (!offers[static_cast<std::size_t>(chosen)].screenDefault) {
      choice->colormap =
          XCreateColormap(display, RootWindow(display, screen), choice->visual, AllocNone);
    }
  }
  if (found != nullptr) XFree(found);
  return choice;
}

std::vector<Rect> readMonitors(Display* display, int screen) {
  const Rect whole{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
  std::vector<Rect> monitors;
  for (const ListedMonitor& m : requestMonitors(display, RootWindow(display, screen))) {
    if (m.area.right <= m.area.left || m.area.bottom <= m.area.top) continue;
    if (m.primary) {
      monitors.insert(monitors.begin(), m.area);
    } else {
      monitors.push_back(m.area);
    }
  }
  if (monitors.empty()) monitors.push_back(whole);
  return monitors;
}

std::optional<Rect> readWorkArea(Display* display, int screen, const Atoms& atoms) {
  const ::Window root = RootWindow(display, screen);
  // One area per desktop; the current desktop's is the one that counts.
  long desktop = 0;
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, root, atoms[Atoms::kCurrentDesktop], 0, 1, False, XA_CARDINAL,
                         &type, &format, &count, &after, &data) == Success &&
      data != nullptr && format == 32 && count == 1) {
    desktop = reinterpret_cast<long*>(data)[0];
  }
  if (data != nullptr) XFree(data);
  data = nullptr;
  std::optional<Rect> area;
  if (desktop >= 0 && desktop < 1024 &&
      XGetWindowProperty(display, root, atoms[Atoms::kWorkArea], desktop * 4, 4, False,
                         XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
      data != nullptr && format == 32 && count == 4) {
    const long* value = reinterpret_cast<long*>(data);
    const long right = std::min<long>(value[0] + value[2], DisplayWidth(display, screen));
    const long bottom = std::min<long>(value[1] + value[3], DisplayHeight(display, screen));
    const long left = std::max<long>(value[0], 0);
    const long top = std::max<long>(value[1], 0);
    if (left < right && top < bottom) {
      area = Rect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                  static_cast<int>(bottom)};
    }
  }
  if (data != nullptr) XFree(data);
  return area;
}

VisualChoice defaultVisual(Display* display, int screen) {
  return {DefaultVisual(display, screen), DefaultDepth(display, screen), 0};
}

::Window makeWindow(Display* display, const VisualChoice& visual, int x, int y, int width,
                    int height, long events) {
  const int screen = DefaultScreen(display);
  XSetWindowAttributes attributes{};
  attributes.background_pixmap = None;
  attributes.border_pixel = 0;
  attributes.colormap =
      visual.colormap != 0 ? visual.colormap : DefaultColormap(display, screen);
  attributes.event_mask = events;
  return XCreateWindow(display, RootWindow(display, screen), x, y,
                       static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                       visual.depth, InputOutput, visual.visual,
                       CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask, &attributes);
}

void setIdentity(Display* display, ::Window window, const Atoms& atoms, const char* title,
                 Atoms::Name type, const BitmapView* icon) {
  XTextProperty name{};
  char* titleText = const_cast<char*>(title);
  XStringListToTextProperty(&titleText, 1, &name);
  XWMHints hints{};
  hints.flags = InputHint | StateHint;
  hints.input = True;
  hints.initial_state = NormalState;
  XClassHint classHint{};
  classHint.res_name = const_cast<char*>(host::kWindowClass);
  classHint.res_class = const_cast<char*>(host::kWindowClass);
  // WM_NAME, WM_ICON_NAME, WM_HINTS, WM_CLASS and WM_CLIENT_MACHINE in one call.
  XSetWMProperties(display, window, &name, &name, nullptr, 0, nullptr, &hints, &classHint);
  if (name.value != nullptr) XFree(name.value);
  setText(display, window, atoms[Atoms::kName], atoms[Atoms::kUtf8String], title);
  Atom protocols[2] = {atoms[Atoms::kDeleteWindow], atoms[Atoms::kPing]};
  XSetWMProtocols(display, window, protocols, 2);
  setCardinals(display, window, atoms[Atoms::kPid], XA_CARDINAL, {static_cast<long>(getpid())});
  setCardinals(display, window, atoms[Atoms::kWindowType], XA_ATOM,
               {static_cast<long>(atoms[type])});
  if (const char* startup = std::getenv("DESKTOP_STARTUP_ID"); startup != nullptr) {
    // Lets the window manager match the window to the launch that asked for it.
    setText(display, window, atoms[Atoms::kStartupId], atoms[Atoms::kUtf8String], startup);
  }
  if (icon == nullptr || icon->width <= 0 || icon->height <= 0 ||
      icon->pixels.size() < static_cast<std::size_t>(icon->width) * icon->height) {
    return;
  }
  // Width, height, then opaque ARGB pixels.
  std::vector<long> data;
  data.reserve(2 + icon->pixels.size());
  data.push_back(icon->width);
  data.push_back(icon->height);
  const std::size_t count = static_cast<std::size_t>(icon->width) * icon->height;
  for (std::size_t i = 0; i < count; ++i) {
    data.push_back(static_cast<long>(0xFF000000u | (icon->pixels[i] & 0xFFFFFFu)));
  }
  setCardinals(display, window, atoms[Atoms::kIcon], XA_CARDINAL, data);
}

bool closeRequested(Display* display, const Atoms& atoms, XEvent& event) {
  if (event.type != ClientMessage || event.xclient.message_type != atoms[Atoms::kProtocols] ||
      event.xclient.format != 32) {
    return false;
  }
  const auto protocol = static_cast<Atom>(event.xclient.data.l[0]);
  if (protocol == atoms[Atoms::kPing]) {
    // The answer is the same message, sent back to the root.
    const ::Window root = DefaultRootWindow(display);
    event.xclient.window = root;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  }
  return protocol == atoms[Atoms::kDeleteWindow];
}

bool waitForInput(Display* display, int stopFd, int timeout) {
  pollfd watched[2] = {{ConnectionNumber(display), POLLIN, 0}, {stopFd, POLLIN, 0}};
  // An interrupted or failed poll only sends the caller round once more; ignored on purpose.
  poll(watched, 2, timeout);
  return (watched[1].revents & POLLIN) != 0;
}
