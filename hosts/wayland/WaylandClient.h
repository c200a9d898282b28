// The connection to a Wayland compositor and the globals the program binds.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct wl_compositor;
struct wl_display;
struct wl_output;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct wp_fractional_scale_manager_v1;
struct wp_viewporter;
struct xdg_activation_v1;
struct xdg_wm_base;
struct zxdg_decoration_manager_v1;

// One connection with its globals, bound at the lowest versions that give what the program
// uses.
class WaylandClient {
 public:
  struct Output {
    wl_output* output = nullptr;
    std::uint32_t name = 0;
    // wl_output.scale: 1 until the compositor says otherwise.
    int scale = 1;
    // The current mode, in output pixels.
    int width = 0;
    int height = 0;
    WaylandClient* client = nullptr;
  };

  // Connects (WAYLAND_DISPLAY, else the default socket in XDG_RUNTIME_DIR) and binds the
  // globals; null when there is no compositor, `library` (libwayland-client, opened only once
  // a socket is there) cannot be opened, or the compositor offers no xdg_wm_base, the one shell
  // the program speaks.
  static std::unique_ptr<WaylandClient> connect(const char* library = "libwayland-client.so.0");
  ~WaylandClient();
  WaylandClient(const WaylandClient&) = delete;
  WaylandClient& operator=(const WaylandClient&) = delete;

  wl_display* display() const { return display_; }
  wl_compositor* compositor() const { return compositor_; }
  wl_shm* shm() const { return shm_; }
  xdg_wm_base* shell() const { return shell_; }
  wl_seat* seat() const { return seat_; }
  // Null where the compositor does not offer them.
  zxdg_decoration_manager_v1* decorations() const { return decorations_; }
  wp_viewporter* viewporter() const { return viewporter_; }
  wp_fractional_scale_manager_v1* fractionalScale() const { return fractionalScale_; }
  xdg_activation_v1* activation() const { return activation_; }

  // Calls `changed` with the seat's capabilities (WL_SEAT_CAPABILITY_*) now and whenever they
  // change. The client listens from the start: the first announcement comes while connect()
  // waits, and a proxy without a listener loses its events.
  void watchSeat(std::function<void(std::uint32_t)> changed);

  // Calls `changed` whenever an output has told a new set of properties (its scale among them).
  void watchOutputs(std::function<void()> changed) { outputWatcher_ = std::move(changed); }

  const std::vector<std::unique_ptr<Output>>& outputs() const { return outputs_; }
  const Output* find(const wl_output* output) const;
  // The largest scale among the outputs (1 without any): the best guess before a surface has
  // entered one.
  int largestScale() const;

  // Sends what is queued and waits for the compositor's answer to it. False when the
  // connection is gone.
  bool roundtrip();

 private:
  WaylandClient() = default;
  static void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                     std::uint32_t version);
  static void globalRemove(void* data, wl_registry* registry, std::uint32_t name);
  static void seatCapabilities(void* data, wl_seat* seat, std::uint32_t capabilities);
  static void outputDone(void* data, wl_output* output);

  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  wl_compositor* compositor_ = nullptr;
  wl_shm* shm_ = nullptr;
  xdg_wm_base* shell_ = nullptr;
  wl_seat* seat_ = nullptr;
  zxdg_decoration_manager_v1* decorations_ = nullptr;
  wp_viewporter* viewporter_ = nullptr;
  wp_fractional_scale_manager_v1* fractionalScale_ = nullptr;
  xdg_activation_v1* activation_ = nullptr;
  std::vector<std::unique_ptr<Output>> outputs_;
  std::uint32_t seatCapabilities_ = 0;
  std::function<void(std::uint32_t)> seatWatcher_;
  std::function<void()> outputWatcher_;
};
