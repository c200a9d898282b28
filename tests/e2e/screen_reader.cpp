// Reads the game's screen for the end-to-end scripts, and tells them where to click, from the
// program's own screen table, skins and built-in bitmaps, so no script repeats those numbers.
//
//   places                      shell assignments: sizes, button centres, keys, the solved order
//   board IMAGE SKIN [reference] the 16 values the board (or the reference picture) shows
//   match IMAGE REGION          percentage of a named region that shows its bitmap
//   differ IMAGE IMAGE OUTPUT   pixels that differ outside the text, with a difference image
//   reduced IMAGE IMAGE R G B   pixels that differ once both keep only R, G, B bits a channel
//   scaled IMAGE IMAGE SCALE    the second, drawn at SCALE, against the first drawn at 1
//
// IMAGE is a PNG file, optionally followed by "@X,Y" where the client area starts inside it
// (a screenshot of a window with its frame). Exit code 2 on wrong arguments or unreadable input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/ScreenTable.h"
#include "platform/hostConstants.h"
#include "gfx/resources/ResourceStore.h"
#include "gfx/codecs/PngReader.h"
#include "gfx/codecs/PngWriter.h"
#include "skin/skinClasses.h"
#include "skin/skinInstance.h"
#include "tests/support/TextBoxes.h"

namespace {

constexpr int kClientWidth = screen::kNarrowWidth - host::kFrameWidth;
constexpr int kWideClientWidth = screen::kWideWidth - host::kFrameWidth;
constexpr int kClientHeight = screen::kNarrowHeight - host::kFrameHeight;
constexpr int kCell = screen::kBoard.width / screen::kGridCells;

// The pixel at (x, y) of a screenshot or a bitmap, or nothing outside it.
template <typename Image>
std::optional<std::uint32_t> pixel(const Image& image, int x, int y) {
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return std::nullopt;
  return image.pixels[static_cast<std::size_t>(y) * image.width + x];
}

// A screenshot whose client area starts at (originX, originY).
struct Shot {
  PngImage image;
  int originX = 0;
  int originY = 0;

