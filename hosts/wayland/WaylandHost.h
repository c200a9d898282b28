// The Linux host on a Wayland session: an xdg_toplevel presented from the software canvas.
//
// The Win32 behaviours it reproduces, as the X11 host does, so that one window procedure serves
// every program:
// - Paint after input: WM_PAINT only once no input waits. A changed picture is committed at
//   once, or, while the compositor has not yet shown the last one, when its frame callback
//   comes: frame callbacks are asked for only for a changed picture.
// - The timer grid (TimerSchedule.h): while the program says it is idle the loop sleeps on the
//   connection and the signal pipe without a timeout.
// - No capture: the compositor keeps sending the pointer to the window a button was pressed
//   in, but nothing outside the client area reaches the program, a release there included.
// - Close then destroy: WM_CLOSE, then WM_DESTROY while the window still exists.
// - Alt keys ignored; keys repeat where an X server would repeat them (WaylandKeyboard.h).
// - The client area's pixels are the X11 program's: the same canvas at factor 1. The buffer
//   is drawn at the scale of the outputs the window is on, a fractional one through the
//   viewport (BufferLayout.h); the window procedure sees logical pixels, as Wayland's surface
//   coordinates already are.
// What Wayland does not let a program do, it does not: it cannot place its window nor keep it
// above others, so the position it was given is answered back unchanged (placesWindow() is
// false: the program leaves the saved position as it was read) and keep-on-top does nothing.
// Transparency is the buffer's own alpha; no compositing manager is needed.
// An opaque picture is drawn straight into a wl_shm buffer the compositor does not hold, as the
// X11 host draws into its shared segment; a translucent one is converted from the canvas's own
// pixels, which stay unpremultiplied for the text later paints blend onto them. While the
// compositor holds the buffer, a paint that starts with a frame over the whole client area
// (paintOffscreen) gets a buffer without the last picture, the held one's memory given back
// first; any other drawing carries the picture into a free buffer before it draws.
// Decorations: the compositor's own through xdg-decoration where it offers them; elsewhere the
// host draws a title bar with the canvas (TitleBar.h says why not a decoration library).
// SIGTERM, SIGINT and SIGHUP close the window as its close button does, once it exists.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/SoftCanvas.h"
#include "hosts/posix/SignalPipe.h"
#include "hosts/posix/TimerSchedule.h"
#include "hosts/wayland/BufferLayout.h"
#include "hosts/wayland/TitleBar.h"
#include "hosts/wayland/WaylandSeat.h"
#include "platform/host.h"

class BitmapSource;
class ShmBuffers;
class TextRenderer;
class WaylandClient;

class WaylandHost final : public Host, private WaylandSeat::Listener {
 public:
  // Gives the text renderer (or null); called once, before the first paint or for a fatal
  // error report.
  using TextSource = std::function<TextRenderer*()>;

  // The host on a compositor that speaks xdg-shell; null when there is none, so that the
  // program can try X11 instead. `bitmaps` and what `text` gives may be null and must outlive
  // the host.
  static std::unique_ptr<WaylandHost> open(WindowProcedure& procedure, const BitmapSource* bitmaps,
                                           TextSource text);
  ~WaylandHost() override;
  WaylandHost(const WaylandHost&) = delete;
  WaylandHost& operator=(const WaylandHost&) = delete;

  Size fullScreenSize() override;
  bool createWindow(const char* title, Point position) override;
  void setTimer(int id, int milliseconds) override;
  void resizeWindow(Size outer) override;
  Size clientSize() override;
  Point windowPosition() override;
  bool placesWindow() const override { return false; }
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

  // As X11Host::fail, with the dialog as a Wayland window: `message` on stderr, the dialog
  // where a compositor can show one (SIGTERM, SIGINT and SIGHUP close it too), then the
  // process ends with host::kFatalExitCode.
  [[noreturn]] static void fail(const std::string& message, TextRenderer* text = nullptr);

 private:
  // The Wayland objects of the window and the seat, and the listeners' entry points.
  struct Objects;
  friend struct Objects;

