// Win32 virtual-key codes for X key presses, read from the server's keyboard map.
#pragma once

#include <X11/Xlib.h>

// The virtual-key code of a key press, read from the keyboard map of the event's active group.
// Asks the server for the map each time (keys come at a person's pace), so a layout switched
// while the program runs applies from the next key on.
int virtualKey(Display* display, const XKeyEvent& event);
