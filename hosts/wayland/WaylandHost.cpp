// The Linux host on a Wayland session: an xdg_toplevel presented from the software canvas.
#include "hosts/wayland/WaylandHost.h"

#include <linux/input-event-codes.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <span>

#include "hosts/posix/FatalEnd.h"
#include "hosts/posix/TimerSchedule.h"
#include "hosts/posix/UrlOpener.h"
#include "hosts/wayland/ShmBuffers.h"
#include "hosts/wayland/WaylandClient.h"
#include "hosts/wayland/WaylandErrorDialog.h"
#include "hosts/wayland/WaylandLibrary.h"
#include "hosts/wayland/WaylandSeat.h"
#include "platform/hostConstants.h"
#include "platform/messages.h"
#include "wayland/fractional-scale-v1-client-protocol.h"
#include "wayland/viewporter-client-protocol.h"
#include "wayland/xdg-activation-v1-client-protocol.h"
#include "wayland/xdg-decoration-unstable-v1-client-protocol.h"
#include "wayland/xdg-shell-client-protocol.h"

namespace {

using host::kFatalExitCode;
using host::kFrameHeight;
using host::kFrameWidth;

// A mouse message's wParam.
std::uintptr_t heldButtons(bool left, bool right) {
  return (left ? msg::kLeftButtonHeld : 0) | (right ? msg::kRightButtonHeld : 0);
}

constexpr const char* kConnectionLost =
    "lost the connection to the Wayland compositor; the game ends";

}  // namespace

struct WaylandHost::Objects {
  wl_surface* surface = nullptr;
  xdg_surface* shellSurface = nullptr;
  xdg_toplevel* toplevel = nullptr;
  zxdg_toplevel_decoration_v1* decoration = nullptr;
  wp_viewport* viewport = nullptr;
  wp_fractional_scale_v1* fractional = nullptr;
  wl_callback* frame = nullptr;

  static WaylandHost& host(void* data) { return *static_cast<WaylandHost*>(data); }

  // The surface's outputs decide the whole-number scale.
  static void enter(void* data, wl_surface*, wl_output* output) {
    WaylandHost& self = host(data);
    if (std::find(self.entered_.begin(), self.entered_.end(), output) == self.entered_.end()) {
      self.entered_.push_back(output);
    }
    self.updateLayout();
  }
  static void leave(void* data, wl_surface*, wl_output* output) {
    WaylandHost& self = host(data);
    std::erase(self.entered_, static_cast<const void*>(output));
    self.updateLayout();
  }
  static void preferredScale(void* data, wp_fractional_scale_v1*, std::uint32_t scale) {
    WaylandHost& self = host(data);
    self.preferred120_ = static_cast<int>(std::min<std::uint32_t>(scale, 120 * 16));
    self.updateLayout();
  }

  static void configure(void* data, xdg_surface* shellSurface, std::uint32_t serial) {
    WaylandHost& self = host(data);
    xdg_surface_ack_configure(shellSurface, serial);
    self.configured_ = true;
    // An acknowledged configure takes effect with the next commit.
    self.dirty_ = true;
    if (self.shown_) self.present();
  }
  static void toplevelConfigure(void* data, xdg_toplevel*, std::int32_t, std::int32_t,
                                wl_array* states) {
    // The size is the program's own; only whether the window is the active one shows, on the
    // title bar the host draws.
    WaylandHost& self = host(data);
    bool active = false;
    const auto* state = static_cast<const std::uint32_t*>(states->data);
    for (std::size_t i = 0; i < states->size / sizeof(std::uint32_t); ++i) {
      if (state[i] == XDG_TOPLEVEL_STATE_ACTIVATED) active = true;
    }
    if (active != self.active_) {
      self.active_ = active;
      // Only the bar the host draws shows it; the compositor's own needs no new frame.
      if (self.drawsBar_) self.drawBar();
    }
  }
  static void toplevelClose(void* data, xdg_toplevel*) { host(data).close(); }
  static void decorationMode(void* data, zxdg_toplevel_decoration_v1*, std::uint32_t mode) {
    WaylandHost& self = host(data);
    const bool drawsBar = mode != ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE;
    if (drawsBar == self.drawsBar_) return;
    self.drawsBar_ = drawsBar;
    self.setSizeLimits();
    self.updateLayout();
  }
  static void frameDone(void* data, wl_callback* callback, std::uint32_t) {
    WaylandHost& self = host(data);
    wl_callback_destroy(callback);
    self.objects_->frame = nullptr;
    if (self.dirty_) self.present();
  }
};

