// Painter tests of the software canvas: exact pixels of small canvases for GDI's rules.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "gfx/Bitmap.h"
#include "gfx/SoftCanvas.h"
#include "support/GoldenImage.h"

namespace {

constexpr std::uint32_t kPaper = 0xFFFFFF;
constexpr Colour kInk = 0x000000;
constexpr Colour kRedBrush = 0x0000FF;  // COLORREF red

// Pictures as text, a line a row: '.' paper, '#' black, 'o' red, '?' anything else.
std::string picture(const SoftCanvas& canvas) {
  std::string text;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      const std::uint32_t rgb = canvas.pixel(x, y);
      text += rgb == kPaper ? '.' : rgb == 0 ? '#' : rgb == 0xFF0000 ? 'o' : '?';
    }
    text += '\n';
  }
  return text;
}

std::string joined(const std::vector<std::string>& rows) {
  std::string text;
  for (const std::string& row : rows) text += row + "\n";
  return text;
}

SoftCanvas paper(int width, int height, const BitmapSource* bitmaps = nullptr, int scale = 1) {
  SoftCanvas canvas(width, height, bitmaps, nullptr);
  canvas.setScale(scale);
  canvas.fill(kPaper);
  return canvas;
}

struct DrawCase {
  const char* what;
  std::function<void(SoftCanvas&)> draw;
  std::vector<std::string> expected;
};

void expectPictures(const std::vector<DrawCase>& cases) {
  for (const DrawCase& c : cases) {
    SoftCanvas canvas = paper(static_cast<int>(c.expected[0].size()), static_cast<int>(c.expected.size()));
    c.draw(canvas);
    EXPECT_EQ(picture(canvas), joined(c.expected)) << c.what;
  }
}

TEST(SoftCanvas, RectangleOutlinesTheOuterRingAndFillsTheRest) {
  expectPictures({
      {"pen 0 with a brush", [](SoftCanvas& c) { c.rectangle({1, 1, 6, 5}, {kInk, 0}, kRedBrush); },
       {".......", ".#####.", ".#ooo#.", ".#ooo#.", ".#####.", "......."}},
      {"pen 1 behaves as pen 0", [](SoftCanvas& c) { c.rectangle({1, 1, 6, 5}, {kInk, 1}, kRedBrush); },
       {".......", ".#####.", ".#ooo#.", ".#ooo#.", ".#####.", "......."}},
      {"no brush leaves the inside", [](SoftCanvas& c) { c.rectangle({1, 1, 6, 5}, {kInk, 0}, std::nullopt); },
       {".......", ".#####.", ".#...#.", ".#...#.", ".#####.", "......."}},
      {"corners in any order", [](SoftCanvas& c) { c.rectangle({6, 5, 1, 1}, {kInk, 0}, kRedBrush); },
       {".......", ".#####.", ".#ooo#.", ".#ooo#.", ".#####.", "......."}},
      {"one pixel", [](SoftCanvas& c) { c.rectangle({2, 1, 3, 2}, {kInk, 0}, kRedBrush); },
       {".....", "..#..", ".....", "....."}},
      {"two by two has no inside", [](SoftCanvas& c) { c.rectangle({1, 1, 3, 3}, {kInk, 0}, kRedBrush); },
       {".....", ".##..", ".##..", "....."}},
      {"no width draws nothing", [](SoftCanvas& c) { c.rectangle({2, 1, 2, 3}, {kInk, 0}, kRedBrush); },
       {".....", ".....", ".....", "....."}},
      {"no height draws nothing", [](SoftCanvas& c) { c.rectangle({1, 2, 4, 2}, {kInk, 0}, kRedBrush); },
       {".....", ".....", ".....", "....."}},
  });
}

