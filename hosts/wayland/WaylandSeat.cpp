// The Wayland seat's pointer and keyboard, as the game window and the error dialog hear them.
#include "hosts/wayland/WaylandSeat.h"

#include <wayland-client.h>
#include <wayland-cursor.h>

#include <chrono>
#include <climits>
#include <cstdlib>

#include "hosts/wayland/WaylandClient.h"

namespace {

std::uint64_t nowMilliseconds() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

// wl_fixed_to_int truncates towards zero; a position is the pixel it lies in.
int pixel(wl_fixed_t value) { return wl_fixed_to_int(value) - (value < 0 ? 1 : 0); }

}  // namespace

struct WaylandSeat::Callbacks {
  static WaylandSeat& seat(void* data) { return *static_cast<WaylandSeat*>(data); }

  static void enter(void* data, wl_pointer*, std::uint32_t serial, wl_surface* surface,
                    wl_fixed_t x, wl_fixed_t y) {
    seat(data).showArrow(serial);
    seat(data).listener_.pointerEntered(surface, pixel(x), pixel(y));
  }
  static void leave(void* data, wl_pointer*, std::uint32_t, wl_surface*) {
    seat(data).listener_.pointerLeft();
  }
  static void motion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
    seat(data).listener_.pointerMoved(pixel(x), pixel(y));
  }
  static void button(void* data, wl_pointer*, std::uint32_t serial, std::uint32_t,
                     std::uint32_t button, std::uint32_t state) {
    seat(data).listener_.pointerButton(serial, button, state == WL_POINTER_BUTTON_STATE_PRESSED);
  }
  static void frame(void*, wl_pointer*) {}

  static void keymap(void* data, wl_keyboard*, std::uint32_t format, int fd, std::uint32_t size) {
    seat(data).keyboard_.setKeymap(format, fd, size);
  }
  static void keyboardEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
  static void keyboardLeave(void* data, wl_keyboard*, std::uint32_t, wl_surface*) {
    seat(data).keyboard_.stopRepeat();
  }
  static void key(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key,
                  std::uint32_t state) {
    WaylandSeat& self = seat(data);
    if (state != WL_KEYBOARD_KEY_STATE_PRESSED) {
      self.keyboard_.release(key);
      return;
    }
    const int code = self.keyboard_.press(key, nowMilliseconds());
    if (code != 0) self.listener_.keyPressed(code);
  }
  static void modifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed,
                        std::uint32_t latched, std::uint32_t locked, std::uint32_t group) {
    seat(data).keyboard_.setModifiers(depressed, latched, locked, group);
  }
  static void repeatInfo(void* data, wl_keyboard*, std::int32_t rate, std::int32_t delay) {
    seat(data).keyboard_.setRepeat(rate, delay);
  }
};

WaylandSeat::WaylandSeat(WaylandClient& client, Listener& listener)
    : client_(client), listener_(listener) {
  client_.watchSeat([this](std::uint32_t caps) { capabilities(caps); });
}

WaylandSeat::~WaylandSeat() {
  client_.watchSeat(nullptr);
  if (cursorSurface_ != nullptr) wl_surface_destroy(cursorSurface_);
  if (cursorTheme_ != nullptr) wl_cursor_theme_destroy(cursorTheme_);
  if (pointer_ != nullptr) wl_pointer_destroy(pointer_);
  if (keyboardDevice_ != nullptr) wl_keyboard_destroy(keyboardDevice_);
}

void WaylandSeat::capabilities(std::uint32_t caps) {
  const bool pointer = (caps & WL_SEAT_CAPABILITY_POINTER) != 0;
  const bool keyboard = (caps & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
  if (pointer && pointer_ == nullptr) {
    static const wl_pointer_listener listener = {.enter = Callbacks::enter,
                                                 .leave = Callbacks::leave,
                                                 .motion = Callbacks::motion,
                                                 .button = Callbacks::button,
                                                 .axis = nullptr,
                                                 .frame = Callbacks::frame,
                                                 .axis_source = nullptr,
                                                 .axis_stop = nullptr,
                                                 .axis_discrete = nullptr,
                                                 .axis_value120 = nullptr};
    pointer_ = wl_seat_get_pointer(client_.seat());
    wl_pointer_add_listener(pointer_, &listener, this);
  } else if (!pointer && pointer_ != nullptr) {
    wl_pointer_release(pointer_);
    pointer_ = nullptr;
    listener_.pointerLeft();
  }
  if (keyboard && keyboardDevice_ == nullptr) {
    static const wl_keyboard_listener listener = {.keymap = Callbacks::keymap,
                                                  .enter = Callbacks::keyboardEnter,
                                                  .leave = Callbacks::keyboardLeave,
                                                  .key = Callbacks::key,
                                                  .modifiers = Callbacks::modifiers,
                                                  .repeat_info = Callbacks::repeatInfo};
    keyboardDevice_ = wl_seat_get_keyboard(client_.seat());
    wl_keyboard_add_listener(keyboardDevice_, &listener, this);
  } else if (!keyboard && keyboardDevice_ != nullptr) {
    wl_keyboard_release(keyboardDevice_);
    keyboardDevice_ = nullptr;
    keyboard_.stopRepeat();
  }
}

void WaylandSeat::showArrow(std::uint32_t serial) {
  const int scale = arrowScale_;
  if (cursorTheme_ == nullptr || cursorScale_ != scale) {
    if (cursorTheme_ != nullptr) wl_cursor_theme_destroy(cursorTheme_);
    // XCURSOR_SIZE as other clients read it; anything but a sensible number is the usual 24.
    long size = 24;
    if (const char* wanted = std::getenv("XCURSOR_SIZE")) {
      char* end = nullptr;
      const long asked = std::strtol(wanted, &end, 10);
      if (end != wanted && *end == '\0' && asked >= 8 && asked <= 256) size = asked;
    }
    cursorTheme_ = wl_cursor_theme_load(std::getenv("XCURSOR_THEME"),
                                        static_cast<int>(size) * scale, client_.shm());
    cursorScale_ = scale;
  }
  if (cursorTheme_ == nullptr) return;
  wl_cursor* cursor = wl_cursor_theme_get_cursor(cursorTheme_, "left_ptr");
  if (cursor == nullptr) cursor = wl_cursor_theme_get_cursor(cursorTheme_, "default");
  if (cursor == nullptr || cursor->image_count == 0) return;
  wl_cursor_image* image = cursor->images[0];
  wl_buffer* buffer = wl_cursor_image_get_buffer(image);
  if (buffer == nullptr) return;
  if (cursorSurface_ == nullptr)
    cursorSurface_ = wl_compositor_create_surface(client_.compositor());
  wl_surface_attach(cursorSurface_, buffer, 0, 0);
  wl_surface_set_buffer_scale(cursorSurface_, scale);
  wl_surface_damage_buffer(cursorSurface_, 0, 0, INT32_MAX, INT32_MAX);
  wl_surface_commit(cursorSurface_);
  wl_pointer_set_cursor(pointer_, serial, cursorSurface_,
                        static_cast<std::int32_t>(image->hotspot_x) / scale,
                        static_cast<std::int32_t>(image->hotspot_y) / scale);
}
