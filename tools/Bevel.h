// Raised and sunken edges for button faces, plaques and tiles.
#pragma once

#include "tools/Image.h"

struct BevelStyle {
  // Width of the edge in pixels.
  int depth = 2;
  // How strongly the lit and the shaded sides move towards white and black at the outer ring;
  // inner rings fade linearly.
  double light = 0.5;
  double shade = 0.35;
  // Raised: light from the top left falls on the top and left sides. Sunken swaps the sides.
  bool raised = true;
};

// Shades the ring of `style.depth` pixels inside the picture's edge; corners are split along
// the diagonal, as a bevelled frame's mitres are.
void bevel(Image& image, const BevelStyle& style);
// A one-pixel frame of `colour` round the edge, with the four corner pixels softened halfway
// towards `corner` so the frame looks slightly rounded.
void outline(Image& image, Rgb colour, Rgb corner);