// A wide pen is centred on the path through the outermost pixels, and its round joins leave
// the very corner pixel out.
TEST(SoftCanvas, WidePenRectangleIsCentredOnTheBorderPath) {
  expectPictures({
      {"pen 3 with a brush", [](SoftCanvas& c) { c.rectangle({2, 2, 9, 8}, {kInk, 3}, kRedBrush); },
       {"...........", "..#######..", ".#########.", ".#########.", ".###ooo###.", ".###ooo###.",
        ".#########.", ".#########.", "..#######.."}},
      {"pen 3 without a brush", [](SoftCanvas& c) { c.rectangle({2, 2, 9, 8}, {kInk, 3}, std::nullopt); },
       {"...........", "..#######..", ".#########.", ".#########.", ".###...###.", ".###...###.",
        ".#########.", ".#########.", "..#######.."}},
      {"pen 2 spreads up and left", [](SoftCanvas& c) { c.rectangle({2, 2, 8, 7}, {kInk, 2}, kRedBrush); },
       {"..........", ".#######..", ".#######..", ".##ooo##..", ".##ooo##..", ".#######..",
        ".#######..", "..........", ".........."}},
  });
}

TEST(SoftCanvas, LineLeavesOutItsEndPoint) {
  expectPictures({
      {"left to right", [](SoftCanvas& c) { c.line({1, 1}, {5, 1}, {kInk, 0}); }, {"......", ".####.", "......"}},
      {"right to left", [](SoftCanvas& c) { c.line({5, 1}, {1, 1}, {kInk, 0}); }, {"......", "..####", "......"}},
      {"downwards", [](SoftCanvas& c) { c.line({1, 0}, {1, 3}, {kInk, 1}); }, {".#.", ".#.", ".#.", "..."}},
      {"upwards", [](SoftCanvas& c) { c.line({1, 3}, {1, 0}, {kInk, 1}); }, {"...", ".#.", ".#.", ".#."}},
      {"diagonal", [](SoftCanvas& c) { c.line({0, 0}, {4, 4}, {kInk, 0}); },
       {"#....", ".#...", "..#..", "...#.", "....."}},
      {"shallow", [](SoftCanvas& c) { c.line({0, 0}, {6, 2}, {kInk, 0}); },
       {"##.....", "..###..", ".....#.", "......."}},
      {"steep", [](SoftCanvas& c) { c.line({0, 0}, {2, 6}, {kInk, 0}); },
       {"#..", "#..", ".#.", ".#.", ".#.", "..#", "..."}},
      {"a point draws nothing", [](SoftCanvas& c) { c.line({1, 1}, {1, 1}, {kInk, 0}); }, {"...", "...", "..."}},
  });
}

// GDI rounds the half-way steps so that a line drawn backwards covers the same pixels; only
// the end point left out differs.
TEST(SoftCanvas, LineAndItsReverseCoverTheSamePixels) {
  const Point centre{12, 12};
  for (int dx = -10; dx <= 10; ++dx) {
    for (int dy = -10; dy <= 10; ++dy) {
      const Point end{centre.x + dx, centre.y + dy};
      SoftCanvas forward = paper(25, 25);
      SoftCanvas backward = paper(25, 25);
      forward.line(centre, end, {kInk, 0});
      forward.rectangle({end.x, end.y, end.x + 1, end.y + 1}, {kInk, 0}, std::nullopt);
      backward.line(end, centre, {kInk, 0});
      backward.rectangle({centre.x, centre.y, centre.x + 1, centre.y + 1}, {kInk, 0}, std::nullopt);
      EXPECT_EQ(picture(forward), picture(backward)) << "towards " << dx << ", " << dy;
    }
  }
}

TEST(SoftCanvas, WideLineIsCentredAndHasRoundCaps) {
  expectPictures({
      {"width 3 across", [](SoftCanvas& c) { c.line({2, 2}, {7, 2}, {kInk, 3}); },
       {".........", "..######.", ".########", "..######.", "........."}},
      {"width 3 down", [](SoftCanvas& c) { c.line({2, 2}, {2, 5}, {kInk, 3}); },
       {"......", "..#...", ".###..", ".###..", ".###..", ".###..", "..#...", "......"}},
      {"width 2", [](SoftCanvas& c) { c.line({2, 2}, {6, 2}, {kInk, 2}); },
       {"........", ".######.", ".######.", "........"}},
      {"width 5 round ends", [](SoftCanvas& c) { c.line({3, 3}, {5, 3}, {kInk, 5}); },
       {"..........", "..#####...", ".#######..", ".#######..", ".#######..", "..#####...", ".........."}},
  });
}

