// The fatal-error dialog of the Linux program as a Wayland window.
#pragma once

#include <string>

class TextRenderer;

// Shows `message` as X11's showErrorDialog does (the same picture: the message and an OK
// button) in a fixed-size xdg_toplevel titled "Error", and returns once Enter, Escape, Space, a
// click on OK, the compositor's close or something to read at `stopFd` (-1 for none) ends it.
// Returns at once where no compositor answers. Wayland lets no program centre its window; the
// compositor places it.
void showWaylandErrorDialog(const std::string& message, TextRenderer* text, int stopFd = -1);