  WaylandHost(WindowProcedure& procedure, const BitmapSource* bitmaps, TextSource text,
              std::unique_ptr<WaylandClient> client);

  std::intptr_t send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
  // Commits the picture now, or marks it for the next frame callback or released buffer.
  void present();
  // The surface's logical size: the client area and, when the host draws it, the title bar.
  Size surfaceSize() const;
  int barHeight() const { return drawsBar_ ? TitleBar::kHeight : 0; }
  // Chooses the buffer layout again after a scale or size change; a new factor repaints.
  void updateLayout();
  void setSizeLimits();
  // The memory the next opaque picture is drawn into, the bar's rows first: a buffer the
  // compositor does not hold; empty while all are held, for a translucent picture (converted
  // from the canvas's own pixels), or where a canvas of these physical sizes does not fill the
  // buffer's rows.
  std::span<std::uint32_t> drawingMemory(Size client, Size bar, bool fresh = false);
  // Called before anything is drawn: the canvas and the bar draw into drawingMemory(), the
  // picture carried over when it is other memory than before; for a frame over the whole client
  // area (`wholeFrame`), only the bar's rows.
  void placeCanvas(bool wholeFrame = false);
  void drawBar();
  // The seat's events, in logical surface coordinates.
  void pointerEntered(const wl_surface* surface, int x, int y) override;
  void pointerLeft() override;
  void pointerMoved(int x, int y) override;
  void pointerButton(std::uint32_t serial, std::uint32_t button, bool pressed) override;
  void keyPressed(int virtualKey) override;
  void close();
  // The compositor is gone: the settings are kept where a window was made, then the run fails.
  [[noreturn]] void connectionLost();
  TextRenderer* textRenderer();

  // What beginPaint and getDC give: the canvas, placed by each call made through it, so that
  // a paint learns where it may draw only once its first call says whether it covers it all.
  class PaintTarget final : public Canvas {
   public:
    explicit PaintTarget(WaylandHost& host) : host_(host) {}
    void blit(int bitmapId, int x, int y, int width, int height) override;
    void rectangle(const Rect& area, const Pen& pen, std::optional<Colour> brush) override;
    void line(Point from, Point to, const Pen& pen) override;
    void text(const Rect& area, std::string_view text, const Font& font, Colour colour) override;
    void paintOffscreen(int width, int height, Painter& painter) override;

   private:
    WaylandHost& host_;
  };

  WindowProcedure& procedure_;
  TextSource textSource_;
  TextRenderer* text_ = nullptr;
  std::unique_ptr<WaylandClient> wayland_;
  std::unique_ptr<Objects> objects_;
  std::unique_ptr<ShmBuffers> buffers_;
  std::unique_ptr<WaylandSeat> seat_;
  std::optional<SignalPipe> signals_;

  std::string title_;
  Size client_;
  Point position_;
  SoftCanvas canvas_;
  // The title bar's pixels, present only while the host draws it.
  SoftCanvas bar_;
  PaintTarget target_{*this};
  // The buffer memory the bar and the canvas draw into; null while they have their own.
  const std::uint32_t* drawnInto_ = nullptr;
  bool drawsBar_ = false;
  bool active_ = false;
  TitleBar::Part barPressed_ = TitleBar::Part::kNone;

  BufferLayout layout_;
  // The layout of the buffer committed last.
  BufferLayout shownLayout_;
  // The outputs the surface is on, and the fractional preference (120ths, 0 for none).
  std::vector<const void*> entered_;
  int preferred120_ = 0;
  std::uint8_t alpha_ = 0xFF;

  // Pointer: over the surface, where (logical), which buttons are down.
  bool pointerIn_ = false;
  int pointerX_ = 0;
  int pointerY_ = 0;
  bool leftDown_ = false;
  bool rightDown_ = false;

  bool paintPending_ = false;
  // The picture changed since the last commit.
  bool dirty_ = false;
  bool configured_ = false;
  bool shown_ = false;
  bool windowMade_ = false;
  bool activated_ = false;

  int timerId_ = 0;
  TimerSchedule timer_;
  bool quit_ = false;
  int exitCode_ = 0;
  bool closing_ = false;
};
