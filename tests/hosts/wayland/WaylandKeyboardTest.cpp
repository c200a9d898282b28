// Wayland keys through xkbcommon: the virtual-key rule on real layouts, and key repeat.
#include "hosts/wayland/WaylandKeyboard.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/messages.h"

namespace {

constexpr std::uint32_t kXkbV1 = 1;

// The keyboard as a compositor sets it up: the keymap's text handed over in a file. Also
// gives the modifier masks of that keymap.
struct Layout {
  WaylandKeyboard keyboard;
  std::uint32_t shift = 0;
  std::uint32_t alt = 0;

  explicit Layout(const char* name) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names = {"evdev", "pc105", name, "", ""};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    EXPECT_NE(keymap, nullptr) << name;
    if (keymap == nullptr) return;
    shift = 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_SHIFT);
    alt = 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_ALT);
    const std::unique_ptr<char, decltype(&std::free)> text(
        xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1), &std::free);
    const std::size_t size = std::strlen(text.get()) + 1;
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    EXPECT_EQ(write(fd, text.get(), size), static_cast<ssize_t>(size));
    keyboard.setKeymap(kXkbV1, fd, static_cast<std::uint32_t>(size));
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
  }
};

TEST(WaylandKeyboard, LettersByCapitalOrUsPositionDigitsByCharacterAltKeysIgnored) {
  struct Case {
    const char* layout;
    std::uint32_t key;
    bool shift;
    bool alt;
    int expected;
  };
  const std::vector<Case> cases = {
      {"us", KEY_A, false, false, 'A'},
      {"us", KEY_A, true, false, 'A'},
      {"us", KEY_A, false, true, 0},  // a system key
      {"ru", KEY_A, false, false, 'A'},  // no Latin letters: the US letter of the place
      {"fr", KEY_Q, false, false, 'A'},  // AZERTY: the letter the key gives
      {"fr", KEY_1, false, false, '1'},  // the digit is on the shifted level
      {"us", KEY_LEFT, false, false, vk::kLeft},
      {"us", KEY_LEFTSHIFT, false, false, 0},
  };
  for (const Case& c : cases) {
    Layout layout(c.layout);
    layout.keyboard.setModifiers((c.shift ? layout.shift : 0) | (c.alt ? layout.alt : 0), 0, 0,
                                 0);
    EXPECT_EQ(layout.keyboard.press(c.key, 0), c.expected)
        << c.layout << " key " << c.key << (c.shift ? " +Shift" : "") << (c.alt ? " +Alt" : "");
  }
}

TEST(WaylandKeyboard, HeldKeyRepeatsAfterTheDelayAtTheRateUntilReleased) {
  Layout layout("us");
  WaylandKeyboard& keyboard = layout.keyboard;
  keyboard.setRepeat(25, 600);
  ASSERT_EQ(keyboard.press(KEY_A, 1000), 'A');
  EXPECT_EQ(keyboard.repeatTimeout(1000), 600);
  EXPECT_EQ(keyboard.takeRepeat(1599), 0);
  EXPECT_EQ(keyboard.takeRepeat(1600), 'A');
  EXPECT_EQ(keyboard.repeatTimeout(1600), 40);
  // A modifier pressed meanwhile neither repeats nor stops the letter.
  EXPECT_EQ(keyboard.press(KEY_LEFTSHIFT, 1610), 0);
  EXPECT_EQ(keyboard.takeRepeat(1640), 'A');
  // Late by a second: one repeat, none made up for.
  EXPECT_EQ(keyboard.takeRepeat(2640), 'A');
  EXPECT_EQ(keyboard.takeRepeat(2641), 0);
  keyboard.release(KEY_A);
  EXPECT_EQ(keyboard.repeatTimeout(2700), -1);
  EXPECT_EQ(keyboard.takeRepeat(5000), 0);

  keyboard.setRepeat(0, 600);  // the compositor turned repeat off
  keyboard.press(KEY_A, 6000);
  EXPECT_EQ(keyboard.repeatTimeout(7000), -1);
}

}  // namespace
