// The end of a launch, told to the launcher that shows a busy cursor meanwhile.
#pragma once

#include "hosts/x11/Xlib.h"

// Sends the startup-notification "remove" message for the launch named by DESKTOP_STARTUP_ID,
// so the launcher stops its busy cursor; nothing without the variable. Every way a start ends
// where a display is open sends it: the window shown, or the error dialog.
void announceStartupEnd(Display* display);
