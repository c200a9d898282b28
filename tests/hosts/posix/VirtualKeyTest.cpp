// Virtual-key codes by layout: Latin letters by their capital, non-Latin layouts by the US
// letter of the key's position, digits, the keypad by NumLock, and keys nobody hears of.
#include "hosts/posix/VirtualKey.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

namespace {

struct Case {
  const char* name;
  KeyInLayout key;
  int expected;
};

// Symbols as the layouts in xkeyboard-config give them: unshifted, shifted, with the event's
// modifiers, position, whether the layout has Latin letters.
constexpr bool kLatin = true;
constexpr bool kNonLatin = false;

TEST(VirtualKey, KeysGiveTheCodesWindowsGivesInTheirLayout) {
  const Case cases[] = {
      {"US a", {XK_a, XK_A, XK_a, "AC01", kLatin}, 'A'},
      {"US A with Shift", {XK_a, XK_A, XK_A, "AC01", kLatin}, 'A'},
      {"AZERTY A key, US Q position", {XK_a, XK_A, XK_a, "AD01", kLatin}, 'A'},
      {"AZERTY M beside L", {XK_m, XK_M, XK_m, "AC10", kLatin}, 'M'},
      {"AZERTY comma at US M gives nothing", {XK_comma, XK_question, XK_comma, "AB07", kLatin}, 0},
      {"AZERTY top row gives its shifted digit", {XK_ampersand, XK_1, XK_ampersand, "AE01", kLatin},
       '1'},
      {"QWERTZ Y at US Z", {XK_y, XK_Y, XK_y, "AB01", kLatin}, 'Y'},
      {"QWERTZ Z at US Y", {XK_z, XK_Z, XK_z, "AD06", kLatin}, 'Z'},
      {"Russian es is C", {XK_Cyrillic_es, XK_Cyrillic_ES, XK_Cyrillic_es, "AB03", kNonLatin}, 'C'},
      {"Russian el is K", {XK_Cyrillic_el, XK_Cyrillic_EL, XK_Cyrillic_el, "AC08", kNonLatin}, 'K'},
      {"Russian te is N", {XK_Cyrillic_te, XK_Cyrillic_TE, XK_Cyrillic_te, "AB06", kNonLatin}, 'N'},
      {"Russian yeru is S",
       {XK_Cyrillic_yeru, XK_Cyrillic_YERU, XK_Cyrillic_YERU, "AC02", kNonLatin}, 'S'},
      {"Russian zhe is outside the US letters",
       {XK_Cyrillic_zhe, XK_Cyrillic_ZHE, XK_Cyrillic_zhe, "AC10", kNonLatin}, 0},
      {"Russian digit", {XK_7, XK_question, XK_7, "AE07", kNonLatin}, '7'},
      {"Greek semicolon in the Q position", {XK_semicolon, XK_colon, XK_semicolon, "AD01", kNonLatin},
       'Q'},
      {"Greek psi is C", {XK_Greek_psi, XK_Greek_PSI, XK_Greek_psi, "AB03", kNonLatin}, 'C'},
      {"Hebrew bet is C", {XK_hebrew_bet, XK_C, XK_hebrew_bet, "AB03", kNonLatin}, 'C'},
      {"Hebrew shin is S", {XK_hebrew_shin, XK_S, XK_hebrew_shin, "AC02", kNonLatin}, 'S'},
      {"left arrow", {XK_Left, XK_Left, XK_Left, "LEFT", kLatin}, 0x25},
      {"down arrow on a non-Latin layout", {XK_Down, XK_Down, XK_Down, "DOWN", kNonLatin}, 0x28},
      {"Escape", {XK_Escape, XK_Escape, XK_Escape, "ESC", kNonLatin}, 0x1B},
      {"Return", {XK_Return, XK_Return, XK_Return, "RTRN", kLatin}, 0x0D},
      {"F12", {XK_F12, XK_F12, XK_F12, "FK12", kLatin}, 0x7B},
      {"keypad 1 with NumLock", {XK_KP_End, XK_KP_1, XK_KP_1, "KP1", kLatin}, 0x61},
      {"keypad 1 without NumLock", {XK_KP_End, XK_KP_1, XK_KP_End, "KP1", kLatin}, 0x23},
      {"keypad Enter", {XK_KP_Enter, XK_KP_Enter, XK_KP_Enter, "KPEN", kLatin}, 0x0D},
      {"Shift is unknown", {XK_Shift_L, XK_Shift_L, XK_Shift_L, "LFSH", kNonLatin}, 0},
      {"a key without symbols is unknown", {0, 0, 0, "", kNonLatin}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(virtualKeyFor(c.key), c.expected) << c.name;
  }
}

TEST(VirtualKey, EvdevKeyCodesNameTheLetterPositions) {
  const struct {
    unsigned keycode;
    std::string_view position;
  } cases[] = {{24, "AD01"}, {33, "AD10"}, {34, ""}, {38, "AC01"}, {46, "AC09"},
               {52, "AB01"}, {58, "AB07"}, {59, ""}, {9, ""}, {255, ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(evdevLetterPosition(c.keycode), c.position) << c.keycode;
  }
}

}  // namespace
