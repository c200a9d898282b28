// Virtual-key codes for X key presses: the key's symbols and position read from the server.
#include "hosts/x11/KeyMap.h"

#include <cstring>
#include <memory>

#include "hosts/posix/VirtualKey.h"

namespace {

struct KeyboardDeleter {
  void operator()(XkbDescRec* keyboard) const { XkbFreeKeyboard(keyboard, 0, True); }
};
using Keyboard = std::unique_ptr<XkbDescRec, KeyboardDeleter>;

KeySym symbolAt(XkbDescPtr keyboard, unsigned keycode, unsigned state) {
  unsigned consumed = 0;
  KeySym symbol = NoSymbol;
  if (!XkbTranslateKeyCode(keyboard, static_cast<KeyCode>(keycode), state, &consumed, &symbol)) {
    return NoSymbol;
  }
  return symbol;
}

bool groupHasLatinLetters(XkbDescPtr keyboard, unsigned groupState) {
  for (unsigned keycode = keyboard->min_key_code; keycode <= keyboard->max_key_code; ++keycode) {
    if (isLatinLetter(symbolAt(keyboard, keycode, groupState))) return true;
  }
  return false;
}

// Without XKB (a server that lacks it, or Xlib told not to use it) only the first group is
// known, and the key code stands for the position.
KeyInLayout coreProtocolKey(Display* display, const XKeyEvent& event) {
  XKeyEvent copy = event;
  KeyInLayout key;
  key.unshifted = XLookupKeysym(&copy, 0);
  key.shifted = XLookupKeysym(&copy, 1);
  key.withModifiers = XLookupKeysym(&copy, (event.state & ShiftMask) != 0 ? 1 : 0);
  key.position = evdevLetterPosition(event.keycode);
  int first = 0;
  int last = 0;
  XDisplayKeycodes(display, &first, &last);
  key.layoutHasLatinLetters = false;
  for (int keycode = first; keycode <= last && !key.layoutHasLatinLetters; ++keycode) {
    copy.keycode = static_cast<unsigned>(keycode);
    key.layoutHasLatinLetters = isLatinLetter(XLookupKeysym(&copy, 0));
  }
  return key;
}

}  // namespace

int virtualKey(Display* display, const XKeyEvent& event) {
  const Keyboard keyboard(XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd));
  if (!keyboard) return virtualKeyFor(coreProtocolKey(display, event));
  const unsigned group = XkbBuildCoreState(0, XkbGroupForCoreState(event.state));
  KeyInLayout key;
  key.unshifted = symbolAt(keyboard.get(), event.keycode, group);
  key.shifted = symbolAt(keyboard.get(), event.keycode, group | ShiftMask);
  key.withModifiers = symbolAt(keyboard.get(), event.keycode, event.state);
  // Most keys settle here; the whole group and the key names are read only for the others.
  if (virtualKeyBySymbol(key) != 0) return virtualKeyFor(key);
  key.layoutHasLatinLetters = groupHasLatinLetters(keyboard.get(), group);
  if (XkbGetNames(display, XkbKeyNamesMask, keyboard.get()) == Success && keyboard->names &&
      keyboard->names->keys && event.keycode >= keyboard->min_key_code &&
      event.keycode <= keyboard->max_key_code) {
    const char* name = keyboard->names->keys[event.keycode].name;
    key.position = std::string_view(name, strnlen(name, XkbKeyNameLength));
  } else {
    key.position = evdevLetterPosition(event.keycode);
  }
  return virtualKeyFor(key);
}
