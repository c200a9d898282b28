// The large pictures: paper backgrounds, the title bar, the wooden button faces and the banner.
#include "tools/Panels.h"

#include <algorithm>

#include "tools/Bevel.h"
#include "tools/TextStamp.h"
#include "tools/Tiles.h"
#include "tools/Textures.h"

namespace {

constexpr int kWindowHeight = 426;
constexpr int kNarrowWidth = 477;
constexpr int kSidePanelWidth = 393;
constexpr Rgb kTitleTint{214, 192, 148};
constexpr Rgb kTitleRule{150, 122, 82};
constexpr Rgb kWoodEdge{128, 92, 52};
// The paper's typical colour, which the rounded corners of the wooden pieces blend into.
constexpr Rgb kPaperBehind{236, 224, 194};

}  // namespace

Image backgroundPicture() { return parchmentSheet(0, 0, kNarrowWidth, kWindowHeight); }

Image sidePanelPicture() { return parchmentSheet(kNarrowWidth, 0, kSidePanelWidth, kWindowHeight); }

Image titleBarPicture() {
  Image strip = parchmentSheet(0, 0, 475, 20);
  for (int x = 0; x < strip.width(); ++x) {
    // The last columns lie beyond the narrow window's client area (471 pixels); in the wide
    // window they let the bar fade into the paper instead of ending in a step.
    const double strength = std::clamp((strip.width() - x) / 5.0, 0.0, 1.0);
    for (int y = 0; y < strip.height(); ++y) {
      strip.set(x, y, mix(strip.at(x, y), kTitleTint, 0.35 * strength));
    }
    // A lit top row and a ruled lower edge with a faint shadow above it.
    strip.blend(x, 0, Rgb{255, 252, 240}, 0.45 * strength);
    strip.blend(x, 17, kTitleRule, 0.12 * strength);
    strip.blend(x, 18, kTitleRule, 0.35 * strength);
    strip.blend(x, 19, kTitleRule, 0.8 * strength);
  }
  return strip;
}

Image buttonFacePicture(bool pressed) {
  Image face = woodBoard(81, 31, 0);
  if (pressed) {
    // A pressed face sits deeper, out of the light.
    for (int y = 0; y < face.height(); ++y) {
      for (int x = 0; x < face.width(); ++x) {
        face.set(x, y, scaled(face.at(x, y), 0.93));
      }
    }
  }
  bevel(face, BevelStyle{.depth = 3, .light = 0.6, .shade = 0.4, .raised = !pressed});
  outline(face, kWoodEdge, kPaperBehind);
  return face;
}

Image bannerPicture(TextRenderer& text) {
  Image plaque = woodBoard(110, 30, 37);
  bevel(plaque, BevelStyle{.depth = 2, .light = 0.55, .shade = 0.35, .raised = true});
  outline(plaque, kWoodEdge, kPaperBehind);
  // Letters cut into the wood: a light lip below and to the right of grey strokes.
  const Font font{17, 7, 700};
  stampText(plaque, text, Rect{1, 1, 111, 31}, "Completed !", font, Rgb{250, 238, 214});
  stampText(plaque, text, Rect{0, 0, 110, 30}, "Completed !", font, Rgb{104, 100, 96});
  return plaque;
}

namespace {

// `piece` reduced to size x size, each pixel the mean of the source pixels it covers.
Image reduced(const Image& piece, int size) {
  Image small(size, size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      Rgb sum;
      int count = 0;
      for (int sy = y * piece.height() / size; sy < (y + 1) * piece.height() / size; ++sy) {
        for (int sx = x * piece.width() / size; sx < (x + 1) * piece.width() / size; ++sx) {
          const Rgb pixel = piece.at(sx, sy);
          sum = {sum.r + pixel.r, sum.g + pixel.g, sum.b + pixel.b};
          ++count;
        }
      }
      small.set(x, y, scaled(sum, 1.0 / count));
    }
  }
  return small;
}

void paste(Image& onto, const Image& picture, int left, int top) {
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) onto.set(left + x, top + y, picture.at(x, y));
  }
}

}  // namespace

Image installerPagePicture() {
  constexpr int kWidth = 164;
  constexpr int kHeight = 314;
  constexpr int kCell = 32;
  constexpr int kGap = 2;
  constexpr int kRim = 6;
  constexpr int kTray = 4 * kCell + 3 * kGap + 2 * kRim;
  Image page = parchmentSheet(0, 0, kWidth, kHeight);
  Image tray = woodBoard(kTray, kTray, 11);
  bevel(tray, BevelStyle{.depth = 3, .light = 0.55, .shade = 0.4, .raised = true});
  outline(tray, kWoodEdge, kPaperBehind);
  // The last cell is the blank, sunk into the tray, so the board reads as a sliding puzzle.
  for (int value = 1; value <= 16; ++value) {
    Image cell = value < 16 ? reduced(swirlPiece(value), kCell) : woodBoard(kCell, kCell, 23);
    bevel(cell, BevelStyle{.depth = 1, .light = 0.45, .shade = 0.35, .raised = value < 16});
    const int column = (value - 1) % 4;
    const int row = (value - 1) / 4;
    paste(tray, cell, kRim + column * (kCell + kGap), kRim + row * (kCell + kGap));
  }
  paste(page, tray, (kWidth - kTray) / 2, (kHeight - kTray) / 2);
  return page;
}
