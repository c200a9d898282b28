// The skin table: lookups by class and index, the skin cycle, the built-in skins.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>

#include "skin/skinClasses.h"
#include "skin/skinInstance.h"

using namespace skinClass;

TEST(SkinTable, LookupsOutsideTheLimitsOrTheSetSkinsReadAsUnsetEntries) {
  skinInstance skin;
  const scobSkin empty;
  const auto expectUnset = [](const scobSkin& table, int c, int i) {
    SCOPED_TRACE("skin " + std::to_string(table.getCurrentSkin(0)) + " at " + std::to_string(c) +
                 "," + std::to_string(i));
    EXPECT_EQ(table.colour(c, i), 0);
    EXPECT_EQ(table.image(c, i, 0), 0);
    EXPECT_EQ(table.string(c, i), "");
  };
  const int outside[][2] = {{-1, 1}, {50, 1}, {7, -1}, {7, 50}, {INT_MIN, 1}, {7, INT_MAX}};
  for (const auto& at : outside) expectUnset(skin, at[0], at[1]);
  // Entries the first built-in skin sets, read from the empty table and from skins never set.
  const int inside[][2] = {{2, 1}, {4, 1}, {1, 1}, {kTileImage, 1}, {7, 1}, {kTileImage, 3}};
  for (const auto& at : inside) expectUnset(empty, at[0], at[1]);
  for (int current : {-1, 5, 10, INT_MAX, INT_MIN}) {
    skin.setCurrentSkin(current, 0);
    for (const auto& at : inside) expectUnset(skin, at[0], at[1]);
  }
}

