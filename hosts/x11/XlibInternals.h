// Xlib's request interface (Xlibint.h), for the extension requests the host makes itself. Only
// .cpp files that make requests include it, after their own header. _XGetRequest hands out the
// output buffer as it is: every field of a request is set, its padding too.
#pragma once

// Xproto.h names its own Font and takes it back at its end: included first, on its own, it is
// skipped where Xlibint.h includes it, so the rename below holds through Xlibint.h's Display.
#include <X11/Xproto.h>

#define Font XlibFont
#include <X11/Xlibint.h>
#undef Font
// Xlibint.h's own, which would shadow std::min and std::max.
#undef min
#undef max

// The Display the requests are made on is the one libX11 was built with.
static_assert(sizeof(_XDisplay::cursor_font) == sizeof(XID));
