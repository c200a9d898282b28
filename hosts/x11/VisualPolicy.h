// Which of a screen's visuals the program's windows are made with, apart from Xlib.
#pragma once

#include <span>

// A visual as the choice sees it.
struct VisualOffer {
  bool trueColour = false;
  int depth = 0;
  unsigned long redMask = 0;
  unsigned long greenMask = 0;
  unsigned long blueMask = 0;
  bool screenDefault = false;
};

// Below 15 bits a TrueColor visual (3-3-2 at 8 bits) cannot show the game's colours, and needs
// a colormap of its own that nothing installs without a window manager.
inline constexpr int kShallowestDepth = 15;

// The index of the visual to use; -1 when none is TrueColor of kShallowestDepth bits or more.
// Any such visual shows the canvas, its frames converted to it: the screen's default one when
// it is TrueColor, at any such depth, so no colormap of our own is needed; else the 24-bit one
// whose masks the canvas's 0x00RRGGBB words fit as they are; else the deepest, the first of
// equals.
int chooseVisual(std::span<const VisualOffer> offers);
