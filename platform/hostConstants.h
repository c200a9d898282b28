// Values every host shares so that both programs, and the test host, present the same window.
#pragma once

namespace host {

// The window class, which the X11 host also gives its window as WM_CLASS.
inline constexpr char kWindowClass[] = "winMain";

// The icon's resource id; the Linux program's resource store keeps the same id.
inline constexpr int kIconId = 100;

// What the classic frame of this window style takes from the outer size on Windows; the
// program sizes its window by the outer size and lays out by the client size.
inline constexpr int kFrameWidth = 6;
inline constexpr int kFrameHeight = 25;
// The largest outer size the program gives its window (the wide one, with the side panel): a
// host that chooses its scale keeps this on the monitor, so widening never pushes it off.
inline constexpr int kWidestOuterWidth = 870;
inline constexpr int kWidestOuterHeight = 426;

// Windows never runs a timer faster than this, in milliseconds; the X11 host keeps the same floor.
inline constexpr int kMinimumTimerPeriod = 10;

// The exit code of a run that cannot go on: no window possible, the display lost, no memory.
inline constexpr int kFatalExitCode = 2;

}  // namespace host