TEST(SkinTable, TheCycleStepsThroughTheCountedSkinsAndBackToTheFirst) {
  struct Case {
    const char* name;
    bool builtIn;  // else the empty table, which counts no skin
    int from, steps, expected;
  };
  const Case cases[] = {
      {"the empty table never leaves skin 0", false, 0, 3, 0},
      {"the first built-in skin to the second", true, 0, 1, 1},
      {"round both built-in skins", true, 0, 2, 0},
      {"the last built-in skin wraps", true, 1, 1, 0},
      {"a skin past the count", true, 5, 1, 0},
      {"a negative skin", true, -1, 1, 0},
      {"the largest integer", true, INT_MAX, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    scobSkin empty;
    skinInstance builtIn;
    scobSkin& table = c.builtIn ? builtIn : empty;
    EXPECT_EQ(table.skinCount(), c.builtIn ? 2 : 0);
    EXPECT_EQ(table.getCurrentSkin(0), 0);
    table.setCurrentSkin(c.from, 0);
    EXPECT_EQ(table.getCurrentSkin(0), c.from);
    for (int i = 0; i < c.steps; ++i) table.nextSkin(0);
    EXPECT_EQ(table.getCurrentSkin(0), c.expected);
  }
}

TEST(BuiltInSkins, TilesDifferBetweenSkinsAndNothingElseDoes) {
  skinInstance skin;
  for (int skinIndex : {0, 1}) {
    skin.setCurrentSkin(skinIndex, 0);
    const int base = skinIndex == 0 ? 699 : 715;
    const int blank = skinIndex == 0 ? 715 : 731;
    for (int v = 1; v <= 15; ++v) EXPECT_EQ(skin.image(kTileImage, v, 0), base + v) << v;
    for (int v : {0, 16, 17, 18, 19}) EXPECT_EQ(skin.image(kTileImage, v, 0), blank) << v;
    EXPECT_EQ(skin.image(kTileImage, 20, 0), 0);
    // The third argument never matters.
    EXPECT_EQ(skin.image(kTileImage, 5, 12345), base + 5);
  }
  skinInstance first;
  skinInstance second;
  second.setCurrentSkin(1, 0);
  for (int c = 0; c < scobSkin::kClasses; ++c) {
    for (int i = 0; i < scobSkin::kIndices; ++i) {
      EXPECT_EQ(first.colour(c, i), second.colour(c, i));
      EXPECT_EQ(first.string(c, i), second.string(c, i));
      if (c != kTileImage) {
        EXPECT_EQ(first.image(c, i, 0), second.image(c, i, 0));
      }
    }
  }
}

TEST(BuiltInSkins, HoldTheirColoursImagesAndTexts) {
  skinInstance skin;
  struct ColourCase {
    int colourClass, index;
    std::int32_t value;
  };
  const ColourCase colours[] = {
      {kBannerText, 1, 0x0000FF},   {kOutline, 1, 0xFFFFFF},   {kGridLines, 1, 0},
      {kButtonText, 1, 0},          {kButtonFill, 1, 0xF0F0F0}, {kTitleBarFill, 1, 0xCDFFC9},
      {kLabelFill, 1, -1},          {kCellFill, 1, 0x00FFFF},  {kCellFill, 19, 0x51FF62},
      {kCellFill, 10, 0},           {kCellFill, 0, 0},         {14, 1, 0xFFB784},
      {kOutline, 2, 0}};
  for (const ColourCase& c : colours) {
    EXPECT_EQ(skin.colour(c.colourClass, c.index), c.value) << c.colourClass << "," << c.index;
  }
  struct ImageCase {
    int imageClass, index, id;
  };
  const ImageCase images[] = {
      {kBackgroundImage, 1, 101},   {kBannerImage, 1, 602},       {kSidePanelImage, 2, 607},
      {kKeepOnTopImage, 1, 614},    {kKeepOnTopImage, 2, 615},    {kTitleBarImage, 1, 616},
      {kHelpImage, 2, 618},         {kLargeButtonImage, 1, 619},  {kLargeButtonImage, 2, 620},
      {kTransparencyImage, 1, 632}, {kTransparencyImage, 2, 633}, {1, 0, 105},
      {3, 1, 111},                  {9, 0, 0},                    {5, 1, 0},
      {kLargeButtonImage, 0, 0}};
  for (const ImageCase& c : images) {
    EXPECT_EQ(skin.image(c.imageClass, c.index, 0), c.id) << c.imageClass << "," << c.index;
  }
  const std::pair<int, const char*> tileTexts[] = {
      {11, "1"}, {19, "9"}, {4, "4"}, {3, "3"}, {10, ""}, {0, ""}};
  for (const auto& [index, text] : tileTexts) {
    EXPECT_EQ(skin.string(kTileText, index), text) << index;
  }
}

// Texts set in any order, over one another and outside the limits. A write outside the limits
// must not land on the neighbouring entry that the same position in a flat table would be.
TEST(SkinTable, TextsReadBackWhateverTheOrderTheyWereSetIn) {
  struct Writer : scobSkin {
    using scobSkin::setString;
  } table;
  struct Write {
    int skin, stringClass, index;
    const char* text;
  };
  const Write writes[] = {{1, 3, 7, "c"},  {0, 49, 49, "z"}, {0, 0, 0, "a"},   {0, 3, 7, "b"},
                          {1, 3, 7, "c2"}, {0, 1, 50, "x"},  {0, 2, -1, "x"},  {10, 0, 0, "x"},
                          {-1, 49, 49, "x"}, {9, 49, 49, "last"}, {0, 0, 0, ""}};
  for (const Write& w : writes) table.setString(w.skin, w.stringClass, w.index, w.text);
  struct Read {
    int skin, stringClass, index;
    const char* text;
  };
  const Read reads[] = {{0, 0, 0, ""},   {0, 3, 7, "b"},  {0, 49, 49, "z"}, {1, 3, 7, "c2"},
                        {9, 49, 49, "last"}, {0, 2, 0, ""}, {0, 1, 49, ""},  {1, 0, 0, ""},
                        {8, 49, 49, ""}, {2, 3, 7, ""}};
  for (const Read& r : reads) {
    table.setCurrentSkin(r.skin, 0);
    EXPECT_EQ(table.string(r.stringClass, r.index), r.text)
        << r.skin << "," << r.stringClass << "," << r.index;
  }
}

// Colours and bitmap ids live in fixed planes laid end to end, so a write just past a limit would
// land on a real entry of the next index, class, skin or table. Every entry is set first; the
// writes outside the limits must leave all of them as they were.
TEST(SkinTable, WritesOutsideTheLimitsLeaveEveryEntryAsItWas) {
  struct Writer : scobSkin {
    using scobSkin::setColour;
    using scobSkin::setImage;
  } table;
  auto colourOf = [](int skin, int c, int i) { return skin * 10000 + c * 100 + i + 1; };
  auto imageOf = [](int skin, int c, int i) { return -(skin * 10000 + c * 100 + i + 1); };
  for (int skin = 0; skin < scobSkin::kSkins; ++skin) {
    for (int c = 0; c < scobSkin::kClasses; ++c) {
      for (int i = 0; i < scobSkin::kIndices; ++i) {
        table.setColour(skin, c, i, colourOf(skin, c, i));
        table.setImage(skin, c, i, imageOf(skin, c, i));
      }
    }
  }
  // Each one the flat position of an entry: the next index's class, the next class's skin, the
  // colour table's end (the image table's start) and the image table's start from before.
  const int outside[][3] = {{0, 1, 50}, {0, 2, -1}, {0, 50, 0},  {1, -1, 0},   {9, 49, 50},
                            {10, 0, 0}, {-1, 49, 49}, {0, 0, -1}, {5, 50, 49}, {9, 50, 0}};
  for (const auto& at : outside) {
    table.setColour(at[0], at[1], at[2], 0x5A5A5A);
    table.setImage(at[0], at[1], at[2], 0x5A5A5A);
  }
  int changed = 0;
  for (int skin = 0; skin < scobSkin::kSkins; ++skin) {
    table.setCurrentSkin(skin, 0);
    for (int c = 0; c < scobSkin::kClasses; ++c) {
      for (int i = 0; i < scobSkin::kIndices; ++i) {
        if (table.colour(c, i) != colourOf(skin, c, i) ||
            table.image(c, i, 0) != imageOf(skin, c, i)) {
          ADD_FAILURE() << "entry " << skin << "," << c << "," << i << " was overwritten";
          if (++changed == 10) return;
        }
      }
    }
  }
}
