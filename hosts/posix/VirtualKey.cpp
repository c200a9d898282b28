// Virtual-key codes from a key's symbols in the active layout and its position.
#include "hosts/posix/VirtualKey.h"

#include <X11/keysym.h>

#include <array>

#include "platform/messages.h"

namespace {

// The letters of the US layout by row, left to right. Evdev numbers the keys of a row
// consecutively from the first key code given here.
struct LetterRow {
  std::string_view letters;
  unsigned firstEvdevKeycode;
};
constexpr std::array<LetterRow, 3> kUsLetterRows{{
    {"QWERTYUIOP", 24},
    {"ASDFGHJKL", 38},
    {"ZXCVBNM", 52},
}};
// XKB's names of the same keys, four characters each, in the same order ("AD01" is the first
// key of row D, the one with Q).
constexpr std::string_view kLetterPositions =
    "AD01AD02AD03AD04AD05AD06AD07AD08AD09AD10"
    "AC01AC02AC03AC04AC05AC06AC07AC08AC09"
    "AB01AB02AB03AB04AB05AB06AB07";

// The US letter of a physical key, 0 when the key is not in a letter position there.
int usLetterAt(std::string_view position) {
  if (position.size() != 4) return 0;
  std::size_t index = 0;
  for (const LetterRow& row : kUsLetterRows) {
    for (const char letter : row.letters) {
      if (kLetterPositions.substr(4 * index++, 4) == position) return letter;
    }
  }
  return 0;
}

int latinCapital(KeySymbol symbol) {
  if (symbol >= XK_a && symbol <= XK_z) return static_cast<int>('A' + (symbol - XK_a));
  if (symbol >= XK_A && symbol <= XK_Z) return static_cast<int>(symbol);
  return 0;
}

int digit(KeySymbol symbol) {
  return symbol >= XK_0 && symbol <= XK_9 ? static_cast<int>(symbol) : 0;
}

bool isKeypad(KeySymbol symbol) { return symbol >= XK_KP_Space && symbol <= XK_KP_Equal; }

// Keypad symbols, which XKB already gives as digits or cursor keys by NumLock and Shift.
int keypadKey(KeySymbol symbol) {
  if (symbol >= XK_KP_0 && symbol <= XK_KP_9) {
    return vk::kNumpad0 + static_cast<int>(symbol - XK_KP_0);
  }
  switch (symbol) {
    case XK_KP_Multiply: return vk::kMultiply;
    case XK_KP_Add: return vk::kAdd;
    case XK_KP_Separator: return vk::kSeparator;
    case XK_KP_Subtract: return vk::kSubtract;
    case XK_KP_Decimal: return vk::kDecimal;
    case XK_KP_Divide: return vk::kDivide;
    case XK_KP_Enter: return vk::kReturn;
    case XK_KP_Space: return vk::kSpace;
    case XK_KP_Tab: return vk::kTab;
    case XK_KP_Home: return vk::kHome;
    case XK_KP_Left: return vk::kLeft;
    case XK_KP_Up: return vk::kUp;
    case XK_KP_Right: return vk::kRight;
    case XK_KP_Down: return vk::kDown;
    case XK_KP_Prior: return vk::kPrior;
    case XK_KP_Next: return vk::kNext;
    case XK_KP_End: return vk::kEnd;
    case XK_KP_Begin: return vk::kClear;
    case XK_KP_Insert: return vk::kInsert;
    case XK_KP_Delete: return vk::kDelete;
    default: return 0;
  }
}

int namedKey(KeySymbol symbol) {
  if (symbol >= XK_F1 && symbol <= XK_F24) return vk::kF1 + static_cast<int>(symbol - XK_F1);
  switch (symbol) {
    case XK_Left: return vk::kLeft;
    case XK_Up: return vk::kUp;
    case XK_Right: return vk::kRight;
    case XK_Down: return vk::kDown;
    case XK_BackSpace: return vk::kBack;
    case XK_Tab:
    case XK_ISO_Left_Tab: return vk::kTab;
    case XK_Return: return vk::kReturn;
    case XK_Escape: return vk::kEscape;
    case XK_space: return vk::kSpace;
    case XK_Prior: return vk::kPrior;
    case XK_Next: return vk::kNext;
    case XK_End: return vk::kEnd;
    case XK_Home: return vk::kHome;
    case XK_Insert: return vk::kInsert;
    case XK_Delete: return vk::kDelete;
    default: return 0;
  }
}

}  // namespace

int virtualKeyBySymbol(const KeyInLayout& key) {
  if (isKeypad(key.unshifted)) return keypadKey(key.withModifiers);
  if (const int letter = latinCapital(key.unshifted)) return letter;
  if (const int number = digit(key.unshifted)) return number;
  return namedKey(key.unshifted);
}

bool isLatinLetter(KeySymbol symbol) { return latinCapital(symbol) != 0; }

int virtualKeyFor(const KeyInLayout& key) {
  if (const int own = virtualKeyBySymbol(key)) return own;
  if (!key.layoutHasLatinLetters) {
    if (const int letter = usLetterAt(key.position)) return letter;
  }
  // Layouts with their digits on Shift (AZERTY's top row) still give the digit's code.
  return digit(key.shifted);
}

std::string_view evdevLetterPosition(unsigned keycode) {
  std::size_t index = 0;
  for (const LetterRow& row : kUsLetterRows) {
    if (keycode >= row.firstEvdevKeycode && keycode < row.firstEvdevKeycode + row.letters.size()) {
      return kLetterPositions.substr(4 * (index + keycode - row.firstEvdevKeycode), 4);
    }
    index += row.letters.size();
  }
  return {};
}
