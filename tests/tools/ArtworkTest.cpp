// The artwork: what the built-in pictures show, and that the artwork generator reproduces the
// committed files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "gfx/resources/ResourceStore.h"
#include "tests/support/ResourceFiles.h"

namespace {

using namespace resource_files;

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

const std::filesystem::path kGenerator =
    std::filesystem::path(DERADU_TEST_OUTPUT) / ".." / "tools" / "deradu-generate-art";

// Runs the generator built beside these tests into a fresh folder.
std::filesystem::path generate(const std::string& name) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("deradu-art-" + std::to_string(getpid()) + "-" + name);
  std::filesystem::remove_all(folder);
  const std::string command = "'" + kGenerator.string() + "' '" + folder.string() + "' > /dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return folder;
}

TEST(Artwork, GeneratorDrawsTheSameBytesEveryRunAndMatchesTheCommittedFiles) {
  if (!DERADU_ART_TOOLS) {
    GTEST_SKIP() << "the artwork tools are left out of this build (DERADU_TOOLS=OFF)";
  }
  ASSERT_TRUE(std::filesystem::exists(kGenerator)) << kGenerator << " was not built";
  const std::filesystem::path first = generate("first");
  const std::filesystem::path second = generate("second");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(first)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  const std::vector<int> desktopIconSizes{16, 24, 32, 48, 64, 128, 256};
  EXPECT_EQ(names.size(), expectedBitmaps().size() + 4 + desktopIconSizes.size())
      << "every bitmap, the icon, deradu.rc, the installer's icon and page, the desktop icons";
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