// The closed form that lets a line start inside the clip must give the pixels the plain
// step-by-step line gives: draw on a large canvas and on a small window into it.
TEST(SoftCanvas, ClippedLinesMatchTheUnclippedOnes) {
  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> coordinate(-60, 90);
  for (int i = 0; i < 400; ++i) {
    const Point from{coordinate(random), coordinate(random)};
    const Point to{coordinate(random), coordinate(random)};
    const int width = i % 4 == 0 ? 3 : 0;
    SoftCanvas large = paper(200, 200);
    large.line({from.x + 100, from.y + 100}, {to.x + 100, to.y + 100}, {kInk, width});
    SoftCanvas small = paper(30, 30);
    small.line(from, to, {kInk, width});
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 30; ++x) {
        ASSERT_EQ(small.pixel(x, y), large.pixel(x + 100, y + 100))
            << "seed " << seed << ", line " << from.x << "," << from.y << " to " << to.x << ","
            << to.y << " width " << width << ", pixel " << x << "," << y;
      }
    }
  }
}

TEST(SoftCanvas, ExtremeCoordinatesAreClippedSafely) {
  expectPictures({
      {"huge brushed rectangle", [](SoftCanvas& c) { c.rectangle({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {kInk, 0}, kRedBrush); },
       {"ooo", "ooo"}},
      {"huge pen", [](SoftCanvas& c) { c.rectangle({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {kInk, INT_MAX}, kRedBrush); },
       {"ooo", "ooo"}},
      {"long horizontal", [](SoftCanvas& c) { c.line({INT_MIN, 1}, {INT_MAX, 1}, {kInk, 0}); }, {"...", "###"}},
      {"long diagonal", [](SoftCanvas& c) { c.line({INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {kInk, 0}); },
       {"#..", ".#.", "..#"}},
      {"long wide line", [](SoftCanvas& c) { c.line({1, INT_MIN}, {1, INT_MAX}, {kInk, 3}); }, {"###", "###"}},
      {"long slanted wide line", [](SoftCanvas& c) { c.line({INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {kInk, 2}); },
       {"##.", "###", "###"}},
      {"everything outside", [](SoftCanvas& c) {
         c.rectangle({-20, -20, -1, -1}, {kInk, 3}, kRedBrush);
         c.line({6, -1}, {-1, 6}, {kInk, 0});
         c.line({INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {kInk, 9});
       },
       {"...", "...", "..."}},
  });
}

// A bitmap of 3 x 2 distinct colours: row 0 is 1, 2, 3 and row 1 is 4, 5, 6.
class TinyBitmaps final : public BitmapSource {
 public:
  const BitmapView* find(int id) const override {
    return id == 7 ? &view_ : id == 9 ? &row_ : nullptr;
  }

 private:
  std::vector<std::uint32_t> pixels_{1, 2, 3, 4, 5, 6};
  BitmapView view_{3, 2, pixels_};
  std::vector<std::uint32_t> rowPixels_{1, 2, 3, 4, 5, 6, 7, 8, 9};
  BitmapView row_{9, 1, rowPixels_};
};

using Grid = std::vector<std::vector<std::uint32_t>>;

Grid grid(const SoftCanvas& canvas) {
  Grid rows;
  for (int y = 0; y < canvas.height(); ++y) {
    rows.emplace_back(canvas.pixels().begin() + y * canvas.width(),
                      canvas.pixels().begin() + (y + 1) * canvas.width());
  }
  return rows;
}

Grid blank(int width, int height) { return Grid(height, std::vector<std::uint32_t>(width, kPaper)); }

// At scale s each bitmap pixel is an s by s block.
TEST(SoftCanvas, BlitCopiesFromTheTopLeftWithinBitmapAndCanvasAtEveryScale) {
  constexpr std::uint32_t P = kPaper;
  struct Case {
    const char* what;
    int scale, id, x, y, width, height;
    Grid expected;
  };
  const std::vector<Case> cases = {
      {"whole bitmap", 1, 7, 1, 1, 3, 2, {{P, P, P, P}, {P, 1, 2, 3}, {P, 4, 5, 6}}},
      {"part of it", 1, 7, 0, 0, 2, 1, {{1, 2, P, P}, {P, P, P, P}, {P, P, P, P}}},
      {"never past the bitmap", 1, 7, 0, 0, 50, 50, {{1, 2, 3, P}, {4, 5, 6, P}, {P, P, P, P}}},
      {"cut by the canvas edge", 1, 7, 2, 2, 3, 2, {{P, P, P, P}, {P, P, P, P}, {P, P, 1, 2}}},
      {"from a negative position", 1, 7, -1, -1, 3, 2, {{5, 6, P, P}, {P, P, P, P}, {P, P, P, P}}},
      {"id's high bits ignored", 1, 7 + 0x10000, 0, 0, 1, 1, {{1, P, P, P}, {P, P, P, P}, {P, P, P, P}}},
      {"unknown id", 1, 8, 0, 0, 3, 2, blank(4, 3)},
      {"negative size", 1, 7, 2, 2, -2, -2, blank(4, 3)},
      {"extreme position", 1, 7, INT_MAX, INT_MIN, INT_MAX, INT_MAX, blank(4, 3)},
      {"extreme start", 1, 7, INT_MIN, INT_MIN, INT_MAX, INT_MAX, blank(4, 3)},
      {"scale 2, whole blocks", 2, 7, 1, 0, 2, 2,
       {{P, P, 1, 1, 2, 2, P}, {P, P, 1, 1, 2, 2, P}, {P, P, 4, 4, 5, 5, P}, {P, P, 4, 4, 5, 5, P},
        {P, P, P, P, P, P, P}}},
      {"scale 2, halved by the canvas edge", 2, 7, 2, 1, 3, 2,
       {{P, P, P, P, P, P, P}, {P, P, P, P, P, P, P}, {P, P, P, P, 1, 1, 2}, {P, P, P, P, 1, 1, 2},
        {P, P, P, P, 4, 4, 5}}},
      {"scale 2, from a negative position", 2, 7, -1, -1, 3, 2,
       {{5, 5, 6, 6, P, P, P}, {5, 5, 6, 6, P, P, P}, {P, P, P, P, P, P, P}, {P, P, P, P, P, P, P},
        {P, P, P, P, P, P, P}}},
      {"scale 2, extreme position", 2, 7, INT_MAX, INT_MIN, INT_MAX, INT_MAX, blank(7, 5)},
      // A row long enough for the copy's wide stores.
      {"scale 2, a long row", 2, 9, 1, 0, 9, 1,
       Grid(2, {P, P, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, P})},
      {"scale 3", 3, 7, 0, 0, 3, 2,
       {{1, 1, 1, 2, 2, 2, 3}, {1, 1, 1, 2, 2, 2, 3}, {1, 1, 1, 2, 2, 2, 3}, {4, 4, 4, 5, 5, 5, 6},
        {4, 4, 4, 5, 5, 5, 6}}},
  };
  const TinyBitmaps bitmaps;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SoftCanvas canvas = paper(static_cast<int>(c.expected[0].size()), static_cast<int>(c.expected.size()),
                              &bitmaps, c.scale);
    canvas.blit(c.id, c.x, c.y, c.width, c.height);
    EXPECT_EQ(grid(canvas), c.expected);
  }
  SoftCanvas withoutBitmaps = paper(4, 3);
  withoutBitmaps.blit(7, 0, 0, 3, 2);
  EXPECT_EQ(withoutBitmaps.pixel(0, 0), kPaper);
}

class FunctionPainter final : public Canvas::Painter {
 public:
  explicit FunctionPainter(std::function<void(Canvas&)> paint) : paint_(std::move(paint)) {}
  void paint(Canvas& offscreen) override { paint_(offscreen); }

 private:
  std::function<void(Canvas&)> paint_;
};

// At scale s a call draws its scale-1 picture enlarged: a one-pixel line covers exactly the
// s x s blocks of its scale-1 pixels, and a canvas edge inside a block keeps the rest of it.
TEST(SoftCanvas, AtEveryScaleStrokesAndFillsAreTheScaleOnePictureEnlarged) {
  const std::vector<std::pair<const char*, std::function<void(Canvas&)>>> calls = {
      {"rectangle, pen 0", [](Canvas& c) { c.rectangle({1, 1, 6, 4}, {kInk, 0}, kRedBrush); }},
      {"rectangle, pen 1, no brush",
       [](Canvas& c) { c.rectangle({6, 4, 1, 1}, {kInk, 1}, std::nullopt); }},
      {"rectangle, pen 3", [](Canvas& c) { c.rectangle({2, 1, 7, 6}, {kInk, 3}, kRedBrush); }},
      {"rectangle across the far edges",
       [](Canvas& c) { c.rectangle({4, 3, 8, 7}, {kInk, 1}, kRedBrush); }},
      {"slanted line, pen 1", [](Canvas& c) { c.line({0, 1}, {7, 5}, {kInk, 1}); }},
      {"line, pen 2", [](Canvas& c) { c.line({1, 5}, {6, 2}, {kInk, 2}); }},
      {"line far outside", [](Canvas& c) { c.line({-40000, 3}, {40000, 3}, {kInk, 0}); }},
      {"offscreen frame",
       [](Canvas& c) {
         FunctionPainter painter([](Canvas& o) { o.line({1, 1}, {3, 1}, {kInk, 0}); });
         c.paintOffscreen(5, 3, painter);
       }},
  };
  for (const int s : {2, 3, 4}) {
    for (const auto& [what, draw] : calls) {
      SoftCanvas plain = paper(8, 7);
      draw(plain);
      // One physical pixel short of whole blocks at the right and bottom edges.
      const int width = 8 * s - 1;
      const int height = 7 * s - 1;
      SoftCanvas scaled = paper(width, height, nullptr, s);
      draw(scaled);
      const std::string small = picture(plain);  // rows of 8 pixels and a line end
      std::string enlarged;                       // each of its pixels an s x s block
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) enlarged += small[(y / s) * 9 + x / s];
        enlarged += '\n';
      }
      EXPECT_EQ(picture(scaled), enlarged) << what << " at scale " << s;
      EXPECT_NE(picture(plain), picture(paper(8, 7))) << what << " drew nothing";
    }
  }
}

TEST(SoftCanvas, ShortBitmapViewGivesOnlyItsCompleteRows) {
  class Short final : public BitmapSource {
   public:
    const BitmapView* find(int) const override { return &view_; }
    std::vector<std::uint32_t> pixels_{1, 2, 3, 4};
    BitmapView view_{3, 2, pixels_};  // claims 6 pixels, has 4
  } source;
  SoftCanvas canvas(3, 2, &source, nullptr);
  canvas.blit(1, 0, 0, 3, 2);
  EXPECT_EQ(grid(canvas), (Grid{{1, 2, 3}, {0, 0, 0}}));
}

TEST(SoftCanvas, OffscreenPaintCopiesAFreshFrameToTheTopLeft) {
  expectPictures({
      {"unpainted parts of the frame are black, the rest of the canvas is kept",
       [](SoftCanvas& c) {
         FunctionPainter painter([](Canvas& o) { o.rectangle({0, 0, 2, 2}, {0xFFFFFF, 0}, 0xFFFFFF); });
         c.paintOffscreen(3, 3, painter);
       },
       {"..#..", "..#..", "###..", "....."}},
      {"the frame clips what is painted into it",
       [](SoftCanvas& c) {
         FunctionPainter painter([](Canvas& o) { o.rectangle({-5, -5, 50, 50}, {kRedBrush, 0}, kRedBrush); });
         c.paintOffscreen(2, 3, painter);
       },
       {"oo...", "oo...", "oo...", "....."}},
      {"a frame larger than the canvas is cut at its edge",
       [](SoftCanvas& c) {
         FunctionPainter painter([](Canvas& o) { o.line({0, 1}, {INT_MAX, 1}, {kRedBrush, 0}); });
         c.paintOffscreen(INT_MAX, INT_MAX, painter);
       },
       {"#####", "ooooo", "#####", "#####"}},
      {"an empty frame changes nothing",
       [](SoftCanvas& c) {
         FunctionPainter painter([](Canvas& o) { o.rectangle({0, 0, 9, 9}, {kInk, 0}, kInk); });
         c.paintOffscreen(0, -4, painter);
       },
       {".....", ".....", ".....", "....."}},
      {"frames nest, each clip coming back when its frame ends",
       [](SoftCanvas& c) {
         FunctionPainter inner([](Canvas& o) { o.rectangle({0, 0, 9, 9}, {kRedBrush, 0}, kRedBrush); });
         FunctionPainter outer([&inner](Canvas& o) {
           o.rectangle({0, 0, 9, 9}, {0xFFFFFF, 0}, 0xFFFFFF);
           o.paintOffscreen(1, 9, inner);
           o.line({0, 1}, {9, 1}, {kRedBrush, 0});
         });
         c.paintOffscreen(3, 2, outer);
         c.line({0, 3}, {9, 3}, {kRedBrush, 0});
       },
       {"o....", "ooo..", ".....", "ooooo"}},
  });
}

// The frame is blackened lazily; a blit that covers all of it makes that unnecessary, and
// anything else must still find it black.
TEST(SoftCanvas, OffscreenFrameIsBlackUnderPartialBlits) {
  constexpr std::uint32_t P = kPaper;
  struct Case {
    const char* what;
    int frameWidth, frameHeight;
    std::function<void(Canvas&)> paint;
    Grid expected;
  };
  const std::vector<Case> cases = {
      {"blit covering the frame", 3, 2, [](Canvas& c) { c.blit(7, 0, 0, 3, 2); },
       {{1, 2, 3, P}, {4, 5, 6, P}, {P, P, P, P}}},
      {"blit covering part of it", 3, 3, [](Canvas& c) { c.blit(7, 0, 0, 3, 2); },
       {{1, 2, 3, P}, {4, 5, 6, P}, {0, 0, 0, P}}},
      {"blit over part, then over all", 3, 2,
       [](Canvas& c) { c.blit(7, 1, 1, 3, 2); c.blit(7, 0, 0, 3, 2); },
       {{1, 2, 3, P}, {4, 5, 6, P}, {P, P, P, P}}},
      {"a line first, then a full blit", 3, 2,
       [](Canvas& c) { c.line({0, 0}, {3, 0}, {0xFFFFFF, 1}); c.blit(7, 0, 0, 3, 1); },
       {{1, 2, 3, P}, {0, 0, 0, P}, {P, P, P, P}}},
      {"blits that tile the frame", 3, 3,
       [](Canvas& c) {
         c.blit(7, 0, 0, 2, 2);
         c.blit(7, 2, 0, 1, 3);
         c.blit(7, 0, 2, 2, 1);
       },
       {{1, 2, 1, P}, {4, 5, 4, P}, {1, 2, 0, P}}},
      {"a blit in the middle, then a line", 4, 3,
       [](Canvas& c) { c.blit(7, 1, 1, 2, 1); c.line({3, 0}, {3, 3}, {0x0000FF, 1}); },
       {{0, 0, 0, 0xFF0000}, {0, 1, 2, 0xFF0000}, {0, 0, 0, 0xFF0000}}},
      {"many small blits", 4, 3,
       [](Canvas& c) {
         for (int x = 0; x < 4; x += 2) {
           for (int y = 0; y < 3; y += 2) c.blit(7, x, y, 1, 1);
         }
       },
       {{1, 0, 1, 0}, {0, 0, 0, 0}, {1, 0, 1, 0}}},
      {"nothing that draws", 2, 1, [](Canvas& c) { c.blit(99, 0, 0, 3, 2); },
       {{0, 0, P, P}, {P, P, P, P}, {P, P, P, P}}},
  };
  const TinyBitmaps bitmaps;
  for (const Case& c : cases) {
    SoftCanvas canvas = paper(4, 3, &bitmaps);
    FunctionPainter painter(c.paint);
    canvas.paintOffscreen(c.frameWidth, c.frameHeight, painter);
    EXPECT_EQ(grid(canvas), c.expected) << c.what;
  }
}

// At factor 2 a frame is its factor-1 picture enlarged, wherever the frame or the half blocks of
// a canvas of odd size cut it.
TEST(SoftCanvas, AtScaleTwoFramesAreTheEnlargedScaleOnePicture) {
  struct Case {
    const char* what;
    int width, height, frameWidth, frameHeight;  // the factor-2 canvas, physical; the frame
    std::function<void(SoftCanvas&)> paint;
    std::function<void(SoftCanvas&)> reference;  // at factor 1, unframed; else `paint` framed
  };
  const std::vector<Case> cases = {
      {"blits cut by a frame, from a negative position", 10, 8, 3, 2,
       [](SoftCanvas& c) { c.blit(7, -1, -1, 3, 2); c.blit(7, 1, 1, 3, 2); }, nullptr},
      {"blits cut by a frame and by the canvas's half blocks", 9, 7, 5, 3,
       [](SoftCanvas& c) { c.blit(7, 2, 2, 3, 2); c.blit(7, -2, 0, 3, 2); }, nullptr},
      // The line, outside the canvas, draws nothing but settles the frame.
      {"a fill in a frame stays under what is drawn after it", 9, 7, 2, 2,
       [](SoftCanvas& c) {
         c.blit(7, 1, 0, 1, 1);
         c.fill(kPaper);
         c.line({-9, -9}, {-1, -9}, {kInk, 0});
       },
       [](SoftCanvas&) {}},
  };
  const TinyBitmaps bitmaps;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SoftCanvas small = paper((c.width + 1) / 2, (c.height + 1) / 2, &bitmaps);
    SoftCanvas large = paper(c.width, c.height, &bitmaps, 2);
    for (SoftCanvas* canvas : {&small, &large}) {
      FunctionPainter painter([&](Canvas&) { c.paint(*canvas); });
      if (canvas == &small && c.reference) c.reference(small);
      else canvas->paintOffscreen(c.frameWidth, c.frameHeight, painter);
    }
    Grid enlarged(static_cast<std::size_t>(c.height));
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) enlarged[y].push_back(small.pixel(x / 2, y / 2));
    }
    EXPECT_EQ(grid(large), enlarged);
  }
}

