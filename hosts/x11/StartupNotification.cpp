// The end of a launch, told to the launcher that shows a busy cursor meanwhile.
#include "hosts/x11/StartupNotification.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// The startup-notification value syntax: quoted when it holds a space, with '"' and '\' escaped.
std::string quotedValue(std::string_view value) {
  std::string text;
  const bool quote = value.find(' ') != std::string_view::npos;
  if (quote) text += '"';
  for (const char c : value) {
    if (c == '"' || c == '\\') text += '\\';
    text += c;
  }
  if (quote) text += '"';
  return text;
}

}  // namespace

void announceStartupEnd(Display* display) {
  const char* id = std::getenv("DESKTOP_STARTUP_ID");
  if (display == nullptr || id == nullptr) return;
  const std::string message = "remove: ID=" + quotedValue(id);
  const ::Window root = DefaultRootWindow(display);
  const Atom begin = XInternAtom(display, "_NET_STARTUP_INFO_BEGIN", False);
  const Atom more = XInternAtom(display, "_NET_STARTUP_INFO", False);
  // The message goes to the root in pieces of 20 bytes, the first marked as the beginning, the
  // last ending in its terminating NUL, from a window that exists only for it.
  const ::Window sender =
      XCreateWindow(display, root, -100, -100, 1, 1, 0, 0, InputOnly, CopyFromParent, 0, nullptr);
  const std::size_t total = message.size() + 1;
  for (std::size_t offset = 0; offset < total; offset += 20) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = sender;
    event.xclient.message_type = offset == 0 ? begin : more;
    event.xclient.format = 8;
    const std::size_t length = std::min<std::size_t>(20, total - offset);
    std::memcpy(event.xclient.data.b, message.c_str() + offset, length);
    XSendEvent(display, root, False, PropertyChangeMask, &event);
  }
  XDestroyWindow(display, sender);
  XFlush(display);
}