std::unique_ptr<WaylandHost> WaylandHost::open(WindowProcedure& procedure,
                                               const BitmapSource* bitmaps, TextSource text) {
  std::unique_ptr<WaylandClient> client = WaylandClient::connect();
  if (!client) return nullptr;
  return std::unique_ptr<WaylandHost>(
      new WaylandHost(procedure, bitmaps, std::move(text), std::move(client)));
}

WaylandHost::WaylandHost(WindowProcedure& procedure, const BitmapSource* bitmaps, TextSource text,
                         std::unique_ptr<WaylandClient> client)
    : procedure_(procedure),
      textSource_(std::move(text)),
      wayland_(std::move(client)),
      objects_(std::make_unique<Objects>()),
      canvas_(0, 0, bitmaps, nullptr),
      bar_(0, 0, nullptr, nullptr) {
  buffers_ = std::make_unique<ShmBuffers>(wayland_->shm(), [this] {
    if (dirty_) present();
  });
  // Until the surface enters an output, the largest scale is the likeliest one.
  layout_ = chooseBufferLayout({}, 0, wayland_->largestScale());
  canvas_.setScale(layout_.factor);
  bar_.setScale(layout_.factor);
}

WaylandHost::~WaylandHost() {
  seat_.reset();
  Objects& objects = *objects_;
  if (objects.frame != nullptr) wl_callback_destroy(objects.frame);
  if (objects.fractional != nullptr) wp_fractional_scale_v1_destroy(objects.fractional);
  if (objects.viewport != nullptr) wp_viewport_destroy(objects.viewport);
  if (objects.decoration != nullptr) zxdg_toplevel_decoration_v1_destroy(objects.decoration);
  if (objects.toplevel != nullptr) xdg_toplevel_destroy(objects.toplevel);
  if (objects.shellSurface != nullptr) xdg_surface_destroy(objects.shellSurface);
  if (objects.surface != nullptr) wl_surface_destroy(objects.surface);
  buffers_.reset();
}

TextRenderer* WaylandHost::textRenderer() {
  if (textSource_) {
    text_ = textSource_();
    textSource_ = nullptr;
    canvas_.setTextRenderer(text_);
    bar_.setTextRenderer(text_);
  }
  return text_;
}

void WaylandHost::fail(const std::string& message, TextRenderer* text) {
  endInFailure(message, text, -1, showWaylandErrorDialog);
}

void WaylandHost::connectionLost() {
  // The end of the session, as on X: the program keeps its settings. Nothing asks the
  // compositor anything from here on.
  if (windowMade_) send(msg::kEndSession, 1);
  endInFailure(kConnectionLost, nullptr, -1, nullptr);
}

Size WaylandHost::fullScreenSize() {
  // The largest output in logical pixels; a Wayland program is told no work area.
  Size size;
  for (const auto& output : wayland_->outputs()) {
    size.width = std::max(size.width, output->width / output->scale);
    size.height = std::max(size.height, output->height / output->scale);
  }
  return size;
}

