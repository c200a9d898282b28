// Xlib's headers, with Xlib's Font type renamed to XlibFont because the drawing interface has a
// Font of its own. Include it before any project header.
#pragma once

#define Font XlibFont
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Font
