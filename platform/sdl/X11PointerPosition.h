// The pointer position carried by a raw X event, read apart from the rest of the host because
// Xlib's names (Font, Window, ...) clash with the program's own.
#pragma once

struct SDL_SysWMmsg;

// True when `message` is an X pointer event (motion, button, crossing); then x and y are its
// position relative to the event's window.
bool x11PointerPosition(const SDL_SysWMmsg& message, int& x, int& y);
