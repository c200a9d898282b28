// The choice of visual.
#include "hosts/x11/VisualPolicy.h"

int chooseVisual(std::span<const VisualOffer> offers) {
  const auto rank = [](const VisualOffer& offer) {
    const bool direct = offer.depth == 24 && offer.redMask == 0xFF0000 &&
                        offer.greenMask == 0x00FF00 && offer.blueMask == 0x0000FF;
    return direct ? 1000 : offer.depth;
  };
  int chosen = -1;
  for (int i = 0; i < static_cast<int>(offers.size()); ++i) {
    const VisualOffer& offer = offers[static_cast<std::size_t>(i)];
    if (!offer.trueColour || offer.depth < kShallowestDepth) continue;
    if (offer.screenDefault) return i;
    if (chosen < 0 || rank(offer) > rank(offers[static_cast<std::size_t>(chosen)])) chosen = i;
  }
  return chosen;
}
