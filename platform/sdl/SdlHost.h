// The Linux host: an SDL2 window with its event loop and timer, presented from a software canvas.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/host.h"
#include "platform/sdl/SignalPipe.h"
#include "platform/soft/SoftCanvas.h"

struct SDL_Surface;
struct SDL_SysWMmsg;
struct SDL_Window;
union SDL_Event;

class BitmapSource;
class TextRenderer;
struct BitmapView;

// Translates SDL events into the window procedure's Win32-numbered messages and presents the
// canvas through SDL's window surface (software, no renderer). One window, one thread: the
// timer fires from the event loop, never from a thread of its own.
class SdlHost final : public Host {
 public:
  // Initialises SDL's video; when that fails (no display) the fatal error report ends the
  // process. `bitmaps` and `text` may be null and must outlive the host; `icon`, when given,
  // becomes the window's icon.
  SdlHost(WindowProcedure& procedure, const BitmapSource* bitmaps, TextRenderer* text,
          const BitmapView* icon = nullptr);
  ~SdlHost() override;
  SdlHost(const SdlHost&) = delete;
  SdlHost& operator=(const SdlHost&) = delete;

  std::string settingsPath() override;
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
  struct WindowDeleter {
    void operator()(SDL_Window* window) const;
  };
  struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const;
  };

  // Sleeps until input, a signal, or `timeout` milliseconds (-1: no limit) have passed.
  void wait(int timeout);
  void handle(const SDL_Event& event);
  // Mouse events from SDL: all of them where the video driver is not X11, else the moves.
  void handleMouse(const SDL_Event& event);
  void handleX11Mouse(const SDL_SysWMmsg& message);
  // WM_CLOSE, and DefWindowProc's answer to it: WM_DESTROY, then the window goes.
  void close();
  std::intptr_t send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
  void present();
  bool pointInClient(int x, int y) const;

  WindowProcedure& procedure_;
  SignalPipe signals_;
  const BitmapView* icon_ = nullptr;
  bool sdlReady_ = false;

  std::unique_ptr<SDL_Window, WindowDeleter> window_;
  std::uint32_t windowId_ = 0;
  // The X connection to wait on, -1 when the window is not an X window.
  int x11Fd_ = -1;
  Size client_;
  SoftCanvas canvas_;
  // SDL's view of the canvas pixels, rebuilt whenever the canvas is resized.
  std::unique_ptr<SDL_Surface, SurfaceDeleter> canvasSurface_;

  // On X, buttons come from the X events and moves from SDL while the pointer is in the window.
  bool x11Mouse_ = false;
  bool pointerInWindow_ = false;

  // Like Windows, an invalidated window gets WM_PAINT only once no input is waiting.
  bool paintPending_ = false;
  // Whether showWindow has mapped the window; frames painted before are put only then.
  bool shown_ = false;

  int timerId_ = 0;
  std::uint64_t timerPeriod_ = 0;
  std::uint64_t timerDeadline_ = 0;

  bool quit_ = false;
  int exitCode_ = 0;
  bool closing_ = false;
};
