// What the settings file carries between runs, as the program uses it: the one reading of lines
// 0-5 and the one writing of them.
#pragma once

#include <cstdint>

#include "platform/canvas.h"

class Settings;

struct SavedState {
  // As written; the screen checks it against the skin count.
  std::int32_t skin = 0;
  bool keepOnTop = false;
  bool transparency = false;
  // The window's outer top-left corner; start-up checks it against the screen.
  Point position;
  // Written for the next run; every start deals Medium all the same.
  std::int32_t level = 0;
};

// The values the lines read as (a line never given a text reads as 0, a flag is any non-zero).
SavedState readSavedState(const Settings& settings);

// Lines 0-5 as the unsigned decimal form of the values: a negative coordinate is kept as its
// unsigned 32-bit value, which the next start reads as too large and replaces. Without
// `withPosition` lines 3 and 4 keep their text exactly as it was read.
void storeSavedState(const SavedState& state, Settings& settings, bool withPosition = true);