bool WaylandHost::createWindow(const char* title, Point position) {
  if (!signals_) signals_.emplace();
  title_ = title;
  position_ = position;
  Objects& objects = *objects_;
  objects.surface = wl_compositor_create_surface(wayland_->compositor());
  static const wl_surface_listener surfaceListener = {.enter = Objects::enter,
                                                      .leave = Objects::leave};
  wl_surface_add_listener(objects.surface, &surfaceListener, this);
  objects.shellSurface = xdg_wm_base_get_xdg_surface(wayland_->shell(), objects.surface);
  static const xdg_surface_listener shellSurfaceListener = {.configure = Objects::configure};
  xdg_surface_add_listener(objects.shellSurface, &shellSurfaceListener, this);
  objects.toplevel = xdg_surface_get_toplevel(objects.shellSurface);
  static const xdg_toplevel_listener toplevelListener = {.configure = Objects::toplevelConfigure,
                                                         .close = Objects::toplevelClose,
                                                         .configure_bounds = nullptr,
                                                         .wm_capabilities = nullptr};
  xdg_toplevel_add_listener(objects.toplevel, &toplevelListener, this);
  xdg_toplevel_set_title(objects.toplevel, title);
  xdg_toplevel_set_app_id(objects.toplevel, DERADU_APP_ID);
  if (wayland_->decorations() != nullptr) {
    objects.decoration = zxdg_decoration_manager_v1_get_toplevel_decoration(wayland_->decorations(),
                                                                            objects.toplevel);
    static const zxdg_toplevel_decoration_v1_listener decorationListener = {
        .configure = Objects::decorationMode};
    zxdg_toplevel_decoration_v1_add_listener(objects.decoration, &decorationListener, this);
    zxdg_toplevel_decoration_v1_set_mode(objects.decoration,
                                         ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE);
  } else {
    drawsBar_ = true;
  }
  if (wayland_->fractionalScale() != nullptr && wayland_->viewporter() != nullptr) {
    objects.fractional = wp_fractional_scale_manager_v1_get_fractional_scale(
        wayland_->fractionalScale(), objects.surface);
    static const wp_fractional_scale_v1_listener fractionalListener = {.preferred_scale =
                                                                           Objects::preferredScale};
    wp_fractional_scale_v1_add_listener(objects.fractional, &fractionalListener, this);
    objects.viewport = wp_viewporter_get_viewport(wayland_->viewporter(), objects.surface);
  }
  // A scale changed on an output the window is on draws the window anew at it.
  wayland_->watchOutputs([this] { updateLayout(); });
  seat_ = std::make_unique<WaylandSeat>(*wayland_, static_cast<WaylandSeat::Listener&>(*this));
  windowMade_ = true;
  send(msg::kCreate);
  setSizeLimits();
  // The first commit, without a buffer, asks for the first configure; the frame is painted
  // meanwhile and attached once it comes.
  wl_surface_commit(objects.surface);
  if (wl_display_flush(wayland_->display()) < 0 && errno != EAGAIN) connectionLost();
  return true;
}

void WaylandHost::setSizeLimits() {
  if (objects_->toplevel == nullptr) return;
  // Equal limits make a window tiling compositors float and nobody resizes.
  const Size size = surfaceSize();
  xdg_toplevel_set_min_size(objects_->toplevel, size.width, size.height);
  xdg_toplevel_set_max_size(objects_->toplevel, size.width, size.height);
}

Size WaylandHost::surfaceSize() const {
  return {std::max(client_.width, 1), std::max(client_.height, 1) + barHeight()};
}

void WaylandHost::setTimer(int id, int milliseconds) {
  timerId_ = id;
  timer_.start(milliseconds);
}

void WaylandHost::resizeWindow(Size outer) {
  if (objects_->surface == nullptr) return;
  client_ = {std::max(outer.width - kFrameWidth, 0), std::max(outer.height - kFrameHeight, 0)};
  setSizeLimits();
  updateLayout();
  paintPending_ = true;
}

void WaylandHost::updateLayout() {
  int outputScale = 1;
  for (const void* output : entered_) {
    if (const auto* known = wayland_->find(static_cast<const wl_output*>(output))) {
      outputScale = std::max(outputScale, known->scale);
    }
  }
  if (entered_.empty()) outputScale = wayland_->largestScale();
  const BufferLayout layout = chooseBufferLayout(surfaceSize(), preferred120_, outputScale);
  const Size physicalClient{client_.width * layout.factor, client_.height * layout.factor};
  // The same layout (an output entered, a scale that was already the largest) needs no frame:
  // a commit would only take a buffer the compositor may still hold.
  bool changed = layout != layout_;
  layout_ = layout;
  const Size bar =
      drawsBar_ ? Size{physicalClient.width, TitleBar::kHeight * layout.factor} : Size{};
  const bool clientResized = layout.factor != canvas_.scale() ||
                             canvas_.width() != physicalClient.width ||
                             canvas_.height() != physicalClient.height;
  if (clientResized || bar_.width() != bar.width || bar_.height() != bar.height) {
    canvas_.setScale(layout.factor);
    bar_.setScale(layout.factor);
    // Both start black in a buffer of the new size (the old ones are gone), the bar redrawn
    // below.
    const auto words = [](Size size) {
      return static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height);
    };
    std::span<std::uint32_t> memory = drawingMemory(physicalClient, bar);
    if (memory.size() < words(bar) + words(physicalClient)) memory = {};
    drawnInto_ = memory.data();
    bar_.resize(bar.width, bar.height, memory.first(memory.empty() ? 0 : words(bar)));
    canvas_.resize(physicalClient.width, physicalClient.height,
                   memory.subspan(memory.empty() ? 0 : words(bar)));
    // The window class redraws the whole window whenever its size changes.
    if (clientResized) paintPending_ = true;
    changed = true;
  }
  if (seat_) seat_->setArrowScale(layout.factor);
  if (changed) drawBar();
}

