// The fatal-error dialog of the Linux program, drawn with the program's own canvas and text.
#pragma once

#include <string>

class TextRenderer;

// Shows `message` in a small fixed-size window titled "Error", centred on the screen, with an
// OK button, and returns once Enter, Escape, a click on OK, the window's close box or something
// to read at `stopFd` (the signal pipe; -1 for none) ends it. The dialog is the end of a launch:
// it tells the launcher so once it is shown. Opens and closes a display connection of its own;
// returns at once where there is no display or no libX11 (the caller has written the message
// to stderr before). A null or fontless `text` still shows the window and the button, without
// their text. Should its connection be lost meanwhile (the dialog killed, the server ended), the
// process ends at once with host::kFatalExitCode and says nothing more.
void showErrorDialog(const std::string& message, TextRenderer* text, int stopFd = -1);
