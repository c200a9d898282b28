// The window's icon: a little board of coloured squares.
#pragma once

#include "tools/Image.h"

// 32 x 32: four rows of four squares, yellow, light blue, orange and green, on black.
Image appIconPicture();