TEST(SoftCanvas, ColoursAreConvertedFromColorref) {
  struct Case {
    Colour colour;
    std::uint32_t rgb;
  };
  for (const Case& c : {Case{0x00000000, 0x000000}, Case{0x000000FF, 0xFF0000}, Case{0x0000FF00, 0x00FF00},
                        Case{0x00FF0000, 0x0000FF}, Case{0x00F0F0F0, 0xF0F0F0}, Case{0x00123456, 0x563412},
                        Case{-1, 0xFFFFFF}, Case{static_cast<Colour>(0x80123456), 0x563412}}) {
    EXPECT_EQ(SoftCanvas::toRgb(c.colour), c.rgb) << std::hex << c.colour;
  }
}

TEST(SoftCanvas, SizeAndPixelAccessAreSafe) {
  SoftCanvas canvas(-3, 4, nullptr, nullptr);
  EXPECT_EQ(canvas.width(), 0);
  EXPECT_TRUE(canvas.pixels().empty());
  canvas.rectangle({0, 0, 5, 5}, {kInk, 0}, kRedBrush);
  canvas.resize(2, 1);
  EXPECT_EQ(canvas.pixels().size(), 2u);
  EXPECT_EQ(canvas.pixel(1, 0), 0u);  // a resized canvas is black
  canvas.fill(0x123456);
  EXPECT_EQ(canvas.pixel(1, 0), 0x123456u);
  EXPECT_EQ(canvas.pixel(2, 0), 0u);
  EXPECT_EQ(canvas.pixel(-1, 0), 0u);
  EXPECT_EQ(canvas.pixel(0, INT_MAX), 0u);
}

