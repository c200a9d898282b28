// Widgets drawn into the software canvas with the built-in skins and artwork, against goldens.
#include <gtest/gtest.h>

#include "platform/resources/ResourceStore.h"
#include "puzzle/Deradu.h"
#include "puzzle/Solution.h"
#include "skin/skinInstance.h"
#include "support/GoldenImage.h"
#include "tests/app/HeadlessProgram.h"
#include "widgets/scobButton.h"
#include "widgets/scobImage.h"
#include "widgets/scobStateButton.h"

namespace {

// A small canvas on a mid-grey ground, so that anything drawn (or not drawn) shows.
SoftCanvas groundCanvas(int width, int height) {
  SoftCanvas canvas(width, height, &ResourceStore::builtIn(), &sharedText());
  canvas.fill(0x808080);
  return canvas;
}

}  // namespace

TEST(WidgetRender, ButtonsInEveryLook) {
  skinInstance skin;
  SoftCanvas canvas = groundCanvas(200, 150);

  scobButton up;
  up.setup(4, 4, 31, 81, &skin, 7, 8, 2, 15, 6, 1);
  up.setText("Easy", 1);
  up.setImage(26, 0);
  scobButton pressed;
  pressed.setup(100, 4, 31, 81, &skin, 7, 8, 2, 15, 6, 1);
  pressed.setText("Easy", 1);
  pressed.setImage(26, 0);
  pressed.mouseButton(110, 10, scob::kPress, 0);
  scobStateButton off;
  off.setup(4, 44, 20, 20, &skin, 7, 8, 2, 15, 6, 1);
  off.setImage(29, 0);
  scobStateButton on;
  on.setup(30, 44, 20, 20, &skin, 7, 8, 2, 15, 6, 1);
  on.setImage(29, 0);
  on.setState(2);
  scobStateButton pinOff;
  pinOff.setup(56, 44, 20, 20, &skin, 7, 8, 2, 15, 6, 1);
  pinOff.setImage(23, 0);
  scobStateButton pinOn;
  pinOn.setup(82, 44, 20, 20, &skin, 7, 8, 2, 15, 6, 1);
  pinOn.setImage(23, 0);
  pinOn.setState(2);
  // A label: no bitmap, the "no colour" fill, text straight on the ground.
  scobButton label;
  label.setup(4, 74, 20, 100, &skin, 7, 18, 18, 15, 7, 1);
  label.setText("Level:  Hard  ", 1);
  // A plain button without a bitmap: light grey fill with a white outline.
  scobButton plain;
  plain.setup(4, 100, 31, 81, &skin, 7, 8, 2, 15, 6, 1);
  plain.setText("Solve", 1);
  plain.setImage(-1, 0);

  for (scob* widget : std::initializer_list<scob*>{&up, &pressed, &off, &on, &pinOff, &pinOn,
                                                   &label, &plain}) {
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
    background.setup(0, 0, 340, 700, &skin, 2, 1);
    background.setImage(8, 0);
    scobImage outlined;
    outlined.setup(640, 10, 40, 50, &skin, 2, 1);
    outlined.setImage(-1, 0);
    Deradu board;
    board.layout(10, 10, 312, 312, 4, 4, &skin);
    board.style(5, 5, 6, 1, 3, 12, -1, -1, -1, 1, 0);
    board.newGame(Deradu::kHard, 12345);
    Solution reference;
    reference.layout(330, 10, 312, 312, 4, 4, &skin);
    reference.style(5, 5, 6, 1, 3, 12, -1, -1, -1, 1, 0);
    for (scob* widget : std::initializer_list<scob*>{&background, &outlined, &board, &reference}) {
      widget->draw(canvas);
    }
    expectMatchesGolden(canvas, skinIndex == 0 ? "widgets-grids-numbered" : "widgets-grids-picture");
  }
}
