// The pointer position carried by a raw X event.
#include "platform/sdl/X11PointerPosition.h"

#include <SDL2/SDL_syswm.h>

bool x11PointerPosition(const SDL_SysWMmsg& message, int& x, int& y) {
  if (message.subsystem != SDL_SYSWM_X11) return false;
  const XEvent& event = message.msg.x11.event;
  switch (event.type) {
    case MotionNotify:
      x = event.xmotion.x;
      y = event.xmotion.y;
      return true;
    case ButtonPress:
    case ButtonRelease:
      x = event.xbutton.x;
      y = event.xbutton.y;
      return true;
    case EnterNotify:
    case LeaveNotify:
      x = event.xcrossing.x;
      y = event.xcrossing.y;
      return true;
    default:
      return false;
  }
}
