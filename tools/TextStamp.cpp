// Text on a generated picture, through the program's own FreeType text renderer.
#include "tools/TextStamp.h"

#include <cstdint>
#include <vector>

#include "gfx/TextRenderer.h"

void stampText(Image& image, TextRenderer& renderer, const Rect& area, std::string_view text,
               const Font& font, Rgb colour) {
  std::vector<std::uint32_t> pixels = image.packed();
  const PixelTarget target{pixels, image.width(), image.height()};
  renderer.draw(target, Rect{0, 0, image.width(), image.height()}, area, text, font,
                packRgb(colour));
  image = Image::fromPacked(image.width(), image.height(), pixels);
}
