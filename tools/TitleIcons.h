// The small 20 x 20 buttons of the title bar: help, transparency and keep on top.
#pragma once

#include "tools/Image.h"

class TextRenderer;

// A push-pin lying on its side (keep on top off) or standing, pinned in (keep on top on).
Image pinPicture(bool standing);
// A question mark, up or pressed.
Image helpPicture(TextRenderer& text, bool pressed);
// A capital T (transparency off) or the T with a tick mark (on).
Image transparencyPicture(TextRenderer& text, bool ticked);
