// The software canvas at factor 2 against its factor-1 picture enlarged, where frames clip.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

#include "gfx/Bitmap.h"
#include "gfx/SoftCanvas.h"

namespace {

constexpr std::uint32_t kPaper = 0xFFFFFF;
constexpr std::uint32_t kFill = 0x00FF00;

// Bitmap 7: 3 x 2 distinct colours.
class Bitmaps final : public BitmapSource {
 public:
  const BitmapView* find(int id) const override { return id == 7 ? &view_ : nullptr; }

 private:
  std::vector<std::uint32_t> pixels_{1, 2, 3, 4, 5, 6};
  BitmapView view_{3, 2, pixels_};
};

class FunctionPainter final : public Canvas::Painter {
 public:
  explicit FunctionPainter(std::function<void()> paint) : paint_(std::move(paint)) {}
  void paint(Canvas&) override { paint_(); }

 private:
  std::function<void()> paint_;
};

using Draw = std::function<void(SoftCanvas&)>;

// `inside` painted in an off-screen frame of w x h logical pixels.
Draw framed(int w, int h, Draw inside) {
  return [=](SoftCanvas& canvas) {
    FunctionPainter painter([&] { inside(canvas); });
    canvas.paintOffscreen(w, h, painter);
  };
}

std::vector<std::uint32_t> drawn(int width, int height, int scale, const Draw& draw) {
  const Bitmaps bitmaps;
  SoftCanvas canvas(width, height, &bitmaps, nullptr);
  canvas.setScale(scale);
  canvas.fill(kPaper);
  draw(canvas);
  return {canvas.pixels().begin(), canvas.pixels().end()};
}

}  // namespace

// Canvases of odd sizes end in half blocks at the right and the bottom.
TEST(SoftCanvasAtScaleTwo, FramesAreTheEnlargedScaleOnePicture) {
  struct Case {
    const char* what;
    int width, height;
    Draw draw;
    Draw reference;  // at factor 1; the same as `draw` when empty
  };
  const std::vector<Case> cases = {
      {"blits cut by a frame and from a negative position", 10, 8,
       framed(3, 2, [](SoftCanvas& c) { c.blit(7, -1, -1, 3, 2); c.blit(7, 1, 1, 3, 2); }), {}},
      {"blits cut by a frame and by the canvas's half blocks", 9, 7,
       framed(5, 3, [](SoftCanvas& c) { c.blit(7, 2, 2, 3, 2); c.blit(7, -2, 0, 3, 2); }), {}},
      // The line, outside the canvas, draws nothing but settles the frame.
      {"a fill in a frame stays under what is drawn after it", 9, 7,
       framed(2, 2,
              [](SoftCanvas& c) {
                c.blit(7, 1, 0, 1, 1);
                c.fill(kFill);
                c.line({-9, -9}, {-1, -9}, {0x0000FF, 0});
              }),
       [](SoftCanvas& c) { c.fill(kFill); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int w = (c.width + 1) / 2;
    const int h = (c.height + 1) / 2;
    const std::vector<std::uint32_t> small = drawn(w, h, 1, c.reference ? c.reference : c.draw);
    std::vector<std::uint32_t> enlarged;
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        enlarged.push_back(small[static_cast<std::size_t>(y / 2 * w + x / 2)]);
      }
    }
    EXPECT_EQ(drawn(c.width, c.height, 2, c.draw), enlarged);
  }
}
