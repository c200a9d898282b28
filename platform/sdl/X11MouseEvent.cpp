// Mouse events read straight from X events.
#include "platform/sdl/X11MouseEvent.h"

#include <SDL2/SDL_syswm.h>

std::optional<X11MouseEvent> x11MouseEvent(const SDL_SysWMmsg& message) {
  if (message.subsystem != SDL_SYSWM_X11) return std::nullopt;
  const XEvent& event = message.msg.x11.event;
  X11MouseEvent mouse;
  unsigned state = 0;
  switch (event.type) {
    case EnterNotify:
    case LeaveNotify:
      mouse.kind = event.type == EnterNotify ? X11MouseEvent::Kind::kEnter
                                             : X11MouseEvent::Kind::kLeave;
      mouse.x = event.xcrossing.x;
      mouse.y = event.xcrossing.y;
      state = event.xcrossing.state;
      break;
    case ButtonPress:
    case ButtonRelease: {
      const bool press = event.type == ButtonPress;
      mouse.kind = press ? X11MouseEvent::Kind::kPress : X11MouseEvent::Kind::kRelease;
      mouse.button = event.xbutton.button;
      mouse.x = event.xbutton.x;
      mouse.y = event.xbutton.y;
      // X gives the state from before the event.
      state = event.xbutton.state;
      const unsigned mask = mouse.button == Button1 ? Button1Mask
                            : mouse.button == Button3 ? Button3Mask
                                                      : 0u;
      state = press ? (state | mask) : (state & ~mask);
      break;
    }
    default:
      return std::nullopt;
  }
  mouse.leftDown = (state & Button1Mask) != 0;
  mouse.rightDown = (state & Button3Mask) != 0;
  return mouse;
}
