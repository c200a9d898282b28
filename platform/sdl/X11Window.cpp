// What the host asks of an SDL window's X window directly. Kept apart from the rest of the host
// because Xlib's names (Font, Window, ...) clash with the program's own.
#include "platform/sdl/X11Window.h"

#include <SDL2/SDL_syswm.h>

namespace {

bool x11Info(SDL_Window* window, SDL_SysWMinfo& info) {
  SDL_VERSION(&info.version);
  return SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11;
}

}  // namespace

bool x11FramePosition(SDL_Window* window, int& x, int& y) {
  SDL_SysWMinfo info;
  if (!x11Info(window, info)) return false;
  Display* display = info.info.x11.display;
  // A reparenting window manager puts the window into a frame, at any depth; the frame is the
  // ancestor whose parent is the root.
  ::Window current = info.info.x11.window;
  for (int depth = 0; depth < 64; ++depth) {
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, current, &root, &parent, &children, &count) == 0) return false;
    if (children != nullptr) XFree(children);
    if (parent == root || parent == 0) {
      // For a child of the root, the geometry's corner is the outer corner on the screen.
      int frameX = 0;
      int frameY = 0;
      unsigned width = 0;
      unsigned height = 0;
      unsigned border = 0;
      unsigned depthBits = 0;
      if (XGetGeometry(display, current, &root, &frameX, &frameY, &width, &height, &border,
                       &depthBits) == 0) {
        return false;
      }
      x = frameX;
      y = frameY;
      return true;
    }
    current = parent;
  }
  return false;
}

int x11ConnectionFd(SDL_Window* window) {
  SDL_SysWMinfo info;
  return x11Info(window, info) ? ConnectionNumber(info.info.x11.display) : -1;
}
