// Which display protocol the Linux program speaks, chosen at start: Wayland or X11.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/host.h"

class ResourceStore;
class TextRenderer;

// Wayland where a compositor answers (WAYLAND_DISPLAY, else the default socket in
// XDG_RUNTIME_DIR), libwayland-client can be opened and xdg-shell is offered; X11 otherwise.
// DERADU_BACKEND=wayland or =x11 puts that one first; when the first cannot start (neither can
// without its library, which is opened only then), the other is tried, and when neither can,
// the X11 host's fatal error report ends the process.
std::unique_ptr<Host> makeHost(WindowProcedure& procedure, const ResourceStore& resources,
                               std::function<TextRenderer*()> text);

// The fatal error report of the host chosen (X11 before any was): the line on stderr, the
// dialog where it can be shown, host::kFatalExitCode.
[[noreturn]] void failOnDisplay(const std::string& message, TextRenderer* text);
