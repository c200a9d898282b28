// The small 20 x 20 buttons of the title bar: help, transparency and keep on top.
#include "tools/TitleIcons.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "platform/canvas.h"
#include "tools/Bevel.h"
#include "tools/Shapes.h"
#include "tools/TextStamp.h"

namespace {

constexpr int kSize = 20;
constexpr Rgb kFace{228, 212, 178};
constexpr Rgb kFrame{150, 122, 82};
// The title bar's typical colour, which the softened corners blend into.
constexpr Rgb kBehind{226, 211, 176};
constexpr Rgb kPinLight{255, 168, 156};
constexpr Rgb kPinMid{228, 46, 38};
constexpr Rgb kPinDark{130, 14, 14};
constexpr Rgb kSteelLight{250, 250, 252};
constexpr Rgb kSteelMid{176, 178, 186};
constexpr Rgb kSteelDark{96, 98, 108};

// The button these glyphs sit on. An on or pressed button is sunken and a shade darker.
Image smallFace(bool sunken) {
  Image face(kSize, kSize, sunken ? scaled(kFace, 0.94) : kFace);
  bevel(face, BevelStyle{.depth = 2, .light = 0.65, .shade = 0.3, .raised = !sunken});
  outline(face, kFrame, kBehind);
  return face;
}

// Shading of a round body seen from the side: `across` runs from -1 on its lit edge to 1 on its
// shaded edge, with a narrow highlight a third of the way in.
Rgb roundShade(Rgb light, Rgb mid, Rgb dark, double across) {
  const double t = std::clamp((across + 1) / 2, 0.0, 1.0);
  const Rgb body = mix(mid, dark, std::clamp((t - 0.4) / 0.6, 0.0, 1.0));
  const double highlight = std::exp(-std::pow((t - 0.28) / 0.13, 2));
  return mix(body, light, 0.85 * highlight);
}

// The pin's parts, upright in a 20 x 20 frame with the point down, drawn `scale` times their
// full size about the frame's centre.
struct PinPart {
  Shape shape;
  bool steel;
  double halfWidth;
};

std::vector<PinPart> pinParts(double scale) {
  const auto at = [scale](double v) { return 10 + (v - 10) * scale; };
  return {
      {capsule(at(10), at(12), at(10), at(18.8), 0.75 * scale), true, 0.9 * scale},
      {roundedBox(at(4.6), at(9.8), at(15.4), at(12.6), 1.4 * scale), false, 5.4 * scale},
      {roundedBox(at(7.3), at(4.4), at(12.7), at(10.4), 0.8 * scale), false, 2.7 * scale},
      {roundedBox(at(5), at(1.4), at(15), at(4.8), 1.6 * scale), false, 5 * scale},
  };
}

// The pin turned `degrees` (clockwise) about the frame's centre. Each part is shaded across the
// pin's axis and lit from the upper left whichever way the pin lies.
void drawPin(Image& image, double degrees, double scale) {
  constexpr double kAxis = 10;
  const double radians = degrees * std::numbers::pi / 180;
  const double cosine = std::cos(radians);
  const double sine = std::sin(radians);
  // The pin's own x axis points along (cosine, sine) on the picture; the light comes from
  // (-1, -1). Across runs towards the shade.
  const double towardsShade = cosine + sine > 0 ? 1 : -1;
  for (PinPart& part : pinParts(scale)) {
    const Shape placed = rotated(std::move(part.shape), degrees, 10, 10);
    const double halfWidth = part.halfWidth;
    const bool steel = part.steel;
    fill(image, placed, [=](double x, double y) {
      const double localX = kAxis + (x - 10) * cosine + (y - 10) * sine;
      const double across = towardsShade * (localX - kAxis) / halfWidth;
      return steel ? roundShade(kSteelLight, kSteelMid, kSteelDark, across)
                   : roundShade(kPinLight, kPinMid, kPinDark, across);
    });
  }
}

// The pin's outline only, for its shadow.
void drawPinShadow(Image& image, double degrees, double scale, double shiftX, double shiftY) {
  for (PinPart& part : pinParts(scale)) {
    const Shape placed = rotated(std::move(part.shape), degrees, 10, 10);
    fill(
        image,
        [&placed, shiftX, shiftY](double x, double y) { return placed(x - shiftX, y - shiftY); },
        Rgb{92, 70, 40}, 0.3);
  }
}

}  // namespace

Image pinPicture(bool standing) {
  Image picture = smallFace(standing);
  if (standing) {
    drawPin(picture, 0, 0.9);
  } else {
    // Lying on its side, head to the left and point to the right, over its own shadow.
    constexpr double kLying = -84;
    constexpr double kScale = 0.84;
    drawPinShadow(picture, kLying, kScale, 0.6, 1.5);
    drawPin(picture, kLying, kScale);
  }
  return picture;
}

Image helpPicture(TextRenderer& text, bool pressed) {
  Image picture = smallFace(pressed);
  const int shift = pressed ? 1 : 0;
  stampText(picture, text, Rect{shift, 1 + shift, kSize + shift, kSize + 1 + shift}, "?",
            Font{17, 9, 900}, Rgb{28, 64, 150});
  return picture;
}

Image transparencyPicture(TextRenderer& text, bool ticked) {
  Image picture = smallFace(ticked);
  if (!ticked) {
    stampText(picture, text, Rect{0, 1, kSize, kSize + 1}, "T", Font{17, 9, 900}, Rgb{52, 40, 30});
    return picture;
  }
  stampText(picture, text, Rect{-2, 0, kSize - 2, kSize}, "T", Font{15, 8, 900}, Rgb{52, 40, 30});
  const Rgb kTick{24, 150, 48};
  fill(picture, united(capsule(10.5, 12, 13, 15.2, 1), capsule(13, 15.2, 17.2, 7.2, 1)), kTick);
  return picture;
}
