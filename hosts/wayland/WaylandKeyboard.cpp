// The Wayland keyboard: its keymap through xkbcommon, virtual-key codes and key repeat.
#include "hosts/wayland/WaylandKeyboard.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client-protocol.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "gfx/SharedLibrary.h"
#include "hosts/posix/VirtualKey.h"

// xkbcommon is opened when the first key needs the keymap: no start loads it for a window
// that is only clicked. Each function used is a pointer in one table, and the names below turn
// calls into calls through it (calls only, so each name stays free to be the table's field).
#define DERADU_XKB_FUNCTIONS(X)                                                           \
  X(xkb_context_new) X(xkb_context_unref) X(xkb_keymap_new_from_string)                  \
  X(xkb_keymap_unref) X(xkb_keymap_key_for_each) X(xkb_keymap_key_get_name)              \
  X(xkb_keymap_key_get_syms_by_level) X(xkb_keymap_key_repeats) X(xkb_state_new)         \
  X(xkb_state_unref) X(xkb_state_update_mask) X(xkb_state_key_get_layout)                \
  X(xkb_state_key_get_one_sym) X(xkb_state_mod_name_is_active)

namespace {

struct XkbFunctions {
  DERADU_XKB_FUNCTIONS(DERADU_FUNCTION_SLOT)
};
XkbFunctions gXkb;

// Binds the table once per process; false when the library or a function is missing.
bool openXkbLibrary() {
  if (gXkb.xkb_context_new != nullptr) return true;
  // Never closed (SharedLibrary keeps its handle), as the functions taken from it must stay.
  const SharedLibrary library("libxkbcommon.so.0");
  return library.bindTable(gXkb, [&library](XkbFunctions& table) {
    bool all = true;
    DERADU_XKB_FUNCTIONS(DERADU_BIND_SLOT)
    return all;
  });
}

}  // namespace

#define xkb_context_new(...) gXkb.xkb_context_new(__VA_ARGS__)
#define xkb_context_unref(...) gXkb.xkb_context_unref(__VA_ARGS__)
#define xkb_keymap_new_from_string(...) gXkb.xkb_keymap_new_from_string(__VA_ARGS__)
#define xkb_keymap_unref(...) gXkb.xkb_keymap_unref(__VA_ARGS__)
#define xkb_keymap_key_for_each(...) gXkb.xkb_keymap_key_for_each(__VA_ARGS__)
#define xkb_keymap_key_get_name(...) gXkb.xkb_keymap_key_get_name(__VA_ARGS__)
#define xkb_keymap_key_get_syms_by_level(...) gXkb.xkb_keymap_key_get_syms_by_level(__VA_ARGS__)
#define xkb_keymap_key_repeats(...) gXkb.xkb_keymap_key_repeats(__VA_ARGS__)
#define xkb_state_new(...) gXkb.xkb_state_new(__VA_ARGS__)
#define xkb_state_unref(...) gXkb.xkb_state_unref(__VA_ARGS__)
#define xkb_state_update_mask(...) gXkb.xkb_state_update_mask(__VA_ARGS__)
#define xkb_state_key_get_layout(...) gXkb.xkb_state_key_get_layout(__VA_ARGS__)
#define xkb_state_key_get_one_sym(...) gXkb.xkb_state_key_get_one_sym(__VA_ARGS__)
#define xkb_state_mod_name_is_active(...) gXkb.xkb_state_mod_name_is_active(__VA_ARGS__)

namespace {

// Wayland numbers keys by evdev; xkbcommon by evdev plus 8, as X servers do.
constexpr std::uint32_t kEvdevOffset = 8;

KeySymbol symbolAtLevel(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_layout_index_t layout,
                        xkb_level_index_t level) {
  const xkb_keysym_t* symbols = nullptr;
  const int count = xkb_keymap_key_get_syms_by_level(keymap, keycode, layout, level, &symbols);
  return count > 0 ? symbols[0] : 0;
}

struct LatinSearch {
  xkb_layout_index_t layout = 0;
  bool found = false;
};

void findLatinLetter(xkb_keymap* keymap, xkb_keycode_t keycode, void* data) {
  auto& search = *static_cast<LatinSearch*>(data);
  if (!search.found) search.found = isLatinLetter(symbolAtLevel(keymap, keycode, search.layout, 0));
}

}  // namespace

WaylandKeyboard::~WaylandKeyboard() {
  if (keymapFd_ >= 0) close(keymapFd_);
  if (state_ != nullptr) xkb_state_unref(state_);
  if (keymap_ != nullptr) xkb_keymap_unref(keymap_);
  if (context_ != nullptr) xkb_context_unref(context_);
}

