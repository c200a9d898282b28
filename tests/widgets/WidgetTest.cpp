// Screen objects, the scene, buttons, image and bar widgets: state changes and draw calls.
#include <gtest/gtest.h>

#include "skin/skinClasses.h"
#include "skin/skinInstance.h"
#include "tests/support/RecordingCanvas.h"
#include "widgets/scob.h"
#include "widgets/scobButton.h"
#include "widgets/scobImage.h"
#include "widgets/scobLine.h"
#include "widgets/scobScene.h"
#include "widgets/scobStateButton.h"

namespace {

using namespace skinClass;

// A screen object that counts its hooks.
class ProbeObject final : public scob {
 public:
  ProbeObject(int left, int top, int w, int h) {
    setGeometry(left, top, w, h);
    setVisible(true);
    setMouseActive(true);
  }
  int enters = 0, leaves = 0, presses = 0, releases = 0, otherPresses = 0, otherReleases = 0;
  void onEnter() override { ++enters; }
  void onLeave() override { ++leaves; }
  bool onLeftRelease() override {
    ++releases;
    return true;
  }
  void onLeftPress() override { ++presses; }
  void onOtherPress() override { ++otherPresses; }
  void onOtherRelease() override { ++otherReleases; }
};

}  // namespace

TEST(ScreenObject, HitTestIncludesBothEdges) {
  ProbeObject object(10, 20, 30, 40);
  struct Case {
    int x, y;
    bool inside;
  };
  const Case cases[] = {{10, 20, true},  {40, 60, true},  {41, 60, false}, {40, 61, false},
                        {9, 20, false},  {10, 19, false}, {25, 40, true},  {-10, -20, false}};
  for (const Case& c : cases) {
    object.setDirty(false);
    EXPECT_EQ(object.mouseButton(c.x, c.y, scob::kPress, 0), c.inside) << c.x << "," << c.y;
    // Only a hit marks it dirty.
    EXPECT_EQ(object.isDirty(), c.inside);
  }
}

TEST(ScreenObject, HooksFollowEventTypeAndButton) {
  ProbeObject object(0, 0, 10, 10);
  EXPECT_TRUE(object.mouseButton(5, 5, scob::kPress, 0));
  EXPECT_TRUE(object.mouseButton(5, 5, scob::kPress, 1));
  EXPECT_TRUE(object.mouseButton(5, 5, scob::kRelease, 0));
  EXPECT_TRUE(object.mouseButton(5, 5, scob::kRelease, 3));
  EXPECT_TRUE(object.mouseButton(5, 5, 7, 0));
  EXPECT_EQ(object.presses, 1);
  EXPECT_EQ(object.otherPresses, 1);
  EXPECT_EQ(object.releases, 1);
  EXPECT_EQ(object.otherReleases, 1);
  // A release outside calls nothing and leaves dirty alone.
  object.setDirty(false);
  EXPECT_FALSE(object.mouseButton(50, 5, scob::kRelease, 0));
  EXPECT_EQ(object.releases, 1);
  EXPECT_FALSE(object.isDirty());
}

TEST(ScreenObject, EveryMoveCallsEnterOrLeave) {
  ProbeObject object(0, 0, 10, 10);
  EXPECT_FALSE(object.mouseMove(20, 20));
  EXPECT_FALSE(object.mouseMove(30, 30));
  EXPECT_TRUE(object.mouseMove(5, 5));
  EXPECT_EQ(object.leaves, 2);
  EXPECT_EQ(object.enters, 1);
}

TEST(ScreenObject, SetVisibleMarksDirtyOnlyOnChange) {
  scob object;
  EXPECT_TRUE(object.isDirty());
  EXPECT_FALSE(object.isVisible());
  object.setDirty(false);
  object.setVisible(false);
  EXPECT_FALSE(object.isDirty());
  object.setVisible(true);
  EXPECT_TRUE(object.isDirty());
  EXPECT_EQ(object.getState(), 0);
  EXPECT_FALSE(object.isMouseActive());
}

TEST(ScreenObject, DrawsItsBitmapForTheCurrentStateThenItsContent) {
  skinInstance skin;
  scob object;
  object.setSkin(&skin);
  object.setGeometry(3, 4, 81, 31);
  RecordingCanvas none;
  object.draw(none);
  EXPECT_TRUE(none.calls.empty());
  object.setImage(kLargeButtonImage, 0);
  object.setState(2);
  RecordingCanvas canvas;
  object.draw(canvas);
  ASSERT_EQ(canvas.calls.size(), 1u);
  EXPECT_EQ(canvas.calls[0], "blit 620 3,4 81x31");
}

