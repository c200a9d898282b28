// The test host: the whole program with no window. Tests post messages, advance ticks and read
// the last frame's pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/hostConstants.h"
#include "gfx/SoftCanvas.h"

class BitmapSource;
class TextRenderer;

class HeadlessHost final : public Host {
 public:
  // The frame draws with these bitmaps and text (either may be null).
  HeadlessHost(WindowProcedure& procedure, const BitmapSource* bitmaps, TextRenderer* text);

  // Test controls.
  void setFullScreenSize(Size size) { fullScreen_ = size; }
  void setTime(std::int64_t seconds) { time_ = seconds; }
  void moveWindow(Point position) { position_ = position; }
  // As the Wayland host: the window goes where the desktop puts it.
  void setPlacesWindow(bool places) { placesWindow_ = places; }
  // Physical pixels per logical one in the frame, as the X11 host's scale; set it before
  // the window is made.
  void setScale(int scale) { frame_.setScale(scale); }
  // Sends one message to the window procedure now, as the message loop would dispatch it.
  // Left presses and releases also update the button state GetAsyncKeyState reports.
  std::intptr_t send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
  void click(int x, int y);
  void key(int virtualKey);
  void ticks(int count);

  // What the program did to its window.
  const SoftCanvas& frame() const { return frame_; }
  bool windowCreated() const { return created_; }
  bool shown() const { return shown_; }
  bool topmost() const { return topmost_; }
  std::uint8_t opacity() const { return opacity_; }
  Size outerSize() const { return outer_; }
  Point createdAt() const { return createdAt_; }
  int timerId() const { return timerId_; }
  int timerMilliseconds() const { return timerMilliseconds_; }
  const std::vector<std::string>& openedUrls() const { return urls_; }
  bool quitPosted() const { return quit_; }
  int paintCount() const { return paints_; }
  // True between a begin and its end: painting outside a paint is a programming error.
  bool insidePaint() const { return inPaint_; }

  // Host.
  Size fullScreenSize() override { return fullScreen_; }
  bool createWindow(const char* title, Point position) override;
  void setTimer(int id, int milliseconds) override;
  void resizeWindow(Size outer) override;
  Size clientSize() override;
  Point windowPosition() override { return position_; }
  bool placesWindow() const override { return placesWindow_; }
  void setTopmost(bool topmost) override { topmost_ = topmost; }
  void setOpacity(std::uint8_t alpha) override { opacity_ = alpha; }
  void showWindow() override { shown_ = true; }
  bool isLeftButtonDown() override { return leftDown_; }
  void openUrl(const std::string& url) override { urls_.push_back(url); }
  Canvas& beginPaint() override;
  void endPaint() override;
  Canvas& getDC() override { return beginPaint(); }
  void releaseDC() override { endPaint(); }
  void postQuit(int exitCode) override;
  int runMessageLoop() override { return exitCode_; }
  std::int64_t currentTime() override { return time_; }

  // The client area is the outer size less the frame Win32 reports for this window style.
  static constexpr int kFrameWidth = host::kFrameWidth;
  static constexpr int kFrameHeight = host::kFrameHeight;

 private:
  WindowProcedure& procedure_;
  SoftCanvas frame_;
  Size fullScreen_{1024, 768};
  std::int64_t time_ = 1;
  Point position_;
  Point createdAt_;
  Size outer_;
  bool created_ = false;
  bool shown_ = false;
  bool topmost_ = false;
  bool placesWindow_ = true;
  std::uint8_t opacity_ = 255;
  bool leftDown_ = false;
  bool quit_ = false;
  bool inPaint_ = false;
  int exitCode_ = 0;
  int timerId_ = 0;
  int timerMilliseconds_ = 0;
  int paints_ = 0;
  std::vector<std::string> urls_;
};
