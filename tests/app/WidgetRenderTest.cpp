// Widgets drawn into the software canvas with the built-in skins and artwork, against goldens.
#include <gtest/gtest.h>

#include "app/ScreenTable.h"
#include "gfx/resources/ResourceStore.h"
#include "puzzle/Deradu.h"
#include "puzzle/Solution.h"
#include "skin/skinClasses.h"
#include "skin/skinInstance.h"
#include "support/GoldenImage.h"
#include "tests/app/HeadlessProgram.h"
#include "widgets/scobButton.h"
#include "widgets/scobImage.h"
#include "widgets/scobScene.h"
#include "widgets/scobStateButton.h"

namespace {

using namespace skinClass;

// A small canvas on a mid-grey ground, so that anything drawn (or not drawn) shows.
SoftCanvas groundCanvas(int width, int height) {
  SoftCanvas canvas(width, height, &ResourceStore::builtIn(), &sharedText());
  canvas.fill(0x808080);
  return canvas;
}

// Styled as the screen styles its buttons, at (x, y) with the size of `box`.
void setupAsOnScreen(scobButton& button, int x, int y, const screen::Box& box,
                     const scobSkin& skin) {
  button.setup(x, y, box.height, box.width, &skin, kButtonText, kButtonFill, kOutline,
               screen::kButtonFontHeight, screen::kButtonFontWidth, 1);
}

// Styled as the screen styles its two grids.
void styleAsOnScreen(scobGrid& grid) {
  grid.style(kGridLines, kGridLines, kGridCursor, 1, 3, kTileImage, -1, -1, -1, 1, 0);
}

}  // namespace

TEST(WidgetRender, ButtonsInEveryLook) {
  skinInstance skin;
  SoftCanvas canvas = groundCanvas(200, 150);

  // Easy up and held down, then both switches off and on.
  scobButton easy[2];
  for (int i = 0; i < 2; ++i) {
    setupAsOnScreen(easy[i], 4 + 96 * i, 4, screen::kEasy, skin);
    easy[i].setText("Easy", 1);
    easy[i].setImage(kLargeButtonImage, 0);
  }
  easy[1].mouseButton(110, 10, scob::kPress, 0);
  scobStateButton switches[4];
  for (int i = 0; i < 4; ++i) {
    const bool pin = i >= 2;
    setupAsOnScreen(switches[i], 4 + 26 * i, 44, pin ? screen::kKeepOnTop : screen::kTransparency,
                    skin);
    switches[i].setImage(pin ? kKeepOnTopImage : kTransparencyImage, 0);
    switches[i].setState(1 + i % 2);
  }
  // A label: no bitmap, the "no colour" fill, text straight on the ground.
  scobButton label;
  const screen::Box& level = screen::kLevelLabel;
  label.setup(4, 74, level.height, level.width, &skin, kButtonText, kLabelFill, kLabelFill,
              screen::kButtonFontHeight, screen::kLabelFontWidth, 1);
  label.setText("Level:  Hard  ", 1);
  // A plain button without a bitmap: light grey fill with a white outline.
  scobButton plain;
  setupAsOnScreen(plain, 4, 100, screen::kSolve, skin);
  plain.setText("Solve", 1);
  plain.setImage(kNoBitmap, 0);

  for (scob* widget : std::initializer_list<scob*>{&easy[0], &easy[1], &switches[0], &switches[1],
                                                   &switches[2], &switches[3], &label, &plain}) {
    widget->draw(canvas);
  }
  expectMatchesGolden(canvas, "widgets-buttons");
}

TEST(WidgetRender, ImagesAndBothGridsInBothSkins) {
  for (int skinIndex : {0, 1}) {
    SCOPED_TRACE(skinIndex);
    skinInstance skin;
    skin.setCurrentSkin(skinIndex, 0);
    SoftCanvas canvas = groundCanvas(700, 340);
    scobImage background;
    background.setup(0, 0, 340, 700, &skin, kOutline, 1);
    background.setImage(kSidePanelImage, 0);
    scobImage outlined;
    outlined.setup(640, 10, 40, 50, &skin, kOutline, 1);
    outlined.setImage(kNoBitmap, 0);
    Deradu board;
    board.layout(10, 10, screen::kBoard.width, screen::kBoard.height, screen::kGridCells,
                 screen::kGridCells, &skin);
    styleAsOnScreen(board);
    board.newGame(Deradu::kHard, 12345);
    Solution reference;
    reference.layout(330, 10, screen::kReference.width, screen::kReference.height,
                     screen::kGridCells, screen::kGridCells, &skin);
    styleAsOnScreen(reference);
    for (scob* widget : std::initializer_list<scob*>{&background, &outlined, &board, &reference}) {
      widget->draw(canvas);
    }
    expectMatchesGolden(canvas, skinIndex == 0 ? "widgets-grids-numbered" : "widgets-grids-picture");
  }
}

// A label without bitmap or fill draws only its text, so in a scene of its own the text is the
// first thing the fresh off-screen frame receives; it must outlive the frame's blackening.
TEST(WidgetRender, TextDrawnFirstIntoAFreshFrameSurvives) {
  skinInstance skin;
  const screen::Box& box = screen::kLevelLabel;
  SoftCanvas canvas = groundCanvas(box.width, box.height);
  scobButton label;
  label.setup(0, 0, box.height, box.width, &skin, kBannerText, kLabelFill, kLabelFill,
              screen::kButtonFontHeight, screen::kLabelFontWidth, 1);
  label.setText("Level:  Hard  ", 1);
  label.setImage(kNoImage, 0);
  scobScene scene;
  scene.add(&label, screen::kLevelLabelId, 0);
  paintOffscreen(canvas, scene, box.width, box.height);

  const std::uint32_t ink = SoftCanvas::toRgb(skin.colour(kBannerText, 1));
  int inked = 0;
  int black = 0;
  for (const std::uint32_t pixel : canvas.pixels()) {
    inked += pixel == ink ? 1 : 0;
    black += pixel == 0 ? 1 : 0;
  }
  EXPECT_GT(inked, 50);
  // The frame around the letters was blackened, not left as the ground.
  EXPECT_GT(black, box.width * box.height / 2);
}
