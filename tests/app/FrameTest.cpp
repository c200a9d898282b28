// Whole frames of the headless program compared with golden images.
#include <gtest/gtest.h>

#include "app/ScreenTable.h"
#include "support/GoldenImage.h"
#include "tests/app/HeadlessProgram.h"
#include "tests/support/TextBoxes.h"

TEST(Frame, FirstFrameShowsAMediumDealInTheNumberedSkin) {
  HeadlessProgram program;
  program.start();
  expectMatchesGolden(program.host().frame(), "frame-narrow-numbered");
}

TEST(Frame, WideWindowShowsTheReferencePictureInThePictureSkin) {
  HeadlessProgram program("1\n0\n0\n0\n0\n2\n");
  program.start();
  program.clickBox(screen::kShowHide);
  program.host().ticks(1);
  expectMatchesGolden(program.host().frame(), "frame-wide-picture");
}

TEST(Frame, CompletedBoardShowsTheBannerAndPressedLook) {
  HeadlessProgram program("0\n1\n1\n0\n0\n2\n");
  program.start();
  program.completeByHand();
  // Hold Medium down over it so its pressed face shows.
  const screen::Box medium = screen::kMedium;
  program.host().send(msg::kLeftButtonDown, 0,
                      msg::pointParam(medium.x + 10, medium.y + 10));
  program.host().ticks(1);
  expectMatchesGolden(program.host().frame(), "frame-completed");
}

TEST(Frame, SkinChangeRepaintsOnlyTheTiles) {
  HeadlessProgram program;
  program.start();
  program.clickBox(screen::kShowHide);
  program.host().ticks(1);
  const SoftCanvas numbered = program.host().frame();
  program.host().key('K');
  program.host().ticks(1);
  const SoftCanvas& picture = program.host().frame();
  const auto insideGrid = [](int x, int y, const screen::Box& grid) {
    return x >= grid.x && x <= grid.x + grid.width && y >= grid.y && y <= grid.y + grid.height;
  };
  int changedInGrids = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const bool changed = numbered.pixel(x, y) != picture.pixel(x, y);
      if (insideGrid(x, y, screen::kBoard) || insideGrid(x, y, screen::kReference)) {
        changedInGrids += changed ? 1 : 0;
      } else {
        ASSERT_FALSE(changed) << "pixel " << x << "," << y << " outside the grids changed";
      }
    }
  }
  EXPECT_GT(changedInGrids, 2 * 312 * 312 / 2);
}

// At every whole scale the frame outside the text is the scale-1 frame enlarged, pixel for
// pixel: bitmaps, fills, grid lines and the tiles' edges alike.
TEST(Frame, AtEveryScaleTheFrameOutsideTextIsTheScaleOneFrameEnlarged) {
  const auto frameAt = [](int scale, const char* settings) -> SoftCanvas {
    HeadlessProgram program(settings);
    program.host().setScale(scale);
    program.start();
    if (settings != nullptr) {  // the wide window in the picture skin
      program.clickBox(screen::kShowHide);
      program.host().ticks(1);
    }
    return program.host().frame();  // a copy, which owns its pixels
  };
  for (const char* settings : {static_cast<const char*>(nullptr), "1\n0\n0\n0\n0\n2\n"}) {
    const SoftCanvas plain = frameAt(1, settings);
    for (const int s : {2, 3, 4}) {
      const SoftCanvas frame = frameAt(s, settings);
      int differing = 0;
      for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
          differing += !inText(x / s, y / s) &&
                       frame.pixel(x, y) != plain.pixel(x / s, y / s);
        }
      }
      EXPECT_EQ(differing, 0) << (settings ? "wide" : "narrow") << " at scale " << s;
    }
  }
}