// The shapes the widget kit draws, together: button faces, a grid with its lines and a
// cursor frame, and bitmaps.
TEST(SoftCanvas, WidgetShapesMatchTheGoldenImage) {
  const TinyBitmaps bitmaps;
  SoftCanvas canvas(64, 48, &bitmaps, nullptr);
  FunctionPainter painter([](Canvas& c) {
    c.rectangle({0, 0, 64, 48}, {0xFFFFFF, 0}, 0xF0F0F0);
    c.rectangle({4, 4, 24, 14}, {0x000000, 0}, 0x44BDFF);
    for (int k = 0; k <= 3; ++k) {
      c.line({30 + 10 * k, 4}, {30 + 10 * k, 34}, {0x000000, 1});
      c.line({30, 4 + 10 * k}, {60, 4 + 10 * k}, {0x000000, 1});
    }
    c.rectangle({40, 14, 50, 24}, {0x0000FF, 3}, std::nullopt);
    c.blit(7, 4, 20, 64, 64);
    c.line({4, 44}, {26, 30}, {0x800000, 0});
    c.line({4, 30}, {26, 44}, {0x008000, 2});
  });
  canvas.paintOffscreen(64, 48, painter);
  expectMatchesGolden(canvas, "soft/widget_shapes");
}

}  // namespace
