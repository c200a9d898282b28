// The whole-number scale the Linux program draws at; the rule is the player facts' "scale".
#pragma once

// Xlib's Display, declared here so that users need not take in Xlib's macros.
struct _XDisplay;

// `gdkScale` (the GDK_SCALE variable, or null), else Xft.dpi in `resources` (the X resources'
// text, or null), else 1; never above SoftCanvas::kMaxScale.
int chooseScale(const char* gdkScale, const char* resources);

// The scale for this display: GDK_SCALE from the environment, the resources the server holds
// for the screen (RESOURCE_MANAGER on the root window, as xrdb sets them).
int displayScale(_XDisplay* display);