std::span<std::uint32_t> WaylandHost::drawingMemory(Size client, Size bar, bool fresh) {
  const Size buffer = layout_.buffer;
  if (buffers_ == nullptr || alpha_ != 0xFF || client.width != buffer.width ||
      (bar.height > 0 && bar.width != buffer.width)) {
    return {};
  }
  ShmBuffers::Buffer* drawable =
      fresh ? buffers_->fresh(buffer.width, buffer.height, ShmFormat::kXrgb8888)
            : buffers_->drawable(buffer.width, buffer.height, ShmFormat::kXrgb8888);
  if (drawable == nullptr) return {};
  return {drawable->pixels, drawable->bytes / sizeof(std::uint32_t)};
}

void WaylandHost::placeCanvas(bool wholeFrame) {
  // The frame needs nothing of the picture the compositor holds but the bar's few rows, kept
  // aside while the held buffer is given back: two full-size pictures are never resident.
  const bool discard = wholeFrame && drawnInto_ != nullptr && buffers_->drawnShown();
  if (discard) bar_.moveTo({});
  const std::span<std::uint32_t> memory =
      drawingMemory({canvas_.width(), canvas_.height()}, {bar_.width(), bar_.height()}, discard);
  // A new buffer may be mapped where the one given back was: the bar still moves into it.
  if (!discard && memory.data() == drawnInto_ && drawnInto_ != nullptr) return;
  const std::size_t barWords = bar_.pixels().size();
  // Else memory of their own: all buffers are held, or the picture is converted when presented.
  const bool fits = memory.size() >= barWords + canvas_.pixels().size();
  const std::span<std::uint32_t> none;
  drawnInto_ = fits ? memory.data() : nullptr;
  bar_.moveTo(fits ? memory.first(barWords) : none);
  const std::span<std::uint32_t> client = fits ? memory.subspan(barWords) : none;
  if (discard) {
    canvas_.moveToDiscarding(client);
  } else {
    canvas_.moveTo(client);
  }
}

void WaylandHost::PaintTarget::blit(int bitmapId, int x, int y, int width, int height) {
  host_.placeCanvas();
  host_.canvas_.blit(bitmapId, x, y, width, height);
}

void WaylandHost::PaintTarget::rectangle(const Rect& area, const Pen& pen,
                                         std::optional<Colour> brush) {
  host_.placeCanvas();
  host_.canvas_.rectangle(area, pen, brush);
}

void WaylandHost::PaintTarget::line(Point from, Point to, const Pen& pen) {
  host_.placeCanvas();
  host_.canvas_.line(from, to, pen);
}

void WaylandHost::PaintTarget::text(const Rect& area, std::string_view text, const Font& font,
                                    Colour colour) {
  host_.placeCanvas();
  host_.canvas_.text(area, text, font, colour);
}

void WaylandHost::PaintTarget::paintOffscreen(int width, int height, Painter& painter) {
  SoftCanvas& canvas = host_.canvas_;
  // The frame is the canvas's own clip, logical sizes times the scale.
  const auto covers = [&canvas](int logical, int physical) {
    return std::int64_t{logical} * canvas.scale() >= physical;
  };
  host_.placeCanvas(covers(width, canvas.width()) && covers(height, canvas.height()));
  canvas.paintOffscreen(width, height, painter);
}

void WaylandHost::drawBar() {
  if (drawsBar_ && bar_.width() > 0) {
    placeCanvas();
    TitleBar::draw(bar_, client_.width, title_, active_, barPressed_);
  }
  dirty_ = true;
  present();
}

