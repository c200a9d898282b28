// The rule Windows gives keys their virtual-key codes by, applied to a key's X symbols.
#pragma once

#include <string_view>

// An X key symbol (KeySym), kept apart from Xlib's headers, whose macros clash with other code.
using KeySymbol = unsigned long;

// What decides a key's virtual-key code once the X server has been asked: its symbols in the
// active layout (XKB group) and where the key sits on the keyboard.
struct KeyInLayout {
  // Levels 1 and 2 of the active group: the key alone and with Shift.
  KeySymbol unshifted = 0;
  KeySymbol shifted = 0;
  // The symbol the event's own modifiers select; only the keypad reads it, where NumLock (and
  // Shift against it) chooses between digits and cursor keys.
  KeySymbol withModifiers = 0;
  // XKB's name of the physical key ("AC01" is the key right of Caps Lock). The names do not
  // change with the layout, so they find the key a US keyboard has in the same place.
  std::string_view position;
  // Whether any key of the active group gives a Latin letter on its own.
  bool layoutHasLatinLetters = true;
};

// The virtual-key code (the vk:: codes of platform/messages.h): a Latin letter by its
// capital whatever Shift does; on a layout without Latin letters (Cyrillic, Greek, Hebrew ...)
// a key in a letter position by the US letter of that position; digits by their character
// (also where Shift gives the digit, as on AZERTY's top row); the keypad by NumLock; the
// function, cursor and editing keys by their codes. 0 for keys the program never hears of.
int virtualKeyFor(const KeyInLayout& key);

// The code the key's own symbols give, 0 where only its position can give one.
int virtualKeyBySymbol(const KeyInLayout& key);
// Whether the symbol is one of the 26 Latin letters, small or capital.
bool isLatinLetter(KeySymbol symbol);

// The XKB name of an evdev key code in a letter position ("AC01" for 38), empty otherwise. The
// X servers of today number keys by evdev; this stands in only where XKB gives no names.
std::string_view evdevLetterPosition(unsigned keycode);
