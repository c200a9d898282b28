// Win32 virtual-key codes for X key presses, read from the server's keyboard map.
#pragma once

// Xlib's names (Font, None, Bool ...) clash with the canvas's and GoogleTest's, so this header
// belongs only in files that talk to X; the rule itself is in VirtualKey.h.
#include "hosts/x11/Xlib.h"

// The virtual-key code of a key press (see virtualKeyFor), read from the keyboard map of the
// event's active group. Asks the server for the map each time, a round trip of some tens of
// microseconds locally; keys come at a person's pace, and a layout switched while the program
// runs applies from the next key on.
int virtualKey(Display* display, const XKeyEvent& event);