TEST(Scene, KeepsOrderAndRefusesAHundredAndFirstEntry) {
  scobScene scene;
  std::vector<std::unique_ptr<scob>> objects;
  for (int i = 0; i < scobScene::kCapacity; ++i) {
    objects.push_back(std::make_unique<scob>());
    EXPECT_TRUE(scene.add(objects.back().get(), 1000 + i, i));
  }
  scob extra;
  EXPECT_FALSE(scene.add(&extra, 1, 1));
  EXPECT_EQ(scene.count(), scobScene::kCapacity);
  EXPECT_EQ(scene.objectAt(99), objects[99].get());
  EXPECT_EQ(scene.commandAt(42), 1042);
  EXPECT_EQ(scene.extraAt(7), 7);
  EXPECT_EQ(scene.objectAt(100), nullptr);
  EXPECT_EQ(scene.objectAt(-1), nullptr);
  EXPECT_EQ(scene.commandAt(100), 0);
}

TEST(Scene, PaintDrawsVisibleEntriesInOrderAndClearsEveryDirtyFlag) {
  skinInstance skin;
  // Bottom to top; the middle one hidden.
  scob layers[3];
  const int images[] = {kBackgroundImage, kBannerImage, kSidePanelImage};
  scobScene scene;
  for (int i = 0; i < 3; ++i) {
    layers[i].setSkin(&skin);
    layers[i].setGeometry(0, 0, 10, 10);
    layers[i].setImage(images[i], 0);
    layers[i].setVisible(i != 1);
    scene.add(&layers[i], i + 1, 0);
  }
  RecordingCanvas canvas;
  paintOffscreen(canvas, scene, 471, 401);
  const std::vector<std::string> expected{"offscreen 471x401", "blit 101 0,0 10x10",
                                          "blit 607 0,0 10x10", "copy"};
  EXPECT_EQ(canvas.calls, expected);
  for (const scob& layer : layers) EXPECT_FALSE(layer.isDirty());
}

TEST(Button, ClickNeedsPressAndReleaseOverIt) {
  scobButton button;
  button.setup(0, 0, 31, 81, nullptr, kButtonText, kButtonFill, kOutline, 15, 6, 1);
  EXPECT_EQ(button.getState(), 1);
  // A release without a press is no click, but marks it dirty and leaves state 1.
  button.setDirty(false);
  EXPECT_FALSE(button.mouseButton(5, 5, scob::kRelease, 0));
  EXPECT_TRUE(button.isDirty());
  EXPECT_EQ(button.getState(), 1);

  button.mouseButton(5, 5, scob::kPress, 0);
  EXPECT_EQ(button.getState(), 2);
  EXPECT_TRUE(button.mouseButton(5, 5, scob::kRelease, 0));
  EXPECT_EQ(button.getState(), 1);

  // Leaving cancels the press; coming back does not restore it.
  button.mouseButton(5, 5, scob::kPress, 0);
  button.mouseMove(200, 5);
  EXPECT_EQ(button.getState(), 1);
  button.mouseMove(5, 5);
  EXPECT_FALSE(button.mouseButton(5, 5, scob::kRelease, 0));
}

TEST(Button, PressedTextKeepsTheFirstText) {
  scobButton button;
  button.setDirty(false);
  button.setText("Moves : 0", 1);
  EXPECT_TRUE(button.isDirty());
  EXPECT_EQ(button.getText(2), "Moves : 0");
  button.setText("Moves : 1", 1);
  EXPECT_EQ(button.getText(1), "Moves : 1");
  EXPECT_EQ(button.getText(2), "Moves : 0");
  // The same text again leaves dirty alone but still refills an emptied pressed text.
  button.setDirty(false);
  button.setText("", 2);
  EXPECT_EQ(button.getText(2), "Moves : 1");
  button.setDirty(false);
  button.setText("Moves : 1", 1);
  EXPECT_FALSE(button.isDirty());
  // Indexes outside the three slots are ignored.
  button.setText("x", 3);
  button.setText("x", -1);
  EXPECT_FALSE(button.isDirty());
  EXPECT_EQ(button.getText(3), "");
}

TEST(Button, DrawsRectangleOnlyWithoutBitmapAndWithAFill) {
  skinInstance skin;
  struct Case {
    int imageClass;
    int fillClass;
    bool rectangle;
  };
  // The button fill is light grey, the label fill "no colour".
  const Case cases[] = {
      {kNoBitmap, kButtonFill, true},          {kNoImage, kButtonFill, true},
      {0, kButtonFill, true},                  {kNoBitmap, kLabelFill, false},
      {1, kButtonFill, false},                 {kLargeButtonImage, kButtonFill, false},
      {kLargeButtonImage, kLabelFill, false}};
  for (const Case& c : cases) {
    scobButton button;
    button.setup(10, 20, 31, 81, &skin, kButtonText, c.fillClass, kOutline, 15, 6, 1);
    button.setText("Easy", 1);
    button.setImage(c.imageClass, 0);
    RecordingCanvas canvas;
    button.drawContent(canvas);
    const bool drewRectangle = !canvas.calls.empty() && canvas.calls[0].starts_with("rect");
    EXPECT_EQ(drewRectangle, c.rectangle) << c.imageClass << "/" << c.fillClass;
    if (c.rectangle) {
      EXPECT_EQ(canvas.calls[0], "rect 10,20-91,51 pen 16777215/0 brush 15790320");
    }
    EXPECT_EQ(canvas.calls.back(), "text 10,20-91,51 'Easy' 15/6/700 colour 0");
  }
}

