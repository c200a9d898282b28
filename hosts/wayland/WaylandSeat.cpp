// The Wayland seat's pointer and keyboard, as the game window and the error dialog hear them.
#include "hosts/wayland/WaylandSeat.h"

#include <sys/mman.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "hosts/posix/TimerSchedule.h"
#include "hosts/wayland/ShmBuffers.h"
#include "hosts/wayland/WaylandClient.h"
#include "hosts/wayland/WaylandLibrary.h"

namespace {

// wl_fixed_to_int truncates towards zero; a position is the pixel it lies in.
int pixel(wl_fixed_t value) { return wl_fixed_to_int(value) - (value < 0 ? 1 : 0); }

// The classic arrow, a row a line: '#' outline, '.' fill, anything else clear. Its tip, the top
// left pixel, is the hotspot. Drawn here rather than loaded from the cursor theme, which would
// map libwayland-cursor at every start for one picture.
constexpr int kArrowWidth = 12;
constexpr const char* kArrow[] = {
    "#",
    "##",
    "#.#",
    "#..#",
    "#...#",
    "#....#",
    "#.....#",
    "#......#",
    "#.......#",
    "#........#",
    "#.........#",
    "#......#####",
    "#...#..#",
    "#..##..#",
    "#.#  #..#",
    "##   #..#",
    "#     #..#",
    "      #..#",
    "       ##",
};
constexpr int kArrowHeight = static_cast<int>(std::size(kArrow));

// The arrow with each of its pixels a `block` x `block` square, in a buffer of its own (ARGB,
// which every compositor takes); null where no memory could be had.
wl_buffer* drawArrow(wl_shm* shm, int block) {
  const int width = kArrowWidth * block;
  const int height = kArrowHeight * block;
  const ShmMapping made = makeShmBuffer(shm, width, height, WL_SHM_FORMAT_ARGB8888, "deradu-arrow");
  if (made.buffer == nullptr) return nullptr;
  for (int y = 0; y < height; ++y) {
    const char* row = kArrow[y / block];
    const int length = static_cast<int>(std::strlen(row));
    for (int x = 0; x < width; ++x) {
      const char c = x / block < length ? row[x / block] : ' ';
      made.pixels[y * width + x] = c == '#' ? 0xff000000u : c == '.' ? 0xffffffffu : 0;
    }
  }
  munmap(made.pixels, made.bytes);
  return made.buffer;
}

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
    const int code = self.keyboard_.press(key, monotonicMilliseconds());
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
  if (arrow_ != nullptr) wl_buffer_destroy(arrow_);
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
  // XCURSOR_SIZE as other clients read it (24 is the usual size), enlarged by whole pixels:
  // anything but a sensible number leaves the arrow as drawn.
  long size = 24;
  if (const char* wanted = std::getenv("XCURSOR_SIZE")) {
    char* end = nullptr;
    const long asked = std::strtol(wanted, &end, 10);
    if (end != wanted && *end == '\0' && asked >= 8 && asked <= 256) size = asked;
  }
  const int block = scale * static_cast<int>(std::max(1L, size / 24));
  wl_buffer* previous = nullptr;
  if (arrow_ == nullptr || arrowBlock_ != block) {
    wl_buffer* drawn = drawArrow(client_.shm(), block);
    if (drawn == nullptr) return;
    previous = arrow_;
    arrow_ = drawn;
    arrowBlock_ = block;
  }
  if (cursorSurface_ == nullptr)
    cursorSurface_ = wl_compositor_create_surface(client_.compositor());
  wl_surface_attach(cursorSurface_, arrow_, 0, 0);
  wl_surface_set_buffer_scale(cursorSurface_, scale);
  wl_surface_damage_buffer(cursorSurface_, 0, 0, INT32_MAX, INT32_MAX);
  wl_surface_commit(cursorSurface_);
  // The hotspot is the tip, the surface's corner.
  wl_pointer_set_cursor(pointer_, serial, cursorSurface_, 0, 0);
  // Replaced only now, so the surface never shows a destroyed buffer.
  if (previous != nullptr) wl_buffer_destroy(previous);
}
