// The connection to a Wayland compositor and the globals the program binds.
#include "hosts/wayland/WaylandClient.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hosts/wayland/WaylandLibrary.h"
#include "wayland/fractional-scale-v1-client-protocol.h"
#include "wayland/viewporter-client-protocol.h"
#include "wayland/xdg-activation-v1-client-protocol.h"
#include "wayland/xdg-decoration-unstable-v1-client-protocol.h"
#include "wayland/xdg-shell-client-protocol.h"

namespace {

template <typename T>
T* bind(wl_registry* registry, std::uint32_t name, const wl_interface* interface,
        std::uint32_t offered, std::uint32_t wanted) {
  return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

// The compositor checks that a client still answers before it calls it hung.
void ping(void*, xdg_wm_base* shell, std::uint32_t serial) { xdg_wm_base_pong(shell, serial); }
const xdg_wm_base_listener kShellListener = {.ping = ping};

void outputGeometry(void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                    std::int32_t, const char*, const char*, std::int32_t) {}
void outputMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width,
                std::int32_t height, std::int32_t) {
  if ((flags & WL_OUTPUT_MODE_CURRENT) == 0) return;
  auto* output = static_cast<WaylandClient::Output*>(data);
  output->width = width;
  output->height = height;
}
void outputScale(void* data, wl_output*, std::int32_t factor) {
  static_cast<WaylandClient::Output*>(data)->scale = std::max(factor, 1);
}
}  // namespace

std::unique_ptr<WaylandClient> WaylandClient::connect(const char* library) {
  // The socket is looked for as libwayland would, before the library is loaded: an X11 session
  // (most often with a runtime folder, without a compositor) then never maps it. Without a
  // runtime folder libwayland would also say so on stderr in every X11 session started without
  // one (su, ssh); a socket handed over by the compositor (WAYLAND_SOCKET) needs no folder.
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0' ? value : nullptr;
  };
  if (set("WAYLAND_SOCKET") == nullptr) {
    const char* named = set("WAYLAND_DISPLAY");
    std::string socket;
    if (named != nullptr && named[0] == '/') {
      socket = named;
    } else if (const char* folder = set("XDG_RUNTIME_DIR")) {
      socket = std::string(folder) + "/" + (named != nullptr ? named : "wayland-0");
    }
    struct stat found {};
    if (socket.empty() || stat(socket.c_str(), &found) != 0 || !S_ISSOCK(found.st_mode)) {
      return nullptr;
    }
  }
  if (!openWaylandLibrary(library)) return nullptr;
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return nullptr;
  std::unique_ptr<WaylandClient> client(new WaylandClient);
  client->display_ = display;
  client->registry_ = wl_display_get_registry(display);
  static const wl_registry_listener listener = {.global = global, .global_remove = globalRemove};
  wl_registry_add_listener(client->registry_, &listener, client.get());
  // The first answer names the globals; the second brings the outputs' scales and modes.
  if (!client->roundtrip() || !client->roundtrip()) return nullptr;
  if (client->shell_ == nullptr || client->compositor_ == nullptr || client->shm_ == nullptr) {
    return nullptr;
  }
  return client;
}

WaylandClient::~WaylandClient() {
  for (const auto& output : outputs_) {
    if (wl_output_get_version(output->output) >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
      wl_output_release(output->output);
    } else {
      wl_output_destroy(output->output);
    }
  }
  if (activation_ != nullptr) xdg_activation_v1_destroy(activation_);
  if (fractionalScale_ != nullptr) wp_fractional_scale_manager_v1_destroy(fractionalScale_);
  if (viewporter_ != nullptr) wp_viewporter_destroy(viewporter_);
  if (decorations_ != nullptr) zxdg_decoration_manager_v1_destroy(decorations_);
  if (seat_ != nullptr) wl_seat_destroy(seat_);
  if (shell_ != nullptr) xdg_wm_base_destroy(shell_);
  if (shm_ != nullptr) wl_shm_destroy(shm_);
  if (compositor_ != nullptr) wl_compositor_destroy(compositor_);
  if (registry_ != nullptr) wl_registry_destroy(registry_);
  wl_display_disconnect(display_);
}

