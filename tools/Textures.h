// The paper and wood textures the backgrounds, title bar, buttons and banner are cut from.
#pragma once

#include "tools/Image.h"

// Paper cut from one sheet the size of the wide window's client area, at (left, top) of it. The
// background, the side panel and the title bar are cut at their own positions, so their edges
// meet without a seam.
Image parchmentSheet(int left, int top, int width, int height);

// Light wood with grain running left to right. Different `grainOffset`s cut different boards
// from the same log.
Image woodBoard(int width, int height, double grainOffset);
