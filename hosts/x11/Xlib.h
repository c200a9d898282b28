// Xlib's headers, and its functions taken from libX11 when a run first talks to X rather than
// linked: on Wayland the program never maps libX11, libxcb and what they bring. Include it
// before any project header. Xlib's Font type is renamed XlibFont because the drawing
// interface has a Font of its own.
#pragma once

// Xproto.h names its own Font and takes it back at its end: included first, on its own, it is
// skipped where Xlibint.h includes it, so the rename below holds through Xlibint.h's Display.
#include <X11/Xproto.h>

#define Font XlibFont
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xlibint.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#undef Font
// Xlibint.h's own, which would shadow std::min and std::max.
#undef min
#undef max

#include "gfx/SharedLibrary.h"

// The Display the requests (Xlibint.h's interface, for the extension requests the host makes
// itself) are made on is the one libX11 was built with. _XGetRequest hands out the output
// buffer as it is: every field of a request is set, its padding too.
static_assert(sizeof(_XDisplay::cursor_font) == sizeof(XID));

// Every function of libX11 the hosts call, Xlib's macros' own included (FlushGC's
// _XFlushGCCache); the other macros they use reach only the Display's and the XImage's fields
// and the functions those hold.
#define DERADU_XLIB_FUNCTIONS(F)                                                              \
  F(XChangeProperty) F(XCloseDisplay) F(XCreateColormap) F(XCreateGC) F(XCreateImage)         \
  F(XCreateWindow) F(XDeleteProperty) F(XDestroyWindow) F(XDisplayKeycodes) F(XDisplayName)   \
  F(XFlush) F(XFree) F(XFreeColormap) F(XFreeGC) F(XGetGeometry) F(XGetVisualInfo)            \
  F(XGetWindowProperty) F(XInitImage) F(XInternAtom) F(XInternAtoms) F(XLookupKeysym)         \
  F(XMapRaised) F(XMapWindow) F(XNextEvent) F(XOpenDisplay) F(XPending) F(XPutImage)          \
  F(XQueryExtension) F(XQueryPointer) F(XQueryTree) F(XResizeWindow)                          \
  F(XResourceManagerString) F(XScreenResourceString) F(XSendEvent) F(XSetErrorHandler)        \
  F(XSetGraphicsExposures) F(XSetIOErrorHandler) F(XSetWMNormalHints) F(XSetWMProperties)     \
  F(XSetWMProtocols) F(XStringListToTextProperty) F(XSync) F(XkbFreeKeyboard) F(XkbGetMap)    \
  F(XkbGetNames) F(XkbTranslateKeyCode) F(XrmDestroyDatabase) F(XrmGetResource)               \
  F(XrmGetStringDatabase) F(XrmInitialize) F(_XEatDataWords) F(_XFlushGCCache)                \
  F(_XGetRequest) F(_XRead) F(_XReply)

namespace xlib {

struct Functions {
  DERADU_XLIB_FUNCTIONS(DERADU_FUNCTION_SLOT)
};

// The name libX11 is opened by; DERADU_LIBX11 names another (the tests, one that does not
// exist).
inline constexpr const char* kSoname = "libX11.so.6";

// Whether libX11 could be opened with every function above; opens it the first time. Any
// call into Xlib needs it true: the hosts ask before their first.
bool available();

// The functions; all null when !available().
const Functions& functions();

}  // namespace xlib

// From here on the hosts' calls read as Xlib's and go through the table.
#ifndef DERADU_XLIB_TABLE_FILLER
#define XChangeProperty (xlib::functions().XChangeProperty)
#define XCloseDisplay (xlib::functions().XCloseDisplay)
#define XCreateColormap (xlib::functions().XCreateColormap)
#define XCreateGC (xlib::functions().XCreateGC)
#define XCreateImage (xlib::functions().XCreateImage)
#define XCreateWindow (xlib::functions().XCreateWindow)
#define XDeleteProperty (xlib::functions().XDeleteProperty)
#define XDestroyWindow (xlib::functions().XDestroyWindow)
#define XDisplayKeycodes (xlib::functions().XDisplayKeycodes)
#define XDisplayName (xlib::functions().XDisplayName)
#define XFlush (xlib::functions().XFlush)
#define XFree (xlib::functions().XFree)
#define XFreeColormap (xlib::functions().XFreeColormap)
#define XFreeGC (xlib::functions().XFreeGC)
#define XGetGeometry (xlib::functions().XGetGeometry)
#define XGetVisualInfo (xlib::functions().XGetVisualInfo)
#define XGetWindowProperty (xlib::functions().XGetWindowProperty)
#define XInitImage (xlib::functions().XInitImage)
#define XInternAtom (xlib::functions().XInternAtom)
#define XInternAtoms (xlib::functions().XInternAtoms)
#define XLookupKeysym (xlib::functions().XLookupKeysym)
#define XMapRaised (xlib::functions().XMapRaised)
#define XMapWindow (xlib::functions().XMapWindow)
#define XNextEvent (xlib::functions().XNextEvent)
#define XOpenDisplay (xlib::functions().XOpenDisplay)
#define XPending (xlib::functions().XPending)
#define XPutImage (xlib::functions().XPutImage)
#define XQueryExtension (xlib::functions().XQueryExtension)
#define XQueryPointer (xlib::functions().XQueryPointer)
#define XQueryTree (xlib::functions().XQueryTree)
#define XResizeWindow (xlib::functions().XResizeWindow)
#define XResourceManagerString (xlib::functions().XResourceManagerString)
#define XScreenResourceString (xlib::functions().XScreenResourceString)
#define XSendEvent (xlib::functions().XSendEvent)
#define XSetErrorHandler (xlib::functions().XSetErrorHandler)
#define XSetGraphicsExposures (xlib::functions().XSetGraphicsExposures)
#define XSetIOErrorHandler (xlib::functions().XSetIOErrorHandler)
#define XSetWMNormalHints (xlib::functions().XSetWMNormalHints)
#define XSetWMProperties (xlib::functions().XSetWMProperties)
#define XSetWMProtocols (xlib::functions().XSetWMProtocols)
#define XStringListToTextProperty (xlib::functions().XStringListToTextProperty)
#define XSync (xlib::functions().XSync)
#define XkbFreeKeyboard (xlib::functions().XkbFreeKeyboard)
#define XkbGetMap (xlib::functions().XkbGetMap)
#define XkbGetNames (xlib::functions().XkbGetNames)
#define XkbTranslateKeyCode (xlib::functions().XkbTranslateKeyCode)
#define XrmDestroyDatabase (xlib::functions().XrmDestroyDatabase)
#define XrmGetResource (xlib::functions().XrmGetResource)
#define XrmGetStringDatabase (xlib::functions().XrmGetStringDatabase)
#define XrmInitialize (xlib::functions().XrmInitialize)
#define _XEatDataWords (xlib::functions()._XEatDataWords)
#define _XFlushGCCache (xlib::functions()._XFlushGCCache)
#define _XGetRequest (xlib::functions()._XGetRequest)
#define _XRead (xlib::functions()._XRead)
#define _XReply (xlib::functions()._XReply)
#endif
