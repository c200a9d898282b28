// The Windows host: the "winMain" window class, one layered window and its message loop.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/host.h"
#include "hosts/win32/GdiCanvas.h"
#include "hosts/win32/Win32Api.h"

// Direct USER32/GDI32 calls and nothing more: every window message goes to the portable window
// procedure as it is, and whatever that leaves to the default goes to DefWindowProcA.
class Win32Host final : public Host {
 public:
  // `instance` owns the resources (icon, bitmaps); `procedure` must outlive the host.
  Win32Host(HINSTANCE instance, WindowProcedure& procedure);
  ~Win32Host() override;
  Win32Host(const Win32Host&) = delete;
  Win32Host& operator=(const Win32Host&) = delete;

  // RegisterClassA for "winMain". A failure ends the process through the fatal error report.
  void registerWindowClass();

  std::filesystem::path settingsPath() override;
  Size fullScreenSize() override;
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
  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam);

  HINSTANCE instance_;
  WindowProcedure& procedure_;
  // Set by WM_NCCREATE, before WM_CREATE reaches the procedure; cleared by WM_NCDESTROY.
  HWND window_ = nullptr;

  PAINTSTRUCT paint_{};
  std::optional<GdiCanvas> paintCanvas_;
  HDC windowDc_ = nullptr;
  std::optional<GdiCanvas> windowCanvas_;
};
