// The Linux host: an X11 window with its event loop and timer, presented from a software canvas.
//
// The Win32 behaviours it reproduces, so that one window procedure serves both programs:
// - Paint after input: WM_PAINT only once no input waits; an exposure puts the last frame
//   again without one. The first frame is painted before the window is mapped and put as
//   soon as it is.
// - The timer grid: ticks on the period's grid, 10 ms at the fastest, no missed ticks sent,
//   delivered by the loop on its one thread; while the program says it is idle the loop
//   sleeps without a timeout (TimerSchedule.h).
// - No capture: X holds the pointer for a pressed button, but nothing outside the client area
//   reaches the program, a release there included.
// - Close then destroy: WM_CLOSE, then WM_DESTROY while the window still exists, then the
//   window goes.
// - Alt keys ignored: keys with Alt held are system keys, which the program never handles.
// - The frame size: the outer size is the client size plus a 6 x 25 frame; the window is
//   placed by its outer corner and cannot be resized.
// - No DPI awareness as such: the window procedure sees logical pixels throughout. At a scale
//   s (Scale.h) the X window is s times the client size, the canvas draws at s, and mouse
//   positions are divided by s. Screen positions (the window's corner, the usable
//   screen size) stay in physical pixels, so a saved place means the same at any scale. The
//   scale is the largest one asked for at which the wide window fits the free area of the
//   monitor the window opens on.
// SIGTERM, SIGINT and SIGHUP close the window as its close box does, once it exists; before
// that they end the process as they would any other, and during the fatal-error dialog they
// close it, the run then ending as the failure it is.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/host.h"
#include "gfx/SoftCanvas.h"
#include "hosts/posix/SignalPipe.h"
#include "hosts/posix/TimerSchedule.h"

class BitmapSource;
class TextRenderer;
struct BitmapView;
// Xlib's event, declared here so that includers need not take in Xlib.
union _XEvent;

// Translates X events into the window procedure's Win32-numbered messages and presents the
// canvas, talking to the X server through Xlib.
class X11Host final : public Host {
 public:
  // Gives the text renderer (or null); called once, before the first paint or for a fatal
  // error report, so finding the font can go on elsewhere until then.
  using TextSource = std::function<TextRenderer*()>;

  // Opens the display; when there is none (libX11 itself missing too), or it cannot show the
  // canvas, the fatal error report ends the process. `bitmaps` and what `text` gives may be
  // null and must outlive the host; `icon`, when given, becomes the window's icon.
  X11Host(WindowProcedure& procedure, const BitmapSource* bitmaps, TextSource text,
          const BitmapView* icon = nullptr);
  ~X11Host() override;
  X11Host(const X11Host&) = delete;
  // Whether libX11 loads and an X display can be opened, for a program that can fall back on
  // another host.
  static bool displayAvailable();
  X11Host& operator=(const X11Host&) = delete;

  Size fullScreenSize() override;
  bool monitorShows(Point point) override;
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

  // The Linux program's one way to end in failure: `message` in one line on stderr, then,
  // unless the display was lost, in the error dialog where a display can show one (SIGTERM,
  // SIGINT and SIGHUP close it too), and the process ends with host::kFatalExitCode. For a
  // failure with no host (out of memory), `text` may be null: the dialog then has no words.
  [[noreturn]] static void fail(const std::string& message, TextRenderer* text = nullptr);

  // Called by Xlib's I/O error handler when the connection is gone (the server ended, or
  // another client killed it): once the window was made, WM_ENDSESSION lets the program keep
  // its settings, answered from the last known position without any X request; then the
  // program fails, without a dialog.
  [[noreturn]] void displayLost();

 private:
  // The X side: the connection, the atoms, the visual, the window and its image.
  struct Server;

  void handle(_XEvent& event);
  void handleButton(const _XEvent& event);
  // WM_CLOSE, and DefWindowProc's answer to it: WM_DESTROY, then the window goes.
  void close();
  std::intptr_t send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
  void present();
  void putRectangle(int x, int y, int width, int height);
  // In physical (X window) pixels.
  bool pointInClient(int x, int y) const;
  // The client area in X window pixels: the logical one times the scale.
  Size physicalClient() const;
  // Asks the server where the outer corner is now and keeps it for when it cannot be asked.
  void refreshPosition();
  void setSizeHints(Point position);
  // fail(), with the text renderer and the signal pipe the host has.
  [[noreturn]] void fatal(const std::string& message);

  // The text renderer, taken from the text source the first time.
  TextRenderer* textRenderer();

  WindowProcedure& procedure_;
  TextSource textSource_;
  TextRenderer* text_ = nullptr;
  const BitmapView* icon_ = nullptr;
  std::unique_ptr<Server> x_;
  std::optional<SignalPipe> signals_;

  Size client_;
  Point position_;
  SoftCanvas canvas_;
  // The scale the environment and the resources ask for; the window draws at the largest one
  // not above it that fits its monitor (Scale.h).
  int askedScale_ = 1;

  // Whether the pointer is over the window, as Enter and Leave say; moves count only then.
  bool pointerInWindow_ = false;
  // Like Windows, an invalidated window gets WM_PAINT only once no input is waiting.
  bool paintPending_ = false;
  // Whether showWindow has mapped the window; frames painted before are put only then.
  bool shown_ = false;
  // Whether the window was ever made: from then on a lost display still saves the settings.
  bool windowMade_ = false;
  // Whether the launcher was told that the start is over.
  bool startupAnnounced_ = false;

  int timerId_ = 0;
  TimerSchedule timer_;

  bool quit_ = false;
  int exitCode_ = 0;
  bool closing_ = false;
};
