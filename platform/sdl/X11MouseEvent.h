// Mouse events read straight from X events, kept apart from the rest of the host because
// Xlib's names (Font, Window, ...) clash with the program's own.
#pragma once

#include <optional>

struct SDL_SysWMmsg;

struct X11MouseEvent {
  enum class Kind { kEnter, kLeave, kPress, kRelease };
  Kind kind = Kind::kEnter;
  // X's button number for presses and releases: 1 left, 2 middle, 3 right, 4 and up the wheel.
  unsigned button = 0;
  // Relative to the event's window; outside it while X holds the pointer for a pressed button.
  int x = 0;
  int y = 0;
  // The buttons held once the event has happened.
  bool leftDown = false;
  bool rightDown = false;
};

// The event `message` carries when it is the pointer entering or leaving the window or a
// button press or release. Motion is not among them: SDL takes it through XInput2, where only
// SDL itself can read it.
std::optional<X11MouseEvent> x11MouseEvent(const SDL_SysWMmsg& message);
