// The whole-number scale the Linux program draws at and the monitor area it must fit; the rule
// is the player facts' "scale".
#pragma once

#include <optional>
#include <span>

#include "platform/canvas.h"
#include "platform/host.h"

// Xlib's Display, declared here so that users need not take in Xlib's macros.
struct _XDisplay;

// `gdkScale` (the GDK_SCALE variable, or null), else Xft.dpi in `screenResources` (the screen's
// own X resources' text, or null), else Xft.dpi in `resources` (the display's), else 1; never
// above SoftCanvas::kMaxScale.
int chooseScale(const char* gdkScale, const char* resources,
                const char* screenResources = nullptr);

// The scale asked for on this display: GDK_SCALE from the environment, the resources the
// server holds for the default screen (SCREEN_RESOURCES on its root, as `xrdb -screen` sets
// them), then for the display (RESOURCE_MANAGER, as `xrdb` sets them).
int displayScale(_XDisplay* display);

// The largest scale from `asked` down to 1 at which a window fits `area`: its client area
// `client` logical pixels, times the scale, plus a `frame` the window manager draws unscaled.
// 1 when even that does not fit: the window is never smaller than its scale-1 size.
int fittedScale(int asked, Size client, Size frame, const Rect& area);

// The index of the monitor that shows `point`, or -1 when none does.
int monitorAt(std::span<const Rect> monitors, Point point);

// The area a window whose title bar starts at `point` opens in: the monitor that shows the
// point, else the first one (the primary), cut to the work area a window manager publishes
// where the two meet. No monitors: the work area, else nothing.
std::optional<Rect> openingArea(std::span<const Rect> monitors, std::optional<Rect> workArea,
                                Point point);
