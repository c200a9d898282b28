// Golden-image checks: compare, and on a mismatch leave an actual and a difference image.
#include "support/GoldenImage.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include "gfx/codecs/PngReader.h"
#include "gfx/codecs/PngWriter.h"

namespace {

bool updatingGoldens() {
  const char* value = std::getenv("DERADU_UPDATE_GOLDEN");
  return value != nullptr && std::string_view(value) == "1";
}

int channelDifference(std::uint32_t a, std::uint32_t b) {
  int largest = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int difference = static_cast<int>((a >> shift) & 0xFFu) - static_cast<int>((b >> shift) & 0xFFu);
    largest = std::max(largest, std::abs(difference));
  }
  return largest;
}

// Pixels that differ are bright red; the rest is the actual image, dimmed to grey, so the
// difference stands out but stays where it is.
std::vector<std::uint32_t> differenceImage(std::span<const std::uint32_t> actual,
                                           const PngImage& golden, int width, int height,
                                           int tolerance) {
  std::vector<std::uint32_t> out(actual.size());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
      const bool inGolden = x < golden.width && y < golden.height;
      const std::uint32_t expected =
          inGolden ? golden.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(golden.width) + static_cast<std::size_t>(x)] : 0;
      if (!inGolden || channelDifference(actual[i], expected) > tolerance) {
        out[i] = 0xFF0000;
      } else {
        const std::uint32_t grey =
            (((actual[i] >> 16) & 0xFFu) + ((actual[i] >> 8) & 0xFFu) + (actual[i] & 0xFFu)) / 6 + 128;
        out[i] = (grey << 16) | (grey << 8) | grey;
      }
    }
  }
  return out;
}

std::string hex(std::uint32_t rgb) {
  std::ostringstream out;
  out << "0x" << std::hex << rgb;
  return out.str();
}

}  // namespace

::testing::AssertionResult matchesGoldenIn(const GoldenFolders& folders,
                                           std::span<const std::uint32_t> pixels, int width,
                                           int height, std::string_view name, int tolerance) {
  namespace fs = std::filesystem;
  if (width <= 0 || height <= 0 ||
      pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return ::testing::AssertionFailure() << "image \"" << name << "\" has no pixels or a wrong size";
  }
  const std::string goldenPath = folders.golden + "/" + std::string(name) + ".png";
  if (updatingGoldens()) {
    std::error_code ignored;  // a missing folder shows up as the write failing below
    fs::create_directories(fs::path(goldenPath).parent_path(), ignored);
    if (!PngWriter::write(goldenPath, pixels, width, height)) {
      return ::testing::AssertionFailure() << "could not write golden " << goldenPath;
    }
    return ::testing::AssertionSuccess() << "rewrote " << goldenPath;
  }

  std::string flatName(name);
  std::replace(flatName.begin(), flatName.end(), '/', '_');
  const std::string actualPath = folders.output + "/" + flatName + ".actual.png";
  const std::string diffPath = folders.output + "/" + flatName + ".diff.png";
  const std::optional<PngImage> golden = PngReader::read(goldenPath);

  std::ostringstream problem;
  int differing = 0;
  if (!golden) {
    problem << "no readable golden image " << goldenPath;
  } else if (golden->width != width || golden->height != height) {
    problem << "size " << width << "x" << height << " differs from the golden's " << golden->width
            << "x" << golden->height;
  } else {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
        if (channelDifference(pixels[i], golden->pixels[i]) <= tolerance) continue;
        if (differing++ == 0) {
          problem << "first difference at (" << x << ", " << y << "): " << hex(pixels[i])
                  << " instead of " << hex(golden->pixels[i]);
        }
      }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    problem << "; " << differing << " pixels differ";
  }

  const bool wroteActual = PngWriter::write(actualPath, pixels, width, height);
  const PngImage none;
  const std::vector<std::uint32_t> diff =
      differenceImage(pixels, golden ? *golden : none, width, height, tolerance);
  const bool wroteDiff = PngWriter::write(diffPath, diff, width, height);
  auto failure = ::testing::AssertionFailure() << "\"" << name << "\": " << problem.str() << ". ";
  if (wroteActual) failure << "Actual: " << actualPath << " ";
  if (wroteDiff) failure << "Difference: " << diffPath << " ";
  failure << "(DERADU_UPDATE_GOLDEN=1 accepts the actual image as the new golden)";
  return failure;
}
