// The built-in bitmaps and icon: every id with its size, lookups by id and the files' formats.
#include "gfx/resources/ResourceStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <regex>
#include <string>
#include <vector>

#include "gfx/codecs/BmpEncoder.h"
#include "gfx/resources/EmbeddedResources.h"
#include "tests/support/ResourceFiles.h"

namespace {

using namespace resource_files;

// An independent reading of our own BMP files (bottom-up, 8 bits with a palette or 24 bits),
// to check the store's decoding against.
std::vector<std::uint32_t> decodeByHand(const std::vector<std::uint8_t>& file) {
  const auto width = static_cast<int>(u32(file, 18));
  const auto height = static_cast<int>(u32(file, 22));
  const auto bits = static_cast<int>(u16(file, 28));
  const std::size_t offset = u32(file, 10);
  const std::size_t stride =
      (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) / 8 + 3) / 4 * 4;
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < height; ++y) {
    const std::size_t row = offset + static_cast<std::size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      std::size_t at = row + static_cast<std::size_t>(x) * 3;
      if (bits == 8) {
        at = 54 + 4 * static_cast<std::size_t>(file.at(row + static_cast<std::size_t>(x)));
      }
      pixels.push_back(static_cast<std::uint32_t>(file.at(at + 2)) << 16 |
                       static_cast<std::uint32_t>(file.at(at + 1)) << 8 | file.at(at));
    }
  }
  return pixels;
}

std::filesystem::path bitmapFile(int id) { return kResFolder / ("bmp" + std::to_string(id) + ".bmp"); }

TEST(ResourceStore, HoldsEveryBitmapOfTheTableAsItsFileHoldsItAndNoOther) {
  const ResourceStore store;
  std::vector<int> ids;
  for (const Expected& expected : expectedBitmaps()) {
    SCOPED_TRACE(expected.id);
    ids.push_back(expected.id);
    const BitmapView* view = store.find(expected.id);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->width, expected.width);
    EXPECT_EQ(view->height, expected.height);
    EXPECT_EQ(view->pixels.size(), static_cast<std::size_t>(expected.width * expected.height));
    EXPECT_TRUE(std::ranges::equal(view->pixels, decodeByHand(readFile(bitmapFile(expected.id)))));
  }
  EXPECT_EQ(store.bitmapIds(), ids);
}

TEST(ResourceStore, FindsNothingForIdsThatNameNoBitmap) {
  const ResourceStore store;
  // 100 is the icon, 103 to 111, 603 and 630 are named by the skins but not shipped.
  for (const int id : {0, 1, 100, 103, 111, 603, 630, 699, 732, 65535, -1, 0x7FFFFFFF}) {
    EXPECT_EQ(store.find(id), nullptr) << id;
  }
}

TEST(ResourceStore, SelectsByTheLow16BitsOfTheId) {
  const ResourceStore store;
  const struct {
    int id;
    int meant;
  } cases[] = {
      {65536 + 101, 101}, {-65536 + 700, 700}, {0x7FFF0000 | 731, 731}, {-65536 + 103, 103}};
  for (const auto& lookup : cases) {
    EXPECT_EQ(store.find(lookup.id), store.find(lookup.meant)) << lookup.id;
  }
  EXPECT_NE(store.find(65536 + 101), nullptr);
}

TEST(ResourceStore, SharedStoreKeepsItsPixelsInPlace) {
  const BitmapView* first = ResourceStore::builtIn().find(101);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(&ResourceStore::builtIn(), &ResourceStore::builtIn());
  EXPECT_EQ(ResourceStore::builtIn().find(101), first);
  EXPECT_EQ(first->pixels.data(), ResourceStore::builtIn().find(101)->pixels.data());
  // Decoded when the program was built: read where it lies, never copied at run time.
  const auto built = std::ranges::find(embeddedResources(), 101, &EmbeddedResource::id);
  ASSERT_NE(built, embeddedResources().end());
  EXPECT_EQ(first->pixels.data(), built->pixels.data());
}

TEST(ResourceStore, DecodesAFileOnceKeepsItInPlaceAndAFileThatFailsStaysFailed) {
  const std::vector<std::uint32_t> words = {0x030201, 0x131211, 0x232221,
                                            0xA3A2A1, 0xB3B2B1, 0xC3C2C1};
  std::vector<std::uint8_t> good = encodeBmp24(3, 2, words);
  const std::vector<std::uint8_t> cutShort(good.begin(), good.end() - 1);
  const EmbeddedResource files[] = {{500, ResourceKind::bitmap, good, 0, 0, {}},
                                    {501, ResourceKind::bitmap, cutShort, 0, 0, {}}};
  const ResourceStore store(files);
  const BitmapView* first = store.find(500);
  ASSERT_NE(first, nullptr);
  const std::uint32_t* pixels = first->pixels.data();
  // Changing the file afterwards shows that the second lookup did not decode again.
  good[54] = 0xEE;
  EXPECT_EQ(store.find(500), first);
  EXPECT_EQ(store.find(500 + 65536)->pixels.data(), pixels);
  EXPECT_EQ(std::vector<std::uint32_t>(first->pixels.begin(), first->pixels.end()), words);
  EXPECT_EQ(store.find(501), nullptr);
  EXPECT_EQ(store.find(501), nullptr) << "asking again for a file that failed is harmless";
  EXPECT_EQ(store.bitmapIds(), (std::vector<int>{500, 501}));
  EXPECT_EQ(store.icon().width, 0) << "these files hold no icon";
}

