// The built-in skins. Both share every colour, text and image except the tiles.
#include "skin/skinInstance.h"

#include <string>

#include "skin/skinClasses.h"

namespace {

using namespace skinClass;

struct ColourEntry {
  int colourClass;
  std::int32_t value;
};

// Colour classes read at index 1 (COLORREF, 0x00BBGGRR).
// The classes without a name are set but read by no widget of this program.
constexpr ColourEntry kColours[] = {
    {kBannerText, 0x0000FF}, {1, 0xFFBD44},           {kOutline, 0xFFFFFF},
    {3, 0x0000FF},           {4, 0xFF0000},           {kGridLines, 0x000000},
    {kGridCursor, 0x0000FF}, {kButtonText, 0x000000}, {kButtonFill, 0xF0F0F0},
    {9, 0x000065},           {10, 0xF4F4F4},          {11, 0x000000},
    {12, 0xFF0000},          {13, 0x000000},          {14, 0xFFB784},
    {kTitleBarFill, 0xCDFFC9}, {kLabelFill, -1},      {19, 0x000000},
};

struct ImageEntry {
  int imageClass;
  int index;
  std::int32_t id;
};

// Every image entry but the tiles. As with the colours, a class without a name is never read.
constexpr ImageEntry kImages[] = {
    {1, 0, 105}, {1, 1, 104}, {1, 2, 103}, {2, 0, 108}, {2, 1, 107}, {2, 2, 106},
    {3, 0, 109}, {3, 1, 111}, {3, 2, 110},
    {kBackgroundImage, 0, 101}, {kBackgroundImage, 1, 101}, {kBackgroundImage, 2, 101},
    {kBannerImage, 0, 602}, {kBannerImage, 1, 602}, {kBannerImage, 2, 602},
    {7, 0, 603}, {7, 1, 603}, {7, 2, 603},
    {kSidePanelImage, 0, 607}, {kSidePanelImage, 1, 607}, {kSidePanelImage, 2, 607},
    {9, 1, 609}, {9, 2, 609}, {10, 1, 612}, {11, 1, 613}, {11, 2, 613},
    {kKeepOnTopImage, 1, 614}, {kKeepOnTopImage, 2, 615},
    {kTitleBarImage, 1, 616}, {kTitleBarImage, 2, 616},
    {kHelpImage, 1, 617}, {kHelpImage, 2, 618},
    {kLargeButtonImage, 1, 619}, {kLargeButtonImage, 2, 620},
    {27, 1, 630}, {28, 1, 631},
    {kTransparencyImage, 1, 632}, {kTransparencyImage, 2, 633},
};

constexpr int kNumberedTileBase = 699;
constexpr int kPictureTileBase = 715;

}  // namespace

skinInstance::skinInstance() { loadDefaults(); }

void skinInstance::loadDefaults() {
  setSkinName(0, "1");
  loadSkin(0, kNumberedTileBase);
  setSkinCount(1);
  setSkinName(1, "1");
  loadSkin(1, kPictureTileBase);
  setSkinCount(2);
  setCurrentSkin(0, 0);
}

void skinInstance::loadSkin(int skin, int tileBase) {
  for (const ColourEntry& entry : kColours) setColour(skin, entry.colourClass, 1, entry.value);
  // The cell colours are set at 1..9 and 11..19; index 0 and 10 stay unset.
  for (int k = 1; k <= 9; ++k) {
    setColour(skin, kCellFill, k, 0x00FFFF);
    setColour(skin, kCellFill, 10 + k, 0x51FF62);
    setColour(skin, kCellText, k, 0);
    setColour(skin, kCellText, 10 + k, 0);
  }

  for (const ImageEntry& entry : kImages) setImage(skin, entry.imageClass, entry.index, entry.id);
  // Tile v shows base + v; the blank (0) and the values 16 to 19 show the blank image.
  const int blank = tileBase + 16;
  setImage(skin, kTileImage, 0, blank);
  for (int v = 1; v <= 15; ++v) setImage(skin, kTileImage, v, tileBase + v);
  for (int v = 16; v <= 19; ++v) setImage(skin, kTileImage, v, blank);

  for (int k = 1; k <= 9; ++k) {
    setString(skin, kTileText, k, std::to_string(k));
    setString(skin, kTileText, 10 + k, std::to_string(k));
  }
}
