// Where the narrow window draws text, for comparisons that leave out what fonts decide.
#pragma once

#include "app/ScreenTable.h"

// Where text is drawn, whose pixels depend on each system's fonts: the two labels, and the
// inside of the six large buttons (their bevelled edges are still compared).
inline bool inText(int x, int y) {
  auto inside = [x, y](const screen::Box& box, int inset) {
    return x >= box.x + inset && x < box.x + box.width - inset && y >= box.y + inset &&
           y < box.y + box.height - inset;
  };
  if (inside(screen::kLevelLabel, 0) || inside(screen::kMovesLabel, 0)) return true;
  for (const screen::Box& button : {screen::kEasy, screen::kMedium, screen::kHard, screen::kSolve,
                                    screen::kPicture, screen::kShowHide}) {
    if (inside(button, 4)) return true;
  }
  return false;
}
