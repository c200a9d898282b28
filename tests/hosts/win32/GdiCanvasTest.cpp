// The GDI canvas on a memory bitmap: each call draws what GDI's rules say and leaves no object.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>

#include "hosts/win32/GdiCanvas.h"
#include "hosts/win32/GdiHandles.h"
#include "hosts/win32/Win32Api.h"

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 60;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;

// Pixels of the surface are 0x00RRGGBB; the canvas takes COLORREFs, 0x00BBGGRR.
constexpr Colour colourRef(std::uint32_t rgb) {
  return static_cast<Colour>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kBlue = 0x0000FF;

// A 32-bit top-down DIB section in a memory DC, so the test reads the pixels GDI wrote.
class Surface {
 public:
  explicit Surface(std::uint32_t paper) : bitmap_(create(&bits_)), selection_(dc_.get(), bitmap_.get()) {
    std::fill(pixels().begin(), pixels().end(), paper);
  }

  HDC dc() const { return dc_.get(); }
  std::span<std::uint32_t> pixels() {
    return {static_cast<std::uint32_t*>(bits_), static_cast<std::size_t>(kWidth * kHeight)};
  }
  std::uint32_t at(int x, int y) {
    GdiFlush();
    return pixels()[static_cast<std::size_t>(y * kWidth + x)] & 0xFFFFFF;
  }
  // How many pixels of a rectangle (right and bottom exclusive) differ from `paper`.
  int changed(const Rect& area, std::uint32_t paper) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) count += at(x, y) != paper ? 1 : 0;
    }
    return count;
  }

 private:
  static HBITMAP create(void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
  }

  MemoryDc dc_{nullptr};
  void* bits_ = nullptr;
  GdiObject<HBITMAP> bitmap_;
  Selection selection_;
};

GdiCanvas canvasOn(const Surface& surface) {
  return GdiCanvas(GetModuleHandleA(nullptr), surface.dc());
}

TEST(GdiCanvas, RectanglesAndLinesFollowGdiPixelRules) {
  Surface surface(kWhite);
  GdiCanvas canvas = canvasOn(surface);
  canvas.rectangle({10, 10, 20, 16}, Pen{colourRef(kRed), 1}, colourRef(kBlue));
  canvas.rectangle({30, 10, 40, 16}, Pen{colourRef(kRed), 0}, std::nullopt);
  // A line leaves out its end point.
  canvas.line({5, 30}, {15, 30}, Pen{colourRef(kRed), 1});
  canvas.line({50, 5}, {50, 25}, Pen{colourRef(kBlue), 0});
  struct Probe {
    int x, y;
    std::uint32_t expected;
  };
  const Probe probes[] = {
      {10, 10, kRed},   {19, 15, kRed},   {19, 10, kRed},   {10, 15, kRed},
      {20, 10, kWhite}, {10, 16, kWhite}, {9, 9, kWhite},   {11, 11, kBlue},
      {18, 14, kBlue},  {30, 10, kRed},   {39, 15, kRed},   {40, 15, kWhite},
      {31, 11, kWhite}, {38, 14, kWhite}, {35, 10, kRed},   {35, 16, kWhite},
      {5, 30, kRed},    {14, 30, kRed},   {15, 30, kWhite}, {50, 5, kBlue},
      {50, 24, kBlue},  {50, 25, kWhite},
  };
  for (const Probe& p : probes) EXPECT_EQ(surface.at(p.x, p.y), p.expected) << p.x << "," << p.y;
}

TEST(GdiCanvas, NoColourIsTakenAsItsLow24BitsAsGdiWould) {
  Surface surface(kBlack);
  GdiCanvas canvas = canvasOn(surface);
  canvas.rectangle({10, 10, 20, 20}, Pen{-1, 1}, -1);
  EXPECT_EQ(surface.at(10, 10), kWhite);
  EXPECT_EQ(surface.at(15, 15), kWhite);
}

TEST(GdiCanvas, BlitCopiesTheBitmapButNeverPastItsOwnSize) {
  // The completion banner: a 110 x 30 bitmap in a 241-pixel-wide widget.
  Surface surface(kWhite);
  GdiCanvas canvas = canvasOn(surface);
  canvas.blit(602, 0, 0, 241, 40);
  EXPECT_GT(surface.changed({0, 0, 110, 30}, kWhite), 110 * 30 / 2);
  EXPECT_EQ(surface.changed({110, 0, 241, 40}, kWhite), 0);
  EXPECT_EQ(surface.changed({0, 30, 110, 40}, kWhite), 0);
}