TEST(ResourceStore, IconIsAFourByFourBoardOfColouredSquaresOnBlack) {
  const BitmapView& icon = ResourceStore::builtIn().icon();
  ASSERT_EQ(icon.width, 32);
  ASSERT_EQ(icon.height, 32);
  EXPECT_TRUE(std::ranges::equal(ResourceStore::iconFile(), readFile(kResFolder / "deradu.ico")))
      << "the built-in icon file is the one in res/";
  EXPECT_EQ(pixelAt(icon, 0, 0), 0u);
  EXPECT_EQ(pixelAt(icon, 31, 31), 0u);
  EXPECT_EQ(pixelAt(icon, 8, 16), 0u) << "the gap between squares";
  // The middle of each row's squares: yellow, light blue, orange, green.
  for (int column = 0; column < 4; ++column) {
    const int x = 4 + 8 * column;
    const std::uint32_t yellow = pixelAt(icon, x, 4);
    const std::uint32_t lightBlue = pixelAt(icon, x, 12);
    const std::uint32_t orange = pixelAt(icon, x, 20);
    const std::uint32_t greenish = pixelAt(icon, x, 28);
    EXPECT_TRUE(red(yellow) > 200 && green(yellow) > 180 && blue(yellow) < 80)
        << std::hex << yellow;
    EXPECT_TRUE(blue(lightBlue) > 200 && red(lightBlue) < blue(lightBlue)) << std::hex << lightBlue;
    EXPECT_TRUE(red(orange) > 200 && green(orange) > 90 && green(orange) < 180 && blue(orange) < 60)
        << std::hex << orange;
    EXPECT_TRUE(green(greenish) > 150 && red(greenish) < 100 && blue(greenish) < 120)
        << std::hex << greenish;
  }
}

TEST(ResourceFiles, BitmapsAreUncompressedBottomUpWithAPaletteOnlyAt8Bits) {
  for (const Expected& expected : expectedBitmaps()) {
    SCOPED_TRACE(expected.id);
    const std::vector<std::uint8_t> file = readFile(bitmapFile(expected.id));
    ASSERT_GE(file.size(), 54u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(u32(file, 2), file.size());
    EXPECT_EQ(u32(file, 14), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(static_cast<std::int32_t>(u32(file, 18)), expected.width);
    EXPECT_EQ(static_cast<std::int32_t>(u32(file, 22)), expected.height) << "positive: bottom-up";
    EXPECT_EQ(u16(file, 26), 1u);
    EXPECT_EQ(u16(file, 28), static_cast<std::uint32_t>(expected.bitsPerPixel));
    EXPECT_EQ(u32(file, 30), 0u) << "BI_RGB";
    const std::uint32_t colours = u32(file, 46);
    if (expected.bitsPerPixel == 8) {
      EXPECT_GE(colours, 1u);
      EXPECT_LE(colours, 256u);
    } else {
      EXPECT_EQ(colours, 0u);
    }
    const std::uint32_t offset = u32(file, 10);
    EXPECT_EQ(offset, 54 + 4 * colours);
    const std::uint32_t stride =
        (static_cast<std::uint32_t>(expected.width * expected.bitsPerPixel) / 8 + 3) / 4 * 4;
    EXPECT_EQ(u32(file, 34), stride * static_cast<std::uint32_t>(expected.height));
    EXPECT_EQ(file.size(), offset + stride * static_cast<std::uint32_t>(expected.height));
  }
}

TEST(ResourceFiles, IconHoldsOne32x32TrueColourImageWithItsMask) {
  const std::vector<std::uint8_t> file = readFile(kResFolder / "deradu.ico");
  ASSERT_EQ(file.size(), 6u + 16 + 40 + 32 * 32 * 3 + 32 * 4);
  EXPECT_EQ(u16(file, 0), 0u);
  EXPECT_EQ(u16(file, 2), 1u) << "an icon";
  EXPECT_EQ(u16(file, 4), 1u) << "one image";
  EXPECT_EQ(file[6], 32);
  EXPECT_EQ(file[7], 32);
  EXPECT_EQ(u16(file, 12), 24u);
  EXPECT_EQ(u32(file, 14), file.size() - 22);
  EXPECT_EQ(u32(file, 18), 22u);
  EXPECT_EQ(u32(file, 22), 40u);
  EXPECT_EQ(u32(file, 26), 32u);
  EXPECT_EQ(u32(file, 30), 64u) << "colour rows and mask rows together";
  EXPECT_EQ(u16(file, 36), 24u);
}

TEST(ResourceFiles, ScriptListsEveryBitmapAndTheIconInUsEnglish) {
  std::ifstream in(kResFolder / "deradu.rc");
  const std::string script{std::istreambuf_iterator<char>(in), {}};
  EXPECT_NE(script.find("LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US"), std::string::npos);
  EXPECT_NE(script.find("\n100 ICON \"deradu.ico\"\n"), std::string::npos);
  std::vector<int> listed;
  const std::regex line(R"((\d+) BITMAP \"bmp(\d+)\.bmp\")");
  for (auto it = std::sregex_iterator(script.begin(), script.end(), line);
       it != std::sregex_iterator(); ++it) {
    EXPECT_EQ((*it)[1].str(), (*it)[2].str()) << "each bitmap's file is named after its id";
    listed.push_back(std::stoi((*it)[1].str()));
  }
  std::vector<int> expected;
  for (const Expected& bitmap : expectedBitmaps()) expected.push_back(bitmap.id);
  EXPECT_EQ(listed, expected);
}

}  // namespace
