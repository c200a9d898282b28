// The built-in bitmaps and icon: every id with its size, lookups by id, the files' formats, what
// the pictures show, and that the artwork generator reproduces the committed files.
#include "gfx/resources/ResourceStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include <unistd.h>

#include "gfx/resources/EmbeddedResources.h"
#include "gfx/codecs/BmpEncoder.h"

namespace {

struct Expected {
  int id;
  int width;
  int height;
  int bitsPerPixel;
};

// The resource table: ids, sizes and colour depths the skins and the screen rely on.
std::vector<Expected> expectedBitmaps() {
  std::vector<Expected> table{
      {101, 477, 426, 24}, {602, 110, 30, 24}, {607, 393, 426, 24}, {614, 20, 20, 8},
      {615, 20, 20, 8},    {616, 475, 20, 24}, {617, 20, 20, 8},    {618, 20, 20, 8},
      {619, 81, 31, 24},   {620, 81, 31, 24},  {632, 20, 20, 8},    {633, 20, 20, 8},
      {700, 78, 78, 8},
  };
  for (int id = 701; id <= 714; ++id) table.push_back({id, 78, 78, 24});
  table.push_back({715, 78, 78, 8});
  for (int id = 716; id <= 730; ++id) table.push_back({id, 78, 78, 24});
  table.push_back({731, 78, 78, 8});
  return table;
}

const std::filesystem::path kResFolder = std::filesystem::path(DERADU_TEST_DATA) / ".." / "res";

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::uint32_t u16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes.at(at) | static_cast<std::uint32_t>(bytes.at(at + 1)) << 8;
}
std::uint32_t u32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return u16(bytes, at) | u16(bytes, at + 2) << 16;
}

int red(std::uint32_t pixel) { return static_cast<int>(pixel >> 16 & 0xFF); }
int green(std::uint32_t pixel) { return static_cast<int>(pixel >> 8 & 0xFF); }
int blue(std::uint32_t pixel) { return static_cast<int>(pixel & 0xFF); }

std::uint32_t pixelAt(const BitmapView& view, int x, int y) {
  return view.pixels[static_cast<std::size_t>(y * view.width + x)];
}

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

TEST(ResourceStore, HoldsEveryBitmapOfTheTableWithItsSizeAndNoOther) {
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
}

