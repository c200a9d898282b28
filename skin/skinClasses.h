// The skin table's class numbers by role: which colour, image and text class each piece reads.
#pragma once

namespace skinClass {

// Colour classes, read at index 1 unless a grid reads them by tile value.
inline constexpr int kBannerText = 0;
// White: outlines, and the pen of the plain buttons.
inline constexpr int kOutline = 2;
inline constexpr int kGridLines = 5;
inline constexpr int kGridCursor = 6;
inline constexpr int kButtonText = 7;
inline constexpr int kButtonFill = 8;
// A grid cell without a bitmap is filled and lettered from these, indexed by the cell's value.
inline constexpr int kCellFill = 15;
inline constexpr int kCellText = 16;
inline constexpr int kTitleBarFill = 17;
// Holds -1, "no colour": a label drawn with it fills nothing.
inline constexpr int kLabelFill = 18;

// Image classes: index 1 is the normal face, 2 the pressed or switched-on one.
inline constexpr int kBackgroundImage = 4;
inline constexpr int kBannerImage = 6;
inline constexpr int kSidePanelImage = 8;
// Indexed by tile value: 1-15 the tiles, 0 and 16-19 the blank.
inline constexpr int kTileImage = 12;
inline constexpr int kKeepOnTopImage = 23;
inline constexpr int kTitleBarImage = 24;
inline constexpr int kHelpImage = 25;
inline constexpr int kLargeButtonImage = 26;
inline constexpr int kTransparencyImage = 29;
// Not classes: the negative values a widget reads as "no bitmap". An image widget outlines its
// rectangle for -1 and draws nothing for -2.
inline constexpr int kNoBitmap = -1;
inline constexpr int kNoImage = -2;

// Text classes: the tile numbers, indexed by tile value.
inline constexpr int kTileText = 1;

}  // namespace skinClass
