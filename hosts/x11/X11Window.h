// What the game window and the fatal-error dialog share: the atoms, the visual, the window's
// identity, the window-manager protocols and the wait on the connection. Takes in Xlib, so only
// hosts/x11's own .cpp files include it.
#pragma once

#include "hosts/x11/Xlib.h"

#include <optional>
#include <vector>

#include "platform/canvas.h"

struct BitmapView;

// The atoms both windows use, fetched in one round trip.
class Atoms {
 public:
  enum Name {
    kProtocols,
    kDeleteWindow,
    kPing,
    kName,
    kUtf8String,
    kPid,
    kIcon,
    kWindowType,
    kWindowTypeNormal,
    kWindowTypeDialog,
    kState,
    kStateAbove,
    kOpacity,
    kWorkArea,
    kCurrentDesktop,
    kStartupId,
    kCount
  };
  explicit Atoms(Display* display);
  Atom operator[](Name name) const { return atom_[name]; }

 private:
  Atom atom_[kCount] = {};
};

// The visual a window is made with, and the colormap it needs.
struct VisualChoice {
  Visual* visual = nullptr;
  int depth = 0;
  // Made for a visual other than the screen's default; 0 for the default one.
  Colormap colormap = 0;
};

// The screen's visual chooseVisual (VisualPolicy.h) picks, with a colormap where it needs one;
// nothing without a TrueColor visual. The colormap is the caller's to free.
std::optional<VisualChoice> pickVisual(Display* display, int screen);
// The screen's default visual, whatever its class.
VisualChoice defaultVisual(Display* display, int screen);

// An unmapped window of the choice's visual, placed by its corner. It has no background, so
// nothing shows in another colour before the first picture is put.
::Window makeWindow(Display* display, const VisualChoice& visual, int x, int y, int width,
                    int height, long events);

// The screen's monitors as RandR 1.5 lists them, the primary first; the whole screen where the
// server lists none.
std::vector<Rect> readMonitors(Display* display, int screen);
// The free area of the current desktop a window manager publishes (_NET_WORKAREA), within the
// screen; nothing where none does.
std::optional<Rect> readWorkArea(Display* display, int screen, const Atoms& atoms);

// Who the window is: WM_NAME and _NET_WM_NAME `title`, WM_CLASS "winMain" (the contract),
// input focus wanted, the process, the window type `type`, the launch it answers
// (DESKTOP_STARTUP_ID), WM_DELETE_WINDOW and _NET_WM_PING, and `icon` where not null.
void setIdentity(Display* display, ::Window window, const Atoms& atoms, const char* title,
                 Atoms::Name type, const BitmapView* icon);

// For a WM_PROTOCOLS message: answers _NET_WM_PING itself, and says whether it is the close
// box's WM_DELETE_WINDOW.
bool closeRequested(Display* display, const Atoms& atoms, XEvent& event);

// Sleeps until the connection has something to read, `stopFd` (-1: none) has, or `timeout`
// milliseconds (-1: no limit) have passed; true when `stopFd` has. Called once XPending has
// found nothing queued: it has sent every request, so no answer can still be waiting to be
// asked for. A connection that closes wakes it too, and the next XPending reports it.
bool waitForInput(Display* display, int stopFd, int timeout);
