// The fatal-error dialog of the Linux program as a Wayland window.
#include "hosts/wayland/WaylandErrorDialog.h"

#include <linux/input-event-codes.h>
#include <poll.h>

#include <memory>

#include "hosts/posix/ErrorDialogPicture.h"
#include "hosts/wayland/ShmBuffers.h"
#include "hosts/wayland/WaylandClient.h"
#include "hosts/wayland/WaylandLibrary.h"
#include "hosts/wayland/WaylandSeat.h"
#include "platform/messages.h"
#include "wayland/xdg-decoration-unstable-v1-client-protocol.h"
#include "wayland/xdg-shell-client-protocol.h"

namespace {

constexpr const char* kTitle = "Error";

struct Dialog final : WaylandSeat::Listener {
  const std::string* message = nullptr;
  TextRenderer* text = nullptr;
  int scale = 1;
  ErrorDialogPicture picture;
  wl_surface* surface = nullptr;
  std::unique_ptr<ShmBuffers> buffers;
  bool configured = false;
  bool done = false;
  // Like a Windows button, OK acts when a press on it is released on it, and looks pressed
  // while the pointer that pressed it is over it. Positions in picture pixels.
  int x = 0;
  int y = 0;
  bool pressedOnOk = false;
  bool shownPressed = false;

  void present() {
    if (!configured) return;
    ShmBuffers::Buffer* buffer =
        buffers->acquire(picture.width, picture.height, ShmFormat::kXrgb8888);
    if (buffer == nullptr) return;
    convertPixels(picture.pixels, buffer->pixels, 0xFF);
    wl_surface_attach(surface, buffer->buffer, 0, 0);
    wl_surface_set_buffer_scale(surface, scale);
    wl_surface_damage_buffer(surface, 0, 0, picture.width, picture.height);
    wl_surface_commit(surface);
  }
  void showPressed() {
    const bool pressed = pressedOnOk && picture.onOk(x, y);
    if (pressed == shownPressed) return;
    shownPressed = pressed;
    picture = paintErrorDialog(*message, text, pressed, scale);
    present();
  }

  void pointerEntered(const wl_surface*, int atX, int atY) override {
    x = atX * scale;
    y = atY * scale;
  }
  void pointerLeft() override {
    x = y = -1;
    showPressed();
  }
  void pointerMoved(int atX, int atY) override {
    x = atX * scale;
    y = atY * scale;
    showPressed();
  }
  void pointerButton(std::uint32_t, std::uint32_t button, bool pressed) override {
    if (button != BTN_LEFT) return;
    const bool onOk = picture.onOk(x, y);
    if (pressed) {
      pressedOnOk = onOk;
    } else {
      done = pressedOnOk && onOk;
      pressedOnOk = false;
    }
    showPressed();
  }
  // Enter (the keypad's too), Escape and Space.
  void keyPressed(int virtualKey) override {
    if (virtualKey == vk::kReturn || virtualKey == vk::kEscape || virtualKey == vk::kSpace) {
      done = true;
    }
  }
};

Dialog& of(void* data) { return *static_cast<Dialog*>(data); }

void configure(void* data, xdg_surface* shellSurface, std::uint32_t serial) {
  xdg_surface_ack_configure(shellSurface, serial);
  of(data).configured = true;
  of(data).present();
}
void toplevelConfigure(void*, xdg_toplevel*, std::int32_t, std::int32_t, wl_array*) {}
void toplevelClose(void* data, xdg_toplevel*) { of(data).done = true; }

}  // namespace

void showWaylandErrorDialog(const std::string& message, TextRenderer* text, int stopFd) {
  const std::unique_ptr<WaylandClient> client = WaylandClient::connect();
  if (!client) return;
  Dialog dialog;
  dialog.message = &message;
  dialog.text = text;
  // Drawn at the scale the program's own window would have had.
  dialog.scale = client->largestScale();
  dialog.picture = paintErrorDialog(message, text, false, dialog.scale);
  dialog.buffers = std::make_unique<ShmBuffers>(client->shm(), [&dialog] { dialog.present(); });
  dialog.surface = wl_compositor_create_surface(client->compositor());
  xdg_surface* shellSurface = xdg_wm_base_get_xdg_surface(client->shell(), dialog.surface);
  static const xdg_surface_listener shellListener = {.configure = configure};
  xdg_surface_add_listener(shellSurface, &shellListener, &dialog);
  xdg_toplevel* toplevel = xdg_surface_get_toplevel(shellSurface);
  static const xdg_toplevel_listener toplevelListener = {.configure = toplevelConfigure,
                                                         .close = toplevelClose,
                                                         .configure_bounds = nullptr,
                                                         .wm_capabilities = nullptr};
  xdg_toplevel_add_listener(toplevel, &toplevelListener, &dialog);
  xdg_toplevel_set_title(toplevel, kTitle);
  xdg_toplevel_set_app_id(toplevel, DERADU_APP_ID);
  const int width = dialog.picture.width / dialog.scale;
  const int height = dialog.picture.height / dialog.scale;
  xdg_toplevel_set_min_size(toplevel, width, height);
  xdg_toplevel_set_max_size(toplevel, width, height);
  // Where the compositor leaves decorations to the client, the dialog goes without a title
  // bar: its OK button and keys end it.
  zxdg_toplevel_decoration_v1* decoration = nullptr;
  if (client->decorations() != nullptr) {
    decoration =
        zxdg_decoration_manager_v1_get_toplevel_decoration(client->decorations(), toplevel);
    zxdg_toplevel_decoration_v1_set_mode(decoration, ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE);
  }
  WaylandSeat seat(*client, dialog);
  seat.setArrowScale(dialog.scale);
  wl_surface_commit(dialog.surface);

  wl_display* display = client->display();
  while (!dialog.done) {
    if (wl_display_dispatch_pending(display) < 0) break;
    if (dialog.done) break;
    if (wl_display_prepare_read(display) != 0) continue;
    wl_display_flush(display);
    pollfd fds[2] = {{wl_display_get_fd(display), POLLIN, 0}, {stopFd, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) {
      wl_display_cancel_read(display);
      continue;
    }
    if ((fds[1].revents & POLLIN) != 0) {
      wl_display_cancel_read(display);
      break;
    }
    if (wl_display_read_events(display) < 0) break;
  }
  if (decoration != nullptr) zxdg_toplevel_decoration_v1_destroy(decoration);
  xdg_toplevel_destroy(toplevel);
  xdg_surface_destroy(shellSurface);
  wl_surface_destroy(dialog.surface);
  dialog.buffers.reset();
  wl_display_flush(display);
}