TEST(ResourceStore, DecodesAFileOnceKeepsItInPlaceAndAFileThatFailsStaysFailed) {
  const std::vector<std::uint32_t> words = {0x030201, 0x131211, 0x232221,
                                            0xA3A2A1, 0xB3B2B1, 0xC3C2C1};
  std::vector<std::uint8_t> good = encodeBmp24(3, 2, words);
  const std::vector<std::uint8_t> cutShort(good.begin(), good.end() - 1);
  const EmbeddedResource files[] = {{500, ResourceKind::bitmap, good},
                                    {501, ResourceKind::bitmap, cutShort}};
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

TEST(ResourceStore, DecodesEveryBitmapAsItsFileHoldsIt) {
  const ResourceStore store;
  for (const Expected& expected : expectedBitmaps()) {
    SCOPED_TRACE(expected.id);
    const std::vector<std::uint32_t> fromFile =
        decodeByHand(readFile(kResFolder / ("bmp" + std::to_string(expected.id) + ".bmp")));
    const BitmapView* view = store.find(expected.id);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(
        std::equal(view->pixels.begin(), view->pixels.end(), fromFile.begin(), fromFile.end()));
  }
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
    const std::vector<std::uint8_t> file =
        readFile(kResFolder / ("bmp" + std::to_string(expected.id) + ".bmp"));
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

TEST(Artwork, BlankTilesArePlainWhite) {
  for (const int id : {715, 731}) {
    const BitmapView* view = ResourceStore::builtIn().find(id);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(std::all_of(view->pixels.begin(), view->pixels.end(), [](std::uint32_t pixel) {
      return pixel == 0xFFFFFF;
    })) << id;
  }
}

TEST(Artwork, NumberedTilesShowACentredBlackNumberOnTheirRowsColour) {
  const struct {
    const char* name;
    bool (*matches)(std::uint32_t);
  } rows[] = {
      {"light green",
       [](std::uint32_t p) {
         return green(p) > red(p) + 20 && green(p) > blue(p) + 20 && green(p) > 200;
       }},
      {"light red",
       [](std::uint32_t p) {
         return red(p) > green(p) + 30 && red(p) > blue(p) + 30 && red(p) > 200;
       }},
      {"light cyan",
       [](std::uint32_t p) {
         return green(p) > red(p) + 30 && blue(p) > red(p) + 30 && blue(p) > 200;
       }},
      {"light yellow",
       [](std::uint32_t p) {
         return red(p) > blue(p) + 50 && green(p) > blue(p) + 50 && green(p) > 200;
       }},
  };
  std::vector<std::vector<std::uint32_t>> seen;
  for (int value = 1; value <= 15; ++value) {
    SCOPED_TRACE(value);
    const BitmapView* tile = ResourceStore::builtIn().find(699 + value);
    ASSERT_NE(tile, nullptr);
    const auto& row = rows[(value - 1) / 4];
    EXPECT_TRUE(row.matches(pixelAt(*tile, 10, 10)))
        << row.name << std::hex << " " << pixelAt(*tile, 10, 10);
    EXPECT_TRUE(row.matches(pixelAt(*tile, 68, 68))) << row.name;
    // The number: its black pixels' bounding box is large and centred on the tile.
    int left = 78, right = -1, top = 78, bottom = -1;
    for (int y = 0; y < 78; ++y) {
      for (int x = 0; x < 78; ++x) {
        if (pixelAt(*tile, x, y) == 0) {
          left = std::min(left, x);
          right = std::max(right, x);
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
      }
    }
    ASSERT_GE(right, left) << "no black pixels";
    EXPECT_GE(bottom - top + 1, 26) << "large";
    EXPECT_NEAR((left + right) / 2.0, 38.5, 3.5) << "centred across";
    EXPECT_NEAR((top + bottom) / 2.0, 38.5, 3.5) << "centred down";
    const std::vector<std::uint32_t> pixels(tile->pixels.begin(), tile->pixels.end());
    EXPECT_EQ(std::find(seen.begin(), seen.end(), pixels), seen.end())
        << "each number is different";
    seen.push_back(pixels);
  }
}

// Mean absolute channel difference between column `at` of `first` and column `otherAt` of
// `second` (or rows, when `rowsInstead`).
double edgeDifference(const BitmapView& first, int at, const BitmapView& second, int otherAt,
                      bool rowsInstead) {
  double sum = 0;
  for (int i = 0; i < 78; ++i) {
    const std::uint32_t a = rowsInstead ? pixelAt(first, i, at) : pixelAt(first, at, i);
    const std::uint32_t b = rowsInstead ? pixelAt(second, i, otherAt) : pixelAt(second, otherAt, i);
    sum += std::abs(red(a) - red(b)) + std::abs(green(a) - green(b)) + std::abs(blue(a) - blue(b));
  }
  return sum / 78;
}

// Whether `second` continues `first` smoothly to the right (or below, with `rowsInstead`): the
// step across the seam is no larger than the steps just inside either piece, with some slack.
bool continues(const BitmapView& first, const BitmapView& second, bool rowsInstead) {
  const double inside = std::max(edgeDifference(first, 76, first, 77, rowsInstead),
                                 edgeDifference(second, 0, second, 1, rowsInstead));
  return edgeDifference(first, 77, second, 0, rowsInstead) <= 2 * inside + 6;
}

TEST(Artwork, SwirlPiecesFitTogetherWithoutSeams) {
  const ResourceStore& store = ResourceStore::builtIn();
  const auto piece = [&](int index) { return store.find(716 + index); };
  for (int index = 0; index < 15; ++index) {
    ASSERT_NE(piece(index), nullptr) << index;
  }
  for (int index = 0; index < 15; ++index) {
    if (index % 4 < 3 && index + 1 < 15) {
      EXPECT_TRUE(continues(*piece(index), *piece(index + 1), false)) << "beside piece " << index;
    }
    if (index + 4 < 15) {
      EXPECT_TRUE(continues(*piece(index), *piece(index + 4), true)) << "below piece " << index;
    }
  }
  // The measure does see misplaced pieces.
  EXPECT_FALSE(continues(*piece(0), *piece(2), false));
  EXPECT_FALSE(continues(*piece(5), *piece(4), false));
  EXPECT_FALSE(continues(*piece(1), *piece(9), true));
}

TEST(Artwork, SwirlHasItsRedPatchAtTheTopRight) {
  const BitmapView* topRight = ResourceStore::builtIn().find(719);
  ASSERT_NE(topRight, nullptr);
  const std::uint32_t patch = pixelAt(*topRight, 34, 42);
  EXPECT_TRUE(red(patch) > 180 && green(patch) < 90 && blue(patch) < 90) << std::hex << patch;
}

// Runs the generator built beside these tests into a fresh folder.
std::filesystem::path generate(const std::string& name) {
  const std::filesystem::path tool =
      std::filesystem::path(DERADU_TEST_OUTPUT) / ".." / "tools" / "deradu-generate-art";
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("deradu-art-" + std::to_string(getpid()) + "-" + name);
  std::filesystem::remove_all(folder);
  const std::string command = "'" + tool.string() + "' '" + folder.string() + "' > /dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return folder;
}

TEST(Artwork, GeneratorDrawsTheSameBytesEveryRunAndMatchesTheCommittedFiles) {
  const std::filesystem::path tool =
      std::filesystem::path(DERADU_TEST_OUTPUT) / ".." / "tools" / "deradu-generate-art";
  if (!DERADU_ART_TOOLS) {
    GTEST_SKIP() << "the artwork tools are left out of this build (DERADU_TOOLS=OFF)";
  }
  ASSERT_TRUE(std::filesystem::exists(tool)) << tool << " was not built";
  const std::filesystem::path first = generate("first");
  const std::filesystem::path second = generate("second");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(first)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  const std::vector<int> desktopIconSizes{16, 24, 32, 48, 64, 128, 256};
  EXPECT_EQ(names.size(), expectedBitmaps().size() + 2 + desktopIconSizes.size())
      << "every bitmap, the icon, deradu.rc and the desktop icons";
  for (const int size : desktopIconSizes) {
    SCOPED_TRACE(size);
    // A PNG's IHDR chunk starts at byte 16 with the width and height, big-endian.
    const std::vector<std::uint8_t> png = readFile(first / ("icon-" + std::to_string(size) + ".png"));
    ASSERT_GE(png.size(), 24u);
    const auto bigEndian = [&](std::size_t at) {
      return png[at] << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
    };
    EXPECT_EQ(bigEndian(16), size);
    EXPECT_EQ(bigEndian(20), size);
  }
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::vector<std::uint8_t> bytes = readFile(first / name);
    EXPECT_FALSE(bytes.empty());
    EXPECT_TRUE(bytes == readFile(second / name)) << "the generator is not deterministic";
    EXPECT_TRUE(bytes == readFile(kResFolder / name))
        << "res/" << name << " differs from what the generator draws now; run "
        << "deradu-generate-art res and commit the result";
  }
  std::filesystem::remove_all(first);
  std::filesystem::remove_all(second);
}

}  // namespace
