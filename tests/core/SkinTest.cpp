// The skin table: lookups by class and index, the skin cycle, the built-in skins.
#include <gtest/gtest.h>

#include <climits>

#include "skin/skinInstance.h"

TEST(SkinTable, EmptyTableReadsZerosAndNeverLeavesSkinZero) {
  scobSkin table;
  EXPECT_EQ(table.skinCount(), 0);
  EXPECT_EQ(table.colour(7, 1), 0);
  EXPECT_EQ(table.image(12, 3, 0), 0);
  EXPECT_EQ(table.string(1, 1), "");
  for (int i = 0; i < 3; ++i) {
    table.nextSkin(0);
    EXPECT_EQ(table.getCurrentSkin(0), 0);
  }
}

TEST(SkinTable, LookupsOutsideTheLimitsReadAsUnsetEntries) {
  skinInstance skin;
  const int outside[][2] = {{-1, 1}, {50, 1}, {7, -1}, {7, 50}, {INT_MIN, 1}, {7, INT_MAX}};
  for (const auto& at : outside) {
    SCOPED_TRACE(std::to_string(at[0]) + "," + std::to_string(at[1]));
    EXPECT_EQ(skin.colour(at[0], at[1]), 0);
    EXPECT_EQ(skin.image(at[0], at[1], 0), 0);
    EXPECT_EQ(skin.string(at[0], at[1]), "");
  }
  for (int current : {-1, 10, INT_MAX, INT_MIN}) {
    skin.setCurrentSkin(current, 0);
    EXPECT_EQ(skin.colour(2, 1), 0);
    EXPECT_EQ(skin.image(4, 1, 0), 0);
    EXPECT_EQ(skin.string(1, 1), "");
  }
  // The cycle returns to the first skin from any value, the largest integer included.
  skin.setCurrentSkin(INT_MAX, 0);
  skin.nextSkin(0);
  EXPECT_EQ(skin.getCurrentSkin(0), 0);
}

TEST(SkinTable, SkinCountedButUnsetReadsZerosUntilTheCycleReturns) {
  skinInstance skin;
  skin.setCurrentSkin(5, 0);
  EXPECT_EQ(skin.getCurrentSkin(0), 5);
  EXPECT_EQ(skin.colour(2, 1), 0);
  EXPECT_EQ(skin.image(12, 1, 0), 0);
  skin.nextSkin(0);
  EXPECT_EQ(skin.getCurrentSkin(0), 0);
  skin.setCurrentSkin(1, 0);
  skin.nextSkin(0);
  EXPECT_EQ(skin.getCurrentSkin(0), 0);
}

TEST(BuiltInSkins, StartWithTwoSkinsOnTheNumberedOne) {
  skinInstance skin;
  EXPECT_EQ(skin.skinCount(), 2);
  EXPECT_EQ(skin.getCurrentSkin(0), 0);
  skin.nextSkin(0);
  EXPECT_EQ(skin.getCurrentSkin(0), 1);
  skin.nextSkin(0);
  EXPECT_EQ(skin.getCurrentSkin(0), 0);
}

TEST(BuiltInSkins, TilesDifferBetweenSkinsAndNothingElseDoes) {
  skinInstance skin;
  for (int skinIndex : {0, 1}) {
    skin.setCurrentSkin(skinIndex, 0);
    const int base = skinIndex == 0 ? 699 : 715;
    const int blank = skinIndex == 0 ? 715 : 731;
    for (int v = 1; v <= 15; ++v) EXPECT_EQ(skin.image(12, v, 0), base + v) << v;
    for (int v : {0, 16, 17, 18, 19}) EXPECT_EQ(skin.image(12, v, 0), blank) << v;
    EXPECT_EQ(skin.image(12, 20, 0), 0);
    // The third argument never matters.
    EXPECT_EQ(skin.image(12, 5, 12345), base + 5);
  }
  skinInstance first;
  skinInstance second;
  second.setCurrentSkin(1, 0);
  for (int c = 0; c < scobSkin::kClasses; ++c) {
    for (int i = 0; i < scobSkin::kIndices; ++i) {
      EXPECT_EQ(first.colour(c, i), second.colour(c, i));
      EXPECT_EQ(first.string(c, i), second.string(c, i));
      if (c != 12) {
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
  const ColourCase colours[] = {{0, 1, 0x0000FF}, {2, 1, 0xFFFFFF}, {5, 1, 0}, {7, 1, 0},
                                {8, 1, 0xF0F0F0}, {17, 1, 0xCDFFC9}, {18, 1, -1},
                                {15, 1, 0x00FFFF}, {15, 19, 0x51FF62}, {15, 10, 0},
                                {15, 0, 0}, {14, 1, 0xFFB784}, {2, 2, 0}};
  for (const ColourCase& c : colours) {
    EXPECT_EQ(skin.colour(c.colourClass, c.index), c.value) << c.colourClass << "," << c.index;
  }
  struct ImageCase {
    int imageClass, index, id;
  };
  const ImageCase images[] = {{4, 1, 101},  {6, 1, 602},  {8, 2, 607},  {23, 1, 614},
                              {23, 2, 615}, {24, 1, 616}, {25, 2, 618}, {26, 1, 619},
                              {26, 2, 620}, {29, 1, 632}, {29, 2, 633}, {1, 0, 105},
                              {3, 1, 111},  {9, 0, 0},    {5, 1, 0},    {26, 0, 0}};
  for (const ImageCase& c : images) {
    EXPECT_EQ(skin.image(c.imageClass, c.index, 0), c.id) << c.imageClass << "," << c.index;
  }
  EXPECT_EQ(skin.string(1, 11), "1");
  EXPECT_EQ(skin.string(1, 19), "9");
  EXPECT_EQ(skin.string(1, 4), "4");
  EXPECT_EQ(skin.string(1, 10), "");
  EXPECT_EQ(skin.string(1, 0), "");
}

TEST(BuiltInSkins, StringLookupReturnsACopy) {
  skinInstance skin;
  std::string text = skin.string(1, 3);
  text = "changed";
  EXPECT_EQ(skin.string(1, 3), "3");
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
