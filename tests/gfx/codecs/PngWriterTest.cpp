// PNG output and the golden-image checks built on it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "gfx/SoftCanvas.h"
#include "gfx/codecs/PngReader.h"
#include "gfx/codecs/PngWriter.h"
#include "support/GoldenImage.h"
#include "support/TestScope.h"

namespace {

namespace fs = std::filesystem;

// A scratch folder of its own for each test, kept only when the test fails.
class PngFiles : public ::testing::Test {
 protected:
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(folder_);
  }
  std::string file(const std::string& name) const { return (folder_ / name).string(); }

  const fs::path folder_ = freshTestFolder("png-");
};

constexpr const char* kUpdateGolden = "DERADU_UPDATE_GOLDEN";

SoftCanvas sample() {
  SoftCanvas canvas(5, 3, nullptr, nullptr);
  canvas.fill(0x123456);
  canvas.rectangle({1, 0, 4, 2}, {0x0000FF, 0}, 0x00FF00);
  return canvas;
}

TEST_F(PngFiles, WrittenPixelsReadBackUnchanged) {
  const SoftCanvas canvas = sample();
  ASSERT_TRUE(PngWriter::write(file("sample.png"), canvas));
  const std::optional<PngImage> image = PngReader::read(file("sample.png"));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 5);
  EXPECT_EQ(image->height, 3);
  EXPECT_TRUE(std::equal(image->pixels.begin(), image->pixels.end(), canvas.pixels().begin(),
                         canvas.pixels().end()));
}

TEST_F(PngFiles, BadRequestsFailWithoutLeavingFiles) {
  const std::vector<std::uint32_t> four(4, 0);
  EXPECT_FALSE(PngWriter::write(file("missing/folder/x.png"), four, 2, 2));
  EXPECT_FALSE(PngWriter::write(folder_.string(), four, 2, 2));  // a folder, not a file
  EXPECT_FALSE(PngWriter::write(file("short.png"), four, 3, 2));
  EXPECT_FALSE(PngWriter::write(file("empty.png"), four, 0, 2));
  EXPECT_FALSE(PngWriter::write(file("negative.png"), four, -2, -2));
  EXPECT_FALSE(PngWriter::write(file("empty-canvas.png"), SoftCanvas(0, 0, nullptr, nullptr)));
  EXPECT_TRUE(fs::is_empty(folder_));
  std::ofstream(file("junk.png")) << "not a png";
  EXPECT_FALSE(PngReader::read(file("junk.png")));
  EXPECT_FALSE(PngReader::read(file("absent.png")));
}

TEST_F(PngFiles, GoldenMismatchWritesActualAndDifferenceImages) {
  const ScopedVariable comparing(kUpdateGolden, std::nullopt);
  const GoldenFolders folders{file("golden"), folder_.string()};
  fs::create_directories(folders.golden);
  SoftCanvas canvas = sample();
  ASSERT_TRUE(PngWriter::write(folders.golden + "/shape.png", canvas));
  EXPECT_TRUE(matchesGoldenIn(folders, canvas.pixels(), 5, 3, "shape", 0));

  canvas.line({0, 2}, {1, 2}, {0x573412, 0});  // (0, 2) 0x123457, off by one in blue
  EXPECT_TRUE(matchesGoldenIn(folders, canvas.pixels(), 5, 3, "shape", 1));
  const ::testing::AssertionResult result = matchesGoldenIn(folders, canvas.pixels(), 5, 3, "shape", 0);
  EXPECT_FALSE(result);
  const std::string message = result.message();
  EXPECT_NE(message.find("(0, 2)"), std::string::npos) << message;
  EXPECT_NE(message.find(file("shape.actual.png")), std::string::npos) << message;
  EXPECT_NE(message.find(file("shape.diff.png")), std::string::npos) << message;
  const std::optional<PngImage> actual = PngReader::read(file("shape.actual.png"));
  const std::optional<PngImage> diff = PngReader::read(file("shape.diff.png"));
  ASSERT_TRUE(actual && diff);
  EXPECT_EQ(actual->pixels[10], 0x123457u);
  EXPECT_EQ(diff->pixels[10], 0xFF0000u);
  EXPECT_NE(diff->pixels[0], 0xFF0000u);

  const SoftCanvas other(4, 3, nullptr, nullptr);
  EXPECT_FALSE(matchesGoldenIn(folders, other.pixels(), 4, 3, "shape", 255));
  EXPECT_FALSE(matchesGoldenIn(folders, other.pixels(), 4, 3, "no/such/golden", 255));
  EXPECT_TRUE(fs::exists(file("no_such_golden.actual.png")));
}

TEST_F(PngFiles, UpdateModeRewritesTheGolden) {
  const GoldenFolders folders{file("golden"), folder_.string()};
  const SoftCanvas canvas = sample();
  {
    const ScopedVariable updating(kUpdateGolden, "1");
    EXPECT_TRUE(matchesGoldenIn(folders, canvas.pixels(), 5, 3, "new/shape", 0));
  }
  const ScopedVariable comparing(kUpdateGolden, std::nullopt);
  EXPECT_TRUE(matchesGoldenIn(folders, canvas.pixels(), 5, 3, "new/shape", 0));
}

}  // namespace