void WaylandClient::global(void* data, wl_registry* registry, std::uint32_t name,
                           const char* interface, std::uint32_t version) {
  auto& client = *static_cast<WaylandClient*>(data);
  const auto is = [interface](const wl_interface& wanted) {
    return std::strcmp(interface, wanted.name) == 0;
  };
  if (is(wl_compositor_interface) && client.compositor_ == nullptr) {
    // Version 4 brings damage in buffer pixels.
    client.compositor_ = bind<wl_compositor>(registry, name, &wl_compositor_interface, version, 4);
  } else if (is(wl_shm_interface) && client.shm_ == nullptr) {
    client.shm_ = bind<wl_shm>(registry, name, &wl_shm_interface, version, 1);
  } else if (is(xdg_wm_base_interface) && client.shell_ == nullptr) {
    client.shell_ = bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, version, 1);
    xdg_wm_base_add_listener(client.shell_, &kShellListener, nullptr);
  } else if (is(wl_seat_interface) && client.seat_ == nullptr) {
    // Version 4 brings the keyboard's repeat rate; 5 the pointer's frames.
    client.seat_ = bind<wl_seat>(registry, name, &wl_seat_interface, version, 5);
    static const wl_seat_listener seatListener = {.capabilities = seatCapabilities,
                                                  .name = [](void*, wl_seat*, const char*) {}};
    wl_seat_add_listener(client.seat_, &seatListener, &client);
  } else if (is(wl_output_interface)) {
    auto output = std::make_unique<Output>();
    output->name = name;
    output->client = &client;
    // Version 2 brings the scale; 3 lets the output go cleanly.
    output->output = bind<wl_output>(registry, name, &wl_output_interface, version, 3);
    static const wl_output_listener listener = {.geometry = outputGeometry,
                                                .mode = outputMode,
                                                .done = outputDone,
                                                .scale = outputScale,
                                                .name = nullptr,
                                                .description = nullptr};
    wl_output_add_listener(output->output, &listener, output.get());
    client.outputs_.push_back(std::move(output));
  } else if (is(zxdg_decoration_manager_v1_interface) && client.decorations_ == nullptr) {
    client.decorations_ = bind<zxdg_decoration_manager_v1>(
        registry, name, &zxdg_decoration_manager_v1_interface, version, 1);
  } else if (is(wp_viewporter_interface) && client.viewporter_ == nullptr) {
    client.viewporter_ = bind<wp_viewporter>(registry, name, &wp_viewporter_interface, version, 1);
  } else if (is(wp_fractional_scale_manager_v1_interface) && client.fractionalScale_ == nullptr) {
    client.fractionalScale_ = bind<wp_fractional_scale_manager_v1>(
        registry, name, &wp_fractional_scale_manager_v1_interface, version, 1);
  } else if (is(xdg_activation_v1_interface) && client.activation_ == nullptr) {
    client.activation_ =
        bind<xdg_activation_v1>(registry, name, &xdg_activation_v1_interface, version, 1);
  }
}

void WaylandClient::globalRemove(void* data, wl_registry*, std::uint32_t name) {
  // Only an output goes while the program runs (a monitor unplugged); the surface's leave
  // event has told its user already.
  auto& outputs = static_cast<WaylandClient*>(data)->outputs_;
  std::erase_if(outputs, [name](const std::unique_ptr<Output>& output) {
    if (output->name != name) return false;
    wl_output_destroy(output->output);
    return true;
  });
}

void WaylandClient::outputDone(void* data, wl_output*) {
  WaylandClient& client = *static_cast<Output*>(data)->client;
  if (client.outputWatcher_) client.outputWatcher_();
}

void WaylandClient::seatCapabilities(void* data, wl_seat*, std::uint32_t capabilities) {
  auto& client = *static_cast<WaylandClient*>(data);
  client.seatCapabilities_ = capabilities;
  if (client.seatWatcher_) client.seatWatcher_(capabilities);
}

void WaylandClient::watchSeat(std::function<void(std::uint32_t)> changed) {
  seatWatcher_ = std::move(changed);
  if (seatWatcher_ && seat_ != nullptr) seatWatcher_(seatCapabilities_);
}

const WaylandClient::Output* WaylandClient::find(const wl_output* output) const {
  for (const auto& candidate : outputs_) {
    if (candidate->output == output) return candidate.get();
  }
  return nullptr;
}

int WaylandClient::largestScale() const {
  int scale = 1;
  for (const auto& output : outputs_) scale = std::max(scale, output->scale);
  return scale;
}

bool WaylandClient::roundtrip() { return wl_display_roundtrip(display_) >= 0; }