TEST(GdiCanvas, BlitTakesTheLow16BitsOfTheIdAndDrawsNothingForAnUnknownOne) {
  Surface plain(kWhite);
  canvasOn(plain).blit(619, 0, 0, 81, 31);
  Surface high(kWhite);
  canvasOn(high).blit(619 + 0x30000, 0, 0, 81, 31);
  EXPECT_TRUE(std::equal(plain.pixels().begin(), plain.pixels().end(), high.pixels().begin()));
  EXPECT_GT(plain.changed({0, 0, 81, 31}, kWhite), 0);

  Surface unknown(kWhite);
  canvasOn(unknown).blit(12345, 0, 0, 81, 31);
  EXPECT_EQ(unknown.changed({0, 0, kWidth, kHeight}, kWhite), 0);
}

TEST(GdiCanvas, TextIsDrawnInsideItsRectangleOnly) {
  Surface surface(kWhite);
  GdiCanvas canvas = canvasOn(surface);
  const Rect box{50, 10, 90, 40};
  canvas.text(box, "WWWWWWWWWWWW", Font{15, 6, 700}, colourRef(kBlack));
  EXPECT_GT(surface.changed(box, kWhite), 0);
  const int everywhere = surface.changed({0, 0, kWidth, kHeight}, kWhite);
  EXPECT_EQ(everywhere, surface.changed(box, kWhite));
}

TEST(GdiCanvas, OffscreenPaintReachesTheTargetInOneStep) {
  Surface surface(kWhite);
  GdiCanvas canvas = canvasOn(surface);
  struct Painter final : Canvas::Painter {
    Surface* target = nullptr;
    std::uint32_t targetDuringPaint = 0;
    void paint(Canvas& offscreen) override {
      offscreen.rectangle({0, 0, kWidth, kHeight}, Pen{colourRef(kBlue), 1}, colourRef(kBlue));
      offscreen.rectangle({10, 10, 20, 20}, Pen{colourRef(kRed), 1}, colourRef(kRed));
      targetDuringPaint = target->at(15, 15);
    }
  } painter;
  painter.target = &surface;
  canvas.paintOffscreen(kWidth, kHeight, painter);
  EXPECT_EQ(painter.targetDuringPaint, kWhite);
  EXPECT_EQ(surface.at(15, 15), kRed);
  EXPECT_EQ(surface.at(5, 5), kBlue);
  EXPECT_EQ(surface.at(kWidth - 1, kHeight - 1), kBlue);
}

TEST(GdiCanvas, AtAWholeFactorEverythingButTextIsThe96DpiPictureEnlarged) {
  const auto draw = [](const Surface& surface, int dpi) {  // in the first third of the surface
    GdiCanvas canvas(GetModuleHandleA(nullptr), surface.dc(), dpi);
    canvas.rectangle({2, 2, 30, 15}, Pen{colourRef(kRed), 1}, colourRef(kBlue));
    canvas.rectangle({34, 3, 44, 9}, Pen{colourRef(kRed), 0}, std::nullopt);
    canvas.line({5, 17}, {35, 17}, Pen{colourRef(kRed), 1});
    canvas.line({50, 18}, {50, 2}, Pen{colourRef(kBlue), 0});
    canvas.blit(614, 70, 0, 40, 30);  // a 20 x 20 bitmap
  };
  Surface logical(kWhite);
  draw(logical, 96);
  for (const int factor : {2, 3}) {
    Surface enlarged(kWhite);
    draw(enlarged, 96 * factor);
    int differing = 0;
    for (int y = 0; y < kHeight / 3 * factor; ++y) {
      for (int x = 0; x < kWidth / 3 * factor; ++x) {
        differing += enlarged.at(x, y) != logical.at(x / factor, y / factor) ? 1 : 0;
      }
    }
    EXPECT_EQ(differing, 0) << "factor " << factor;
  }
}

TEST(GdiCanvas, NoGdiObjectOutlivesACall) {
  Surface surface(kWhite);
  GdiCanvas canvas = canvasOn(surface);
  const auto objects = [] { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); };
  const DWORD before = objects();
  if (before == 0) GTEST_SKIP() << "this system does not count GDI objects";
  struct Painter final : Canvas::Painter {
    void paint(Canvas& offscreen) override {
      offscreen.blit(619, 0, 0, 81, 31);
      offscreen.rectangle({0, 0, 10, 10}, Pen{0, 1}, std::nullopt);
      offscreen.text({0, 0, 80, 30}, "Easy", Font{15, 6, 700}, 0);
    }
  } painter;
  for (int i = 0; i < 50; ++i) {
    canvas.blit(700 + i % 16, 0, 0, 78, 78);
    canvas.blit(12345, 0, 0, 10, 10);
    canvas.rectangle({0, 0, 10, 10}, Pen{0, 3}, 0);
    canvas.line({0, 0}, {10, 10}, Pen{0, 1});
    canvas.text({0, 0, 80, 30}, "Moves : 0", Font{15, 7, 700}, 0);
    canvas.paintOffscreen(kWidth, kHeight, painter);
  }
  EXPECT_EQ(objects(), before);
}

}  // namespace
