// The Windows host: the "winMain" window class, one layered window and its message loop.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/host.h"

// The module handle, as windows.h declares it; the system headers stay inside the host's sources.
struct HINSTANCE__;

// Direct USER32/GDI32 calls and nothing more: every window message goes to the portable window
// procedure as it is, and whatever that leaves to the default goes to DefWindowProcA. The one
// translation is the DPI's: the game works in 96-dpi pixels whatever the window's DPI, so mouse
// points reach it divided back, client sizes are reported in its pixels and WM_DPICHANGED is
// the host's own. Window positions stay in screen pixels.
class Win32Host final : public Host {
 public:
  // Registers the "winMain" window class (RegisterClassA) for `instance`, the module that owns
  // the resources (icon, bitmaps); a failure ends the process through the fatal error report.
  // `procedure` must outlive the host.
  Win32Host(HINSTANCE__* instance, WindowProcedure& procedure);
  ~Win32Host() override;
  Win32Host(const Win32Host&) = delete;
  Win32Host& operator=(const Win32Host&) = delete;

  Size fullScreenSize() override;
  // A window that cannot be made is reported as a fatal error is, and gives false.
  bool createWindow(const char* title, Point position) override;
  void setTimer(int id, int milliseconds) override;
  void resizeWindow(Size outer) override;
  Size clientSize() override;
  Point windowPosition() override;
  void setTopmost(bool topmost) override;
  void setOpacity(std::uint8_t alpha) override;
  void showWindow() override;
  bool isLeftButtonDown() override;
  void openUrl(const std::string& url) override;
  Canvas& beginPaint() override;
  void endPaint() override;
  Canvas& getDC() override;
  void releaseDC() override;
  void postQuit(int exitCode) override;
  int runMessageLoop() override;
  std::int64_t currentTime() override;

 private:
  // The window's handles and paint state, and the system's window procedure (Win32Host.cpp).
  struct Window;
  std::unique_ptr<Window> window_;
};
