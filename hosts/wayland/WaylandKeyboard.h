// The Wayland keyboard: its keymap through xkbcommon, virtual-key codes and key repeat.
#pragma once

#include <array>
#include <cstdint>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

// Wayland leaves key repeat to the client. An X server repeats every key its keymap marks as
// repeating (all but the modifiers), and so does this, at the compositor's rate and delay; a
// repeat is one more WM_KEYDOWN of the same code.
class WaylandKeyboard {
 public:
  WaylandKeyboard() = default;
  ~WaylandKeyboard();
  WaylandKeyboard(const WaylandKeyboard&) = delete;
  WaylandKeyboard& operator=(const WaylandKeyboard&) = delete;

  // wl_keyboard.keymap: takes `fd` and closes it. The keymap is compiled at the next press; one
  // that cannot be read leaves the keys as the one before (without codes if none) until the
  // next.
  void setKeymap(std::uint32_t format, int fd, std::uint32_t size);
  void setModifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                    std::uint32_t group);
  // wl_keyboard.repeat_info: characters per second (0: no repeat) and the delay in ms.
  void setRepeat(std::int32_t rate, std::int32_t delay);

  // The virtual-key code of a press of evdev key `key` at `now` (ms), 0 for none; a repeating
  // key starts repeating.
  int press(std::uint32_t key, std::uint64_t now);
  void release(std::uint32_t key);
  // Focus gone: no key repeats any more.
  void stopRepeat() { repeatKey_ = 0; }

  // Milliseconds until the next repeat is due (0: now), -1 when none is.
  int repeatTimeout(std::uint64_t now) const;
  // The code to send again when a repeat is due, else 0; the next one is then scheduled.
  int takeRepeat(std::uint64_t now);

 private:
  int virtualKey(std::uint32_t keycode) const;
  // Compiles the keymap handed over last, if it is not yet, in the modifiers' last state.
  void compileKeymap();

  // The keymap's file while it waits to be compiled, else -1.
  int keymapFd_ = -1;
  std::uint32_t keymapSize_ = 0;
  // wl_keyboard.modifiers' depressed, latched, locked and group, which come before any key.
  std::array<std::uint32_t, 4> modifiers_{};

  xkb_context* context_ = nullptr;
  xkb_keymap* keymap_ = nullptr;
  xkb_state* state_ = nullptr;
  std::int32_t rate_ = 25;
  std::int32_t delay_ = 600;
  // The evdev key repeating, 0 for none, and its code.
  std::uint32_t repeatKey_ = 0;
  int repeatCode_ = 0;
  std::uint64_t nextRepeat_ = 0;
};
