// What the portable program asks of the platform: one window, its timer, and a few services.
#pragma once

#include <cstdint>
#include <string>

#include "platform/canvas.h"

// The portable window procedure, which every host feeds with Win32-numbered messages.
class WindowProcedure {
 public:
  virtual std::intptr_t windowProc(std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t lParam) = 0;

  // True when a timer tick now would change nothing: nothing to repaint, no label, banner or
  // game state to bring up to date. A host may then stop ticking until the next message.
  virtual bool isIdle() const { return false; }

 protected:
  ~WindowProcedure() = default;
};

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

class Host {
 public:
  virtual ~Host() = default;

  // Usable screen size (SM_CXFULLSCREEN, SM_CYFULLSCREEN).
  virtual Size fullScreenSize() = 0;

  // Creates the hidden main window with its outer top-left corner at `position`. The host sends
  // WM_CREATE to the window procedure before this returns. False when no window could be made.
  virtual bool createWindow(const char* title, Point position) = 0;

  // SetTimer: after this, WM_TIMER with `id` arrives about every `milliseconds` (10 ms at least).
  virtual void setTimer(int id, int milliseconds) = 0;

  // SetWindowPos(..., SWP_NOMOVE): the outer size of the window, frame included.
  virtual void resizeWindow(Size outer) = 0;
  // GetClientRect.
  virtual Size clientSize() = 0;
  // GetWindowRect's top-left corner, in screen coordinates.
  virtual Point windowPosition() = 0;
  // Whether the window goes where createWindow asks and windowPosition says where it is. Where
  // it does not (Wayland places every window itself), the program keeps the saved position
  // as it was read.
  virtual bool placesWindow() const { return true; }

  // HWND_TOPMOST / HWND_NOTOPMOST.
  virtual void setTopmost(bool topmost) = 0;
  // SetLayeredWindowAttributes(..., alpha, LWA_ALPHA).
  virtual void setOpacity(std::uint8_t alpha) = 0;
  // ShowWindow(SW_SHOWNORMAL) and UpdateWindow.
  virtual void showWindow() = 0;

  // GetAsyncKeyState(VK_LBUTTON) != 0.
  virtual bool isLeftButtonDown() = 0;

  // ShellExecuteA("open", url): the desktop's URL opener. The result is ignored on purpose.
  virtual void openUrl(const std::string& url) = 0;

  // The window's device context: BeginPaint/EndPaint for WM_PAINT, GetDC/ReleaseDC elsewhere.
  // Each begin returns a canvas valid until the matching end.
  virtual Canvas& beginPaint() = 0;
  virtual void endPaint() = 0;
  virtual Canvas& getDC() = 0;
  virtual void releaseDC() = 0;

  // PostQuitMessage: the message loop ends once the current message has been handled.
  virtual void postQuit(int exitCode) = 0;
  // Runs the message loop until the quit message; returns its exit code (wParam).
  virtual int runMessageLoop() = 0;

  // time(NULL): seconds since the epoch, for seeding new games.
  virtual std::int64_t currentTime() = 0;
};
