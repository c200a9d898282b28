// The RandR 1.5 GetMonitors request, made over Xlib's own connection.
#pragma once

#include <vector>

#include "hosts/x11/Xlib.h"
#include "platform/canvas.h"

struct ListedMonitor {
  Rect area;
  bool primary = false;
};

// The monitors the server lists for `root`'s screen, as they come; none where the server lacks
// RandR 1.5 or its answer does not add up.
std::vector<ListedMonitor> requestMonitors(Display* display, ::Window root);
