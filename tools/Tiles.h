// The 78 x 78 tiles: numbered tiles, the blank, and the pieces of the swirl picture.
#pragma once

#include "tools/Image.h"

class TextRenderer;

constexpr int kTileSize = 78;

// Tile `value` (1..15) of the numbered skin: a large black number on a pastel tile whose colour
// tells the row it belongs to.
Image numberedTile(TextRenderer& text, int value);
// The blank cell of both skins.
Image blankTile();
// The whole 312 x 312 picture of the picture skin.
Image swirlPicture();
// Piece `value` (1..15) of the swirl: row (value - 1) / 4, column (value - 1) % 4.
Image swirlPiece(int value);
