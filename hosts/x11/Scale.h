// The whole-number factor the Linux program draws at: GDK_SCALE, else Xft.dpi, else 1.
#pragma once

// Xlib's Display, declared here so that users need not take in Xlib's macros.
struct _XDisplay;

// The factor is an integer so that every pixel of the game stays crisp; it is at most this,
// where the wide window (870 x 426 at 1) is already about as wide as a 4K screen.
inline constexpr int kMaxScaleFactor = 4;

// `gdkScale` (the GDK_SCALE variable, or null) when it is a positive whole number, as other X11
// programs take it; otherwise Xft.dpi from `resources` (the X resources' text, or null) divided
// by 96 and rounded to the nearest whole number, halves up: below 144 dpi 1, from 144 2, from
// 240 3, from 336 4; otherwise 1. Never above kMaxScaleFactor.
int chooseScaleFactor(const char* gdkScale, const char* resources);

// The factor for this display: GDK_SCALE from the environment, the resources the server holds
// for the screen (RESOURCE_MANAGER on the root window, as xrdb sets them).
int displayScaleFactor(_XDisplay* display);
