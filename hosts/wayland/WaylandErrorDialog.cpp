// The fatal-error dialog of the Linux program as a Wayland window.
#include "hosts/wayland/WaylandErrorDialog.h"

#include <linux/input-event-codes.h>
#include <poll.h>
#include <wayland-client.h>

#include <memory>

#include "hosts/posix/ErrorDialogPicture.h"
#include "hosts/wayland/ShmBuffers.h"
#include "hosts/wayland/WaylandClient.h"
#include "hosts/wayland/WaylandKeyboard.h"
#include "platform/messages.h"
#include "wayland/xdg-decoration-unstable-v1-client-protocol.h"
#include "wayland/xdg-shell-client-protocol.h"

namespace {

constexpr const char* kTitle = "Error";

struct Dialog {
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
  WaylandKeyboard keyboard;

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
};

Dialog& of(void* data) { return *static_cast<Dialog*>(data); }

void configure(void* data, xdg_surface* shellSurface, std::uint32_t serial) {
  xdg_surface_ack_configure(shellSurface, serial);
  of(data).configured = true;
  of(data).present();
}
void toplevelConfigure(void*, xdg_toplevel*, std::int32_t, std::int32_t, wl_array*) {}
void toplevelClose(void* data, xdg_toplevel*) { of(data).done = true; }

void pointerEnter(void* data, wl_pointer*, std::uint32_t, wl_surface*, wl_fixed_t x, wl_fixed_t y) {
  Dialog& dialog = of(data);
  dialog.x = wl_fixed_to_int(x) * dialog.scale;
  dialog.y = wl_fixed_to_int(y) * dialog.scale;
}
void pointerLeave(void* data, wl_pointer*, std::uint32_t, wl_surface*) {
  Dialog& dialog = of(data);
  dialog.x = dialog.y = -1;
  dialog.showPressed();
}
void pointerMotion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
  Dialog& dialog = of(data);
  dialog.x = wl_fixed_to_int(x) * dialog.scale;
  dialog.y = wl_fixed_to_int(y) * dialog.scale;
  dialog.showPressed();
}
void pointerButton(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t button,
                   std::uint32_t state) {
  Dialog& dialog = of(data);
  if (button != BTN_LEFT) return;
  const bool onOk = dialog.picture.onOk(dialog.x, dialog.y);
  if (state == WL_POINTER_BUTTON_STATE_PRESSED) {
    dialog.pressedOnOk = onOk;
  } else {
    dialog.done = dialog.pressedOnOk && onOk;
    dialog.pressedOnOk = false;
  }
  dialog.showPressed();
}
void pointerFrame(void*, wl_pointer*) {}

void keymap(void* data, wl_keyboard*, std::uint32_t format, int fd, std::uint32_t size) {
  of(data).keyboard.setKeymap(format, fd, size);
}
void keyboardEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
void keyboardLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
// Enter (the keypad's too), Escape and Space, by their symbols in the compositor's keymap.
void key(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key,
         std::uint32_t state) {
  if (state != WL_KEYBOARD_KEY_STATE_PRESSED) return;
  const int code = of(data).keyboard.press(key, 0);
  if (code == vk::kReturn || code == vk::kEscape || code == vk::kSpace) of(data).done = true;
}
void modifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed,
               std::uint32_t latched, std::uint32_t locked, std::uint32_t group) {
  of(data).keyboard.setModifiers(depressed, latched, locked, group);
}
void repeatInfo(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

struct Seat {
  wl_pointer* pointer = nullptr;
  wl_keyboard* keyboard = nullptr;
  Dialog* dialog = nullptr;
};

void capabilities(Seat& devices, wl_seat* seat, std::uint32_t caps) {
  const bool pointer = (caps & WL_SEAT_CAPABILITY_POINTER) != 0;
  const bool keyboard = (caps & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
  if (pointer && devices.pointer == nullptr) {
    static const wl_pointer_listener listener = {.enter = pointerEnter,
                                                 .leave = pointerLeave,
                                                 .motion = pointerMotion,
                                                 .button = pointerButton,
                                                 .axis = nullptr,
                                                 .frame = pointerFrame,
                                                 .axis_source = nullptr,
                                                 .axis_stop = nullptr,
                                                 .axis_discrete = nullptr,
                                                 .axis_value120 = nullptr};
    devices.pointer = wl_seat_get_pointer(seat);
    wl_pointer_add_listener(devices.pointer, &listener, devices.dialog);
  } else if (!pointer && devices.pointer != nullptr) {
    wl_pointer_release(devices.pointer);
    devices.pointer = nullptr;
  }
  // A keyboard that goes (a virtual one leaving the seat) is made again when one comes back.
  if (keyboard && devices.keyboard == nullptr) {
    static const wl_keyboard_listener listener = {.keymap = keymap,
                                                  .enter = keyboardEnter,
                                                  .leave = keyboardLeave,
                                                  .key = key,
                                                  .modifiers = modifiers,
                                                  .repeat_info = repeatInfo};
    devices.keyboard = wl_seat_get_keyboard(seat);
    wl_keyboard_add_listener(devices.keyboard, &listener, devices.dialog);
  } else if (!keyboard && devices.keyboard != nullptr) {
    wl_keyboard_release(devices.keyboard);
    devices.keyboard = nullptr;
  }
}

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
  Seat seat{nullptr, nullptr, &dialog};
  client->watchSeat(
      [&seat, &client](std::uint32_t caps) { capabilities(seat, client->seat(), caps); });
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
  if (seat.pointer != nullptr) wl_pointer_destroy(seat.pointer);
  if (seat.keyboard != nullptr) wl_keyboard_destroy(seat.keyboard);
  if (decoration != nullptr) zxdg_toplevel_decoration_v1_destroy(decoration);
  xdg_toplevel_destroy(toplevel);
  xdg_surface_destroy(shellSurface);
  wl_surface_destroy(dialog.surface);
  dialog.buffers.reset();
  wl_display_flush(display);
}