TEST(Button, TextFollowsStateWeightAndPressedShift) {
  skinInstance skin;
  scobButton button;
  button.setup(0, 0, 20, 100, &skin, kButtonText, kLabelFill, kLabelFill, 15, 7, 2);
  button.setText("normal", 1);
  button.setText("pressed", 2);
  button.setText("zero", 0);
  struct Case {
    int state;
    std::string call;
  };
  const Case cases[] = {{1, "text 0,0-100,20 'normal' 15/7/400 colour 0"},
                        {2, "text 1,1-100,20 'pressed' 15/7/400 colour 0"},
                        {0, "text 0,0-100,20 'zero' 15/7/400 colour 0"},
                        {7, "text 0,0-100,20 'normal' 15/7/400 colour 0"},
                        {-3, "text 0,0-100,20 'normal' 15/7/400 colour 0"}};
  for (const Case& c : cases) {
    button.setState(c.state);
    RecordingCanvas canvas;
    button.drawContent(canvas);
    ASSERT_EQ(canvas.calls.size(), 1u) << c.state;
    EXPECT_EQ(canvas.calls[0], c.call);
  }
  // Empty texts fall back to text 1, and an empty text 1 draws nothing at all.
  scobButton empty;
  empty.setup(0, 0, 20, 100, &skin, kButtonText, kLabelFill, kLabelFill, 15, 7, 1);
  RecordingCanvas canvas;
  empty.drawContent(canvas);
  EXPECT_TRUE(canvas.calls.empty());
  // A hidden button draws nothing.
  button.setVisible(false);
  button.drawContent(canvas);
  EXPECT_TRUE(canvas.calls.empty());
}

TEST(StateButton, ReleaseOverItAfterAnyPressToggles) {
  scobStateButton toggle;
  toggle.setup(0, 0, 20, 20, nullptr, kButtonText, kButtonFill, kOutline, 15, 6, 1);
  // A release with nothing pending is no click and changes nothing.
  EXPECT_FALSE(toggle.mouseButton(5, 5, scob::kRelease, 0));
  EXPECT_EQ(toggle.getState(), 1);
  // Press, leave, come back: still pending, and nothing visible changed.
  toggle.mouseButton(5, 5, scob::kPress, 0);
  EXPECT_EQ(toggle.getState(), 1);
  toggle.mouseMove(100, 100);
  EXPECT_TRUE(toggle.isPending());
  // A release elsewhere does not reach it; the next release over it is the click.
  EXPECT_FALSE(toggle.mouseButton(100, 100, scob::kRelease, 0));
  EXPECT_TRUE(toggle.mouseButton(5, 5, scob::kRelease, 0));
  EXPECT_EQ(toggle.getState(), 2);
  toggle.mouseButton(5, 5, scob::kPress, 0);
  EXPECT_TRUE(toggle.mouseButton(5, 5, scob::kRelease, 0));
  EXPECT_EQ(toggle.getState(), 1);
  // A state put out of range by hand returns to the first setting on the next click.
  toggle.setState(INT_MAX);
  toggle.mouseButton(5, 5, scob::kPress, 0);
  toggle.mouseButton(5, 5, scob::kRelease, 0);
  EXPECT_EQ(toggle.getState(), 1);
}

TEST(ImageWidget, RectangleOnlyForImageClassMinusOne) {
  skinInstance skin;
  struct Case {
    int imageClass;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {kNoBitmap, {"rect 5,6-25,36 pen 16777215/0 brush 255"}},
      {kNoImage, {}},
      {kBackgroundImage, {"blit 101 5,6 20x30"}},
  };
  for (const Case& c : cases) {
    scobImage image;
    image.setup(5, 6, 30, 20, &skin, kOutline, 1);
    image.setImage(c.imageClass, 0);
    RecordingCanvas canvas;
    image.draw(canvas);
    EXPECT_EQ(canvas.calls, c.calls) << c.imageClass;
    EXPECT_FALSE(image.isDirty());
  }
}

TEST(ImageWidget, SetupKeepsVisibilityAndNeverReacts) {
  scobImage image;
  image.setVisible(false);
  image.setup(0, 0, 10, 10, nullptr, 2, 2);
  EXPECT_FALSE(image.isVisible());
  EXPECT_FALSE(image.isMouseActive());
  EXPECT_EQ(image.getState(), 1);
}

TEST(BarWidget, OneColourRectangleWithoutBitmapOrContent) {
  skinInstance skin;
  scobLine bar;
  bar.setSkin(&skin);
  bar.setGeometry(1, 2, 3, 4);
  bar.setImage(kBackgroundImage, 0);
  bar.setLineClass(kButtonFill);
  RecordingCanvas canvas;
  bar.draw(canvas);
  const std::vector<std::string> expected{"rect 1,2-4,6 pen 15790320/0 brush 15790320"};
  EXPECT_EQ(canvas.calls, expected);
  EXPECT_FALSE(bar.isVisible());
}