  // The pixel at client point (x, y), or nothing outside the client area's part of the image.
  std::optional<std::uint32_t> at(int x, int y) const {
    if (x < 0 || y < 0) return std::nullopt;
    return pixel(image, originX + x, originY + y);
  }
};

std::optional<Shot> readShot(std::string_view argument) {
  Shot shot;
  std::string path(argument);
  if (const auto at = argument.rfind('@'); at != std::string_view::npos) {
    path = std::string(argument.substr(0, at));
    if (std::sscanf(std::string(argument.substr(at + 1)).c_str(), "%d,%d", &shot.originX,
                    &shot.originY) != 2 ||
        shot.originX < 0 || shot.originY < 0) {
      return std::nullopt;
    }
  }
  auto image = PngReader::read(path);
  if (!image) return std::nullopt;
  shot.image = std::move(*image);
  return shot;
}

// The bitmap the built-in skin shows for an image class and index.
const BitmapView* skinBitmap(int skin, int imageClass, int index) {
  skinInstance skins;
  skins.setCurrentSkin(skin, 0);
  return ResourceStore::builtIn().find(skins.image(imageClass, index, 0));
}

// A cell shows tile v when every sampled pixel equals v's bitmap. Samples sit on a 7-pixel grid
// away from the cell's edges, where the grid lines and the cursor's outline are drawn.
bool cellShows(const Shot& shot, int left, int top, const BitmapView& tile) {
  for (int y = 4; y < kCell; y += 7) {
    for (int x = 4; x < kCell; x += 7) {
      const auto seen = shot.at(left + x, top + y);
      if (!seen || seen != pixel(tile, x, y)) return false;
    }
  }
  return true;
}

// Values in reading order, blank 0, "?" for a cell that shows no tile.
std::string readBoard(const Shot& shot, int skin, const screen::Box& board) {
  std::vector<const BitmapView*> tiles;
  for (int value = 0; value < screen::kGridCells * screen::kGridCells; ++value) {
    tiles.push_back(skinBitmap(skin, skinClass::kTileImage, value));
  }
  std::string out;
  for (int row = 0; row < screen::kGridCells; ++row) {
    for (int column = 0; column < screen::kGridCells; ++column) {
      std::string found = "?";
      for (int value = 0; value < static_cast<int>(tiles.size()) && found == "?"; ++value) {
        if (tiles[value] != nullptr &&
            cellShows(shot, board.x + column * kCell, board.y + row * kCell, *tiles[value])) {
          found = std::to_string(value);
        }
      }
      out += (out.empty() ? "" : " ") + found;
    }
  }
  return out;
}

// A client rectangle that shows a bitmap, starting at (bitmapX, bitmapY) of it.
struct Region {
  std::string_view name;
  int imageClass;
  int index;  // 1: the off picture, 2: the on picture
  screen::Box client;
  int bitmapX;
  int bitmapY;
};

// Strips that neither text nor any widget covers, and the title-bar buttons whole.
constexpr int kStrip = 21;
constexpr int kCorner = 24;
constexpr int kBannerLeftPart = 110;  // the banner's text starts to the right of this
constexpr Region kRegions[] = {
    {"background", skinClass::kBackgroundImage, 1,
     {0, kClientHeight - kStrip, kClientWidth, kStrip}, 0, kClientHeight - kStrip},
    {"banner", skinClass::kBannerImage, 1,
     {screen::kBanner.x, screen::kBanner.y, kBannerLeftPart, screen::kBanner.height}, 0, 0},
    {"side-panel", skinClass::kSidePanelImage, 1,
     {kWideClientWidth - kCorner, kClientHeight - kStrip, kCorner, kStrip},
     kWideClientWidth - kCorner - screen::kSidePanel.x, kClientHeight - kStrip},
    {"transparency-off", skinClass::kTransparencyImage, 1, screen::kTransparency, 0, 0},
    {"transparency-on", skinClass::kTransparencyImage, 2, screen::kTransparency, 0, 0},
    {"keep-on-top-off", skinClass::kKeepOnTopImage, 1, screen::kKeepOnTop, 0, 0},
    {"keep-on-top-on", skinClass::kKeepOnTopImage, 2, screen::kKeepOnTop, 0, 0},
};

std::optional<int> matchPercent(const Shot& shot, std::string_view name) {
  for (const Region& region : kRegions) {
    if (region.name != name) continue;
    const BitmapView* bitmap = skinBitmap(0, region.imageClass, region.index);
    if (bitmap == nullptr) return std::nullopt;
    int equal = 0;
    for (int y = 0; y < region.client.height; ++y) {
      for (int x = 0; x < region.client.width; ++x) {
        const auto seen = shot.at(region.client.x + x, region.client.y + y);
        if (seen && seen == pixel(*bitmap, region.bitmapX + x, region.bitmapY + y)) ++equal;
      }
    }
    return 100 * equal / (region.client.width * region.client.height);
  }
  return std::nullopt;
}

// Counts the client pixels of the narrow window that differ. With an output file: outside the
// text, writing an image with those pixels red on a faded copy of the first. Without one: in
// the bits of `mask` only, as a display that keeps fewer bits a channel shows them.
std::optional<int> differ(const Shot& first, const Shot& second, const std::string& output,
                          std::uint32_t mask = 0xFFFFFFFFu) {
  std::vector<std::uint32_t> picture(static_cast<std::size_t>(kClientWidth) * kClientHeight);
  int count = 0;
  for (int y = 0; y < kClientHeight; ++y) {
    for (int x = 0; x < kClientWidth; ++x) {
      const auto a = first.at(x, y);
      const auto b = second.at(x, y);
      if (!a || !b) return std::nullopt;
      const bool differs = (*a & mask) != (*b & mask) && (output.empty() || !inText(x, y));
      count += differs ? 1 : 0;
      picture[static_cast<std::size_t>(y) * kClientWidth + x] =
          differs ? 0xFF0000 : (*a >> 2) & 0x3F3F3F;
    }
  }
  if (!output.empty() && !PngWriter::write(output, picture, kClientWidth, kClientHeight)) {
    return std::nullopt;
  }
  return count;
}

// Compares `scaled`, the narrow client area drawn at `scale`, with `plain`, drawn at 1. Outside
// the text every physical pixel must show the plain pixel of its block: "differing" counts those
// that do not. Inside the two labels, "mixed" is the percentage of scale x scale blocks that are
// not one colour: enlarged small text would have none.
std::optional<std::string> compareScaled(const Shot& plain, const Shot& scaled, int scale) {
  int differing = 0;
  for (int y = 0; y < kClientHeight * scale; ++y) {
    for (int x = 0; x < kClientWidth * scale; ++x) {
      const auto seen = scaled.at(x, y);
      const auto own = plain.at(x / scale, y / scale);
      if (!seen || !own) return std::nullopt;
      if (!inText(x / scale, y / scale) && seen != own) ++differing;
    }
  }
  int blocks = 0;
  int mixed = 0;
  for (const screen::Box& label : {screen::kLevelLabel, screen::kMovesLabel}) {
    for (int y = label.y; y < label.y + label.height; ++y) {
      for (int x = label.x; x < label.x + label.width; ++x) {
        ++blocks;
        const auto corner = scaled.at(x * scale, y * scale);
        bool uniform = true;
        for (int i = 0; i < scale * scale && uniform; ++i) {
          uniform = scaled.at(x * scale + i % scale, y * scale + i / scale) == corner;
        }
        if (!uniform) ++mixed;
      }
    }
  }
  return "differing=" + std::to_string(differing) +
         " mixed=" + std::to_string(100 * mixed / blocks);
}

void printPlaces() {
  std::printf("title='%.*s'\n", static_cast<int>(screen::kTitle.size()), screen::kTitle.data());
  std::printf("frame_width=%d\nframe_height=%d\n", host::kFrameWidth,
              host::kFrameHeight);
  std::printf("client_narrow='%d %d'\nclient_wide='%d %d'\n", kClientWidth, kClientHeight,
              kWideClientWidth, kClientHeight);
  std::printf("outer_narrow='%d %d'\nouter_wide='%d %d'\n", screen::kNarrowWidth,
              screen::kNarrowHeight, screen::kWideWidth, screen::kWideHeight);
  std::printf("fallback_corner='%d %d'\n", screen::kFallbackCoordinate,
              screen::kFallbackCoordinate);
  // A compositor reads the opacity property's top byte.
  std::printf("transparent_opacity=0x%x\n", screen::kTransparentAlpha);
  const std::string_view base = screen::kHelpPageBase;
  const std::string_view path = base.substr(base.find('/', base.find("//") + 2));
  std::printf("help_page_path='%.*s%.*s'\n", static_cast<int>(path.size()), path.data(),
              static_cast<int>(screen::kVersion.size()), screen::kVersion.data());
  // pointer_rest: where the pointer rests between clicks, the background strip no widget covers.
  const std::pair<const char*, screen::Box> centres[] = {
      {"easy", screen::kEasy},           {"medium", screen::kMedium},
      {"hard", screen::kHard},           {"solve", screen::kSolve},
      {"picture", screen::kPicture},     {"show", screen::kShowHide},
      {"help", screen::kHelp},           {"transparency", screen::kTransparency},
      {"keep_on_top", screen::kKeepOnTop}, {"moves_label", screen::kMovesLabel},
      {"pointer_rest", kRegions[0].client}};
  for (const auto& [name, box] : centres) {
    std::printf("%s=(%d %d)\n", name, box.x + box.width / 2, box.y + box.height / 2);
  }
  std::printf("board_left=%d\nboard_top=%d\nreference_left=%d\ncell=%d\n", screen::kBoard.x,
              screen::kBoard.y, screen::kReference.x, kCell);
  std::printf("key_skin=%c\nkey_skin_and_repaint=%c\nkey_new_game=%c\nkey_solve=%c\n",
              screen::kKeySkin | 0x20, screen::kKeySkinAndRepaint | 0x20,
              screen::kKeyNewGame | 0x20, screen::kKeySolve | 0x20);
  std::string solved;
  for (int value = 1; value < screen::kGridCells * screen::kGridCells; ++value) {
    solved += std::to_string(value) + " ";
  }
  std::printf("solved='%s0'\n", solved.c_str());
}

int usage() {
  std::fprintf(stderr,
               "usage: screen_reader places | board IMAGE[@X,Y] SKIN [reference] |"
               " match IMAGE[@X,Y] REGION | differ IMAGE[@X,Y] IMAGE[@X,Y] OUTPUT.png |"
               " reduced IMAGE IMAGE R G B | scaled IMAGE IMAGE SCALE\n");
  return 2;
}

int unreadable(std::string_view what) {
  std::fprintf(stderr, "screen_reader: cannot read %.*s\n", static_cast<int>(what.size()),
               what.data());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "places") {
    printPlaces();
    return 0;
  }
  if ((args.size() == 3 || args.size() == 4) && args[0] == "board") {
    const auto shot = readShot(args[1]);
    if (!shot) return unreadable(args[1]);
    if (args[2] != "0" && args[2] != "1") return usage();
    if (args.size() == 4 && args[3] != "reference") return usage();
    const int skin = args[2] == "1" ? 1 : 0;
    std::printf("%s\n",
                readBoard(*shot, skin, args.size() == 4 ? screen::kReference : screen::kBoard)
                    .c_str());
    return 0;
  }
  if (args.size() == 3 && args[0] == "match") {
    const auto shot = readShot(args[1]);
    if (!shot) return unreadable(args[1]);
    const auto percent = matchPercent(*shot, args[2]);
    if (!percent) return unreadable(args[2]);
    std::printf("%d\n", *percent);
    return 0;
  }
  // The rest compare two screenshots: IMAGE IMAGE, then their own arguments.
  const bool comparison = (args.size() == 4 && (args[0] == "differ" || args[0] == "scaled")) ||
                          (args.size() == 6 && args[0] == "reduced");
  if (!comparison) return usage();
  const auto first = readShot(args[1]);
  const auto second = readShot(args[2]);
  if (!first) return unreadable(args[1]);
  if (!second) return unreadable(args[2]);
  if (args[0] == "differ" || args[0] == "reduced") {
    // reduced: the top R, G and B bits of each channel.
    std::uint32_t mask = 0;
    for (int i = 0; i < 3 && args[0] == "reduced"; ++i) {
      const int bits = std::atoi(std::string(args[3 + i]).c_str());
      if (bits < 1 || bits > 8) return usage();
      mask |= ((0xFFu << (8 - bits)) & 0xFFu) << (16 - 8 * i);
    }
    const auto count = args[0] == "differ" ? differ(*first, *second, std::string(args[3]))
                                           : differ(*first, *second, "", mask);
    if (!count) return unreadable("the client areas, or the difference image's file");
    std::printf("%d\n", *count);
    return 0;
  }
  // scaled: the second shot is the first at a whole scale.
  const int scale = std::atoi(std::string(args[3]).c_str());
  if (scale < 2 || scale > 8) return usage();
  const auto result = compareScaled(*first, *second, scale);
  if (!result) return unreadable("the client areas");
  std::printf("%s\n", result->c_str());
  return 0;
}