Size WaylandHost::clientSize() { return client_; }

Point WaylandHost::windowPosition() { return position_; }

void WaylandHost::setTopmost(bool) {
  // Wayland lets no program keep itself above others; the switch is kept and saved all the same.
}

void WaylandHost::setOpacity(std::uint8_t alpha) {
  if (alpha == alpha_) return;
  alpha_ = alpha;
  // The canvas leaves buffers of the old format before they are dropped.
  placeCanvas();
  dirty_ = true;
  present();
}

void WaylandHost::showWindow() {
  if (objects_->surface == nullptr) return;
  // Painted while the first configure is on its way; committed once it is there.
  paintPending_ = false;
  textRenderer();
  send(msg::kPaint);
  // The bar drawn at the window's creation had no text yet.
  drawBar();
  while (!configured_) {
    if (wl_display_dispatch(wayland_->display()) < 0) connectionLost();
  }
  shown_ = true;
  dirty_ = true;
  present();
  // The launcher's token, for a compositor that raises only windows it was asked to: the
  // window is the launch it stands for. Help's browser is a launch of its own, so neither it
  // nor the X11 startup identity is handed on. The font search, the only other reader of the
  // environment, has ended.
  if (const char* token = std::getenv("XDG_ACTIVATION_TOKEN");
      token != nullptr && wayland_->activation() != nullptr) {
    xdg_activation_v1_activate(wayland_->activation(), token, objects_->surface);
  }
  unsetenv("XDG_ACTIVATION_TOKEN");
  unsetenv("DESKTOP_STARTUP_ID");
  if (wl_display_flush(wayland_->display()) < 0 && errno != EAGAIN) connectionLost();
}

bool WaylandHost::isLeftButtonDown() { return leftDown_; }

void WaylandHost::openUrl(const std::string& url) { startUrlOpener(url); }

Canvas& WaylandHost::beginPaint() {
  paintPending_ = false;
  textRenderer();
  return target_;
}

void WaylandHost::endPaint() {
  dirty_ = true;
  present();
}

Canvas& WaylandHost::getDC() {
  textRenderer();
  return target_;
}

void WaylandHost::releaseDC() {
  dirty_ = true;
  present();
}

void WaylandHost::present() {
  Objects& objects = *objects_;
  // Until the first configure nothing may be attached; until the frame callback the
  // compositor has not shown the last picture, and the next one waits for it.
  if (!shown_ || !configured_ || objects.surface == nullptr || objects.frame != nullptr) return;
  // A resized canvas is black until the repaint the loop sends next; the last picture stays
  // on screen meanwhile.
  if (!dirty_ || paintPending_) return;
  const Size surface = surfaceSize();
  const ShmFormat format = formatFor(alpha_);
  const int width = layout_.buffer.width;
  const int height = layout_.buffer.height;
  // The buffer drawn into, while the compositor still holds it (wlroots and weston keep one
  // until the next is attached), has been shown with nothing drawn since: a commit without a
  // buffer applies what was acknowledged meanwhile. A new layout is attached anew, from another.
  if (drawnInto_ != nullptr && buffers_->drawnShown()) {
    if (layout_ == shownLayout_) {
      wl_surface_commit(objects.surface);
      dirty_ = false;
      return;
    }
    placeCanvas();
  }
  ShmBuffers::Buffer* buffer = buffers_->acquire(width, height, format);
  // Both buffers are still on screen: the next release presents.
  if (buffer == nullptr) return;
  if (buffer->pixels == drawnInto_) {
    // Drawn in place: only the unused byte (see kOpaque), over memory the drawing made resident.
    const std::span<const std::uint32_t> all(buffer->pixels, buffer->bytes / sizeof(std::uint32_t));
    convertPixels(all, buffer->pixels, alpha_);
  } else {
    // From the canvas's own pixels: the bar's rows, when the host draws one, then the canvas's.
    const std::span<const std::uint32_t> bar =
        drawsBar_ && bar_.width() == width ? bar_.pixels() : std::span<const std::uint32_t>{};
    const std::size_t words = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const std::size_t clientWords = words - std::min(words, bar.size());
    const std::span<const std::uint32_t> client =
        canvas_.pixels().first(std::min(clientWords, canvas_.pixels().size()));
    if (!bar.empty()) convertPixels(bar, buffer->pixels, alpha_);
    convertPixels(client, buffer->pixels + bar.size(), alpha_);
  }
  shownLayout_ = layout_;

  wl_surface_attach(objects.surface, buffer->buffer, 0, 0);
  wl_surface_set_buffer_scale(objects.surface, layout_.bufferScale);
  if (objects.viewport != nullptr) {
    if (layout_.destination.width > 0) {
      wp_viewport_set_destination(objects.viewport, layout_.destination.width,
                                  layout_.destination.height);
    } else {
      wp_viewport_set_destination(objects.viewport, -1, -1);
    }
  }
  wl_surface_damage_buffer(objects.surface, 0, 0, INT32_MAX, INT32_MAX);
  if (alpha_ == 0xFF) {
    wl_region* opaque = wl_compositor_create_region(wayland_->compositor());
    wl_region_add(opaque, 0, 0, surface.width, surface.height);
    wl_surface_set_opaque_region(objects.surface, opaque);
    wl_region_destroy(opaque);
  } else {
    wl_surface_set_opaque_region(objects.surface, nullptr);
  }
  objects.frame = wl_surface_frame(objects.surface);
  static const wl_callback_listener frameListener = {.done = Objects::frameDone};
  wl_callback_add_listener(objects.frame, &frameListener, this);
  wl_surface_commit(objects.surface);
  dirty_ = false;
}

