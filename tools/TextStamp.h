// Text on a generated picture, through the program's own FreeType text renderer.
#pragma once

#include <string_view>

#include "platform/canvas.h"
#include "tools/Image.h"

class TextRenderer;

// Draws `text` centred in `area`, single line, the way the program's canvas draws it.
void stampText(Image& image, TextRenderer& renderer, const Rect& area, std::string_view text,
               const Font& font, Rgb colour);
