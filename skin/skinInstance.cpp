// The built-in skins. Both share every colour, text and image except the tiles.
#include "skin/skinInstance.h"

#include <string>

namespace {

struct ColourEntry {
  int colourClass;
  std::int32_t value;
};

// Colour classes read at index 1 (COLORREF, 0x00BBGGRR).
constexpr ColourEntry kColours[] = {
    {0, 0x0000FF},  {1, 0xFFBD44},  {2, 0xFFFFFF},  {3, 0x0000FF},  {4, 0xFF0000},
    {5, 0x000000},  {6, 0x0000FF},  {7, 0x000000},  {8, 0xF0F0F0},  {9, 0x000065},
    {10, 0xF4F4F4}, {11, 0x000000}, {12, 0xFF0000}, {13, 0x000000}, {14, 0xFFB784},
    {17, 0xCDFFC9}, {18, -1},       {19, 0x000000},
};

struct ImageEntry {
  int imageClass;
  int index;
  std::int32_t id;
};

// Every image entry but the tiles of class 12.
constexpr ImageEntry kImages[] = {
    {1, 0, 105},  {1, 1, 104},  {1, 2, 103},  {2, 0, 108},  {2, 1, 107},  {2, 2, 106},
    {3, 0, 109},  {3, 1, 111},  {3, 2, 110},  {4, 0, 101},  {4, 1, 101},  {4, 2, 101},
    {6, 0, 602},  {6, 1, 602},  {6, 2, 602},  {7, 0, 603},  {7, 1, 603},  {7, 2, 603},
    {8, 0, 607},  {8, 1, 607},  {8, 2, 607},  {9, 1, 609},  {9, 2, 609},  {10, 1, 612},
    {11, 1, 613}, {11, 2, 613}, {23, 1, 614}, {23, 2, 615}, {24, 1, 616}, {24, 2, 616},
    {25, 1, 617}, {25, 2, 618}, {26, 1, 619}, {26, 2, 620}, {27, 1, 630}, {28, 1, 631},
    {29, 1, 632}, {29, 2, 633},
};

constexpr int kTileClass = 12;
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
  // Classes 15 and 16 are set at 1..9 and 11..19; index 0 and 10 stay unset.
  for (int k = 1; k <= 9; ++k) {
    setColour(skin, 15, k, 0x00FFFF);
    setColour(skin, 15, 10 + k, 0x51FF62);
    setColour(skin, 16, k, 0);
    setColour(skin, 16, 10 + k, 0);
  }

  for (const ImageEntry& entry : kImages) setImage(skin, entry.imageClass, entry.index, entry.id);
  // Tile v shows base + v; the blank (0) and the values 16 to 19 show the blank image.
  const int blank = tileBase + 16;
  setImage(skin, kTileClass, 0, blank);
  for (int v = 1; v <= 15; ++v) setImage(skin, kTileClass, v, tileBase + v);
  for (int v = 16; v <= 19; ++v) setImage(skin, kTileClass, v, blank);

  for (int k = 1; k <= 9; ++k) {
    setString(skin, 1, k, std::to_string(k));
    setString(skin, 1, 10 + k, std::to_string(k));
  }
}