void WaylandHost::postQuit(int exitCode) {
  quit_ = true;
  exitCode_ = exitCode;
}

int WaylandHost::runMessageLoop() {
  wl_display* display = wayland_->display();
  while (!quit_) {
    // SIGTERM, SIGINT and SIGHUP close the window as its close button does.
    if (signals_ && signals_->take()) close();
    if (wl_display_dispatch_pending(display) < 0) connectionLost();
    if (quit_) break;
    if (objects_->surface == nullptr) break;
    if (paintPending_) {
      paintPending_ = false;
      send(msg::kPaint);
      continue;
    }
    if (timer_.takeTick()) {
      send(msg::kTimer, static_cast<std::uintptr_t>(timerId_));
      continue;
    }
    const std::uint64_t now = monotonicMilliseconds();
    if (const int key = seat_->keyboard().takeRepeat(now); key != 0) {
      send(msg::kKeyDown, static_cast<std::uintptr_t>(key), 1);
      continue;
    }
    // Events read but not yet dispatched would be missed by the wait; prepare_read fails while
    // there are any.
    if (wl_display_prepare_read(display) != 0) continue;
    short displayEvents = POLLIN;
    if (wl_display_flush(display) < 0) {
      if (errno != EAGAIN) {
        wl_display_cancel_read(display);
        connectionLost();
      }
      displayEvents |= POLLOUT;
    }
    int timeout = timer_.sleepTimeout(procedure_.isIdle());
    const int repeat = seat_->keyboard().repeatTimeout(now);
    if (repeat >= 0) timeout = timeout < 0 ? repeat : std::min(timeout, repeat);
    pollfd fds[2] = {{wl_display_get_fd(display), displayEvents, 0},
                     {signals_ ? signals_->fd() : -1, POLLIN, 0}};
    const int ready = poll(fds, 2, timeout);
    if (ready > 0 && (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
      if (wl_display_read_events(display) < 0) connectionLost();
    } else {
      wl_display_cancel_read(display);
    }
  }
  return exitCode_;
}

std::int64_t WaylandHost::currentTime() { return static_cast<std::int64_t>(std::time(nullptr)); }

void WaylandHost::pointerMoved(int x, int y) {
  pointerX_ = x;
  pointerY_ = y;
  if (barPressed_ != TitleBar::Part::kNone) return;
  const int clientY = y - barHeight();
  // Windows sends no move while the pointer is outside the client area, though the compositor
  // reports the moves of a drag that left it.
  if (!pointerIn_ || x < 0 || clientY < 0 || x >= client_.width || clientY >= client_.height) {
    return;
  }
  send(msg::kMouseMove, heldButtons(leftDown_, rightDown_), msg::pointParam(x, clientY));
}

void WaylandHost::pointerButton(std::uint32_t serial, std::uint32_t button, bool pressed) {
  if (button == BTN_LEFT) leftDown_ = pressed;
  if (button == BTN_RIGHT) rightDown_ = pressed;
  const int x = pointerX_;
  const int clientY = pointerY_ - barHeight();
  // The compositor's window menu, as on any title bar (GNOME's holds "Always on Top").
  if (drawsBar_ && button == BTN_RIGHT && pressed &&
      TitleBar::partAt(x, pointerY_, client_.width) == TitleBar::Part::kBar) {
    xdg_toplevel_show_window_menu(objects_->toplevel, wayland_->seat(), serial, x, pointerY_);
    return;
  }
  if (drawsBar_ && button == BTN_LEFT) {
    const TitleBar::Part part = TitleBar::partAt(x, pointerY_, client_.width);
    if (pressed && part == TitleBar::Part::kBar) {
      xdg_toplevel_move(objects_->toplevel, wayland_->seat(), serial);
      return;
    }
    if (pressed && part != TitleBar::Part::kNone) {
      barPressed_ = part;
      drawBar();
      return;
    }
    if (!pressed && barPressed_ != TitleBar::Part::kNone) {
      const TitleBar::Part was = barPressed_;
      barPressed_ = TitleBar::Part::kNone;
      drawBar();
      // Like any button, it acts when released on itself.
      if (part == was && was == TitleBar::Part::kMinimise) {
        xdg_toplevel_set_minimized(objects_->toplevel);
      } else if (part == was && was == TitleBar::Part::kClose) {
        close();
      }
      return;
    }
  }
  if (!pointerIn_ || x < 0 || clientY < 0 || x >= client_.width || clientY >= client_.height) {
    return;
  }
  const std::uintptr_t state = heldButtons(leftDown_, rightDown_);
  const std::intptr_t point = msg::pointParam(x, clientY);
  if (pressed) {
    if (button == BTN_LEFT) send(msg::kLeftButtonDown, state, point);
    if (button == BTN_RIGHT) send(msg::kRightButtonDown, state, point);
  } else if (button == BTN_LEFT) {
    send(msg::kLeftButtonUp, state, point);
  }
}

void WaylandHost::keyPressed(int virtualKey) {
  send(msg::kKeyDown, static_cast<std::uintptr_t>(virtualKey), 1);
}

void WaylandHost::pointerEntered(const wl_surface* surface, int x, int y) {
  pointerIn_ = surface == objects_->surface;
  pointerX_ = x;
  pointerY_ = y;
}

void WaylandHost::pointerLeft() {
  pointerIn_ = false;
  // What the compositor does with a button released elsewhere is its own business.
  leftDown_ = rightDown_ = false;
}

void WaylandHost::close() {
  Objects& objects = *objects_;
  if (closing_ || objects.surface == nullptr) return;
  if (send(msg::kClose) != msg::kDefault) return;
  closing_ = true;
  // WM_DESTROY while the window still exists; the window goes afterwards.
  send(msg::kDestroy);
  if (objects.frame != nullptr) wl_callback_destroy(objects.frame);
  objects.frame = nullptr;
  if (objects.fractional != nullptr) wp_fractional_scale_v1_destroy(objects.fractional);
  objects.fractional = nullptr;
  if (objects.viewport != nullptr) wp_viewport_destroy(objects.viewport);
  objects.viewport = nullptr;
  if (objects.decoration != nullptr) zxdg_toplevel_decoration_v1_destroy(objects.decoration);
  objects.decoration = nullptr;
  xdg_toplevel_destroy(objects.toplevel);
  objects.toplevel = nullptr;
  xdg_surface_destroy(objects.shellSurface);
  objects.shellSurface = nullptr;
  wl_surface_destroy(objects.surface);
  objects.surface = nullptr;
  // A drawing call after the window is gone must not reach the buffers' memory, and has
  // nothing to show: the canvases keep no picture.
  drawnInto_ = nullptr;
  bar_.resize(0, 0);
  canvas_.resize(0, 0);
  buffers_.reset();
  // Whether the compositor heard it no longer matters: the run is over.
  wl_display_flush(wayland_->display());
}

std::intptr_t WaylandHost::send(std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
  return procedure_.windowProc(message, wParam, lParam);
}