void WaylandKeyboard::setKeymap(std::uint32_t format, int fd, std::uint32_t size) {
  if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 || size == 0) {
    close(fd);
    return;
  }
  // Kept as handed over, and compiled (milliseconds, and xkbcommon loaded) at the first key.
  if (keymapFd_ >= 0) close(keymapFd_);
  keymapFd_ = fd;
  keymapSize_ = size;
  repeatKey_ = 0;
}

void WaylandKeyboard::compileKeymap() {
  const int fd = std::exchange(keymapFd_, -1);
  if (fd < 0) return;
  if (context_ == nullptr && openXkbLibrary()) context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  // Since version 7 the compositor may hand out a private mapping only.
  void* text = context_ != nullptr
                   ? mmap(nullptr, keymapSize_, PROT_READ, MAP_PRIVATE, fd, 0)
                   : MAP_FAILED;
  close(fd);
  if (text == MAP_FAILED) return;
  // The text ends in a NUL within `size`; a keymap without one is refused whole.
  const std::string keymapText(static_cast<const char*>(text),
                               strnlen(static_cast<const char*>(text), keymapSize_));
  munmap(text, keymapSize_);
  xkb_keymap* keymap = xkb_keymap_new_from_string(
      context_, keymapText.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (keymap == nullptr) return;
  xkb_state* state = xkb_state_new(keymap);
  if (state == nullptr) {
    xkb_keymap_unref(keymap);
    return;
  }
  if (state_ != nullptr) xkb_state_unref(state_);
  if (keymap_ != nullptr) xkb_keymap_unref(keymap_);
  keymap_ = keymap;
  state_ = state;
  setModifiers(modifiers_[0], modifiers_[1], modifiers_[2], modifiers_[3]);
}

void WaylandKeyboard::setModifiers(std::uint32_t depressed, std::uint32_t latched,
                                   std::uint32_t locked, std::uint32_t group) {
  modifiers_ = {depressed, latched, locked, group};
  if (state_ != nullptr) xkb_state_update_mask(state_, depressed, latched, locked, 0, 0, group);
}

void WaylandKeyboard::setRepeat(std::int32_t rate, std::int32_t delay) {
  rate_ = std::max(rate, 0);
  delay_ = std::max(delay, 0);
  if (rate_ == 0) repeatKey_ = 0;
}

int WaylandKeyboard::virtualKey(std::uint32_t keycode) const {
  // With Alt held Windows sends WM_SYSKEYDOWN, which the program never handles.
  if (xkb_state_mod_name_is_active(state_, XKB_MOD_NAME_ALT, XKB_STATE_MODS_EFFECTIVE) > 0) {
    return 0;
  }
  const xkb_layout_index_t layout = xkb_state_key_get_layout(state_, keycode);
  if (layout == XKB_LAYOUT_INVALID) return 0;
  KeyInLayout key;
  key.unshifted = symbolAtLevel(keymap_, keycode, layout, 0);
  key.shifted = symbolAtLevel(keymap_, keycode, layout, 1);
  key.withModifiers = xkb_state_key_get_one_sym(state_, keycode);
  // Most keys settle here; the whole layout and the key's name are read only for the others.
  if (virtualKeyBySymbol(key) != 0) return virtualKeyFor(key);
  LatinSearch search{layout, false};
  xkb_keymap_key_for_each(keymap_, findLatinLetter, &search);
  key.layoutHasLatinLetters = search.found;
  const char* name = xkb_keymap_key_get_name(keymap_, keycode);
  key.position = name != nullptr ? std::string_view(name) : evdevLetterPosition(keycode);
  return virtualKeyFor(key);
}

int WaylandKeyboard::press(std::uint32_t key, std::uint64_t now) {
  compileKeymap();
  if (state_ == nullptr) return 0;
  const xkb_keycode_t keycode = key + kEvdevOffset;
  const int code = virtualKey(keycode);
  // As on X, a repeating key takes over from the one repeating before; a modifier does not.
  if (rate_ > 0 && xkb_keymap_key_repeats(keymap_, keycode)) {
    repeatKey_ = key;
    repeatCode_ = code;
    nextRepeat_ = now + static_cast<std::uint64_t>(delay_);
  }
  return code;
}

void WaylandKeyboard::release(std::uint32_t key) {
  if (key == repeatKey_) repeatKey_ = 0;
}

int WaylandKeyboard::repeatTimeout(std::uint64_t now) const {
  if (repeatKey_ == 0 || repeatCode_ == 0) return -1;
  return nextRepeat_ <= now ? 0
                            : static_cast<int>(std::min<std::uint64_t>(nextRepeat_ - now, 60000));
}

int WaylandKeyboard::takeRepeat(std::uint64_t now) {
  if (repeatKey_ == 0 || repeatCode_ == 0 || nextRepeat_ > now) return 0;
  // A repeat served late is not made up for.
  nextRepeat_ = now + static_cast<std::uint64_t>(std::max(1000 / std::max(rate_, 1), 1));
  return repeatCode_;
}
