// The two-setting switch's press and release.
#include "widgets/scobStateButton.h"

scobStateButton::scobStateButton() {
  numStates = 2;
  state = 1;
}

bool scobStateButton::onLeftRelease() {
  if (!pending) return false;
  // Past the last setting it returns to the first (written so it cannot overflow).
  state = state >= numStates ? 1 : state + 1;
  pending = false;
  dirty = true;
  return true;
}

void scobStateButton::onLeftPress() {
  pending = true;
  dirty = true;
}
