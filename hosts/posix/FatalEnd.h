// The Linux hosts' one way out of a failure.
#pragma once

#include <string>

class TextRenderer;

// Shows the fatal-error dialog until OK, its close box or a byte on `stopFd` ends it.
using ErrorDialogShow = void (*)(const std::string& message, TextRenderer* text, int stopFd);

// The line on stderr, then `dialog` where one can be shown (null: none), then the fatal exit
// code. With `stopFd` below 0 the dialog gets a signal pipe of its own, so that SIGTERM, SIGINT
// and SIGHUP still close it. No destructors run: static objects may be in use on the font
// search's thread, and a lost connection must see no further request.
[[noreturn]] void endInFailure(const std::string& message, TextRenderer* text, int stopFd,
                               ErrorDialogShow dialog);
