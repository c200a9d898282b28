// The large pictures: paper backgrounds, the title bar, the wooden button faces and the banner.
#pragma once

#include "tools/Image.h"

class TextRenderer;

// Background of the window (477 x 426) and of the side panel (393 x 426), which sits beside it.
Image backgroundPicture();
Image sidePanelPicture();
// The strip under the level and moves labels (475 x 20): the same paper, a shade warmer, with
// a fine rule along its lower edge.
Image titleBarPicture();
// The large buttons' face (81 x 31), up or pressed.
Image buttonFacePicture(bool pressed);
// The completion banner (110 x 30): a small wooden plaque with the words cut into it.
Image bannerPicture(TextRenderer& text);
// The installer's welcome and finish pages (164 x 314, the size their left column has at
// 96 dpi): the swirl as a board of fifteen pieces and the blank, in a wooden tray on the paper.
Image installerPagePicture();
