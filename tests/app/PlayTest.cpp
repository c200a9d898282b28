// Playing the game through window messages: commands, keys, the tick and what it repaints.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/ScreenTable.h"
#include "tests/app/HeadlessProgram.h"

namespace {

// The centre of a widget's box.
Point centre(const screen::Box& box) { return {box.x + box.width / 2, box.y + box.height / 2}; }

// The last frame's pixels inside a widget's box, row by row.
std::vector<std::uint32_t> pixelsIn(const SoftCanvas& frame, const screen::Box& box) {
  std::vector<std::uint32_t> pixels;
  for (int y = box.y; y < box.y + box.height; ++y) {
    for (int x = box.x; x < box.x + box.width; ++x) pixels.push_back(frame.pixel(x, y));
  }
  return pixels;
}

}  // namespace

TEST(Play, LevelButtonsDealAtOnce) {
  HeadlessProgram program;
  program.start();
  const Application::State& s = program.state();
  ASSERT_TRUE(program.slideAnyTile());
  program.host().ticks(1);
  EXPECT_EQ(s.movesLabel.getText(1), "Moves : 1");
  struct Case {
    screen::Box button;
    int level;
    const char* label;
  };
  const Case cases[] = {{screen::kHard, 3, "Level:  Hard  "},
                        {screen::kEasy, 1, "Level:  Easy  "},
                        {screen::kMedium, 2, "Level:  Medium"}};
  for (const Case& c : cases) {
    program.clickBox(c.button);
    EXPECT_EQ(s.board.getLevel(), c.level);
    EXPECT_EQ(s.board.getMoves(), 0);
    EXPECT_EQ(s.board.getState(), Deradu::kPlaying);
    EXPECT_EQ(s.levelLabel.getText(1), c.label);
    EXPECT_GE(s.board.disorder(), c.level == 1 ? 10 : c.level == 2 ? 20 : 35);
  }
  program.host().ticks(1);
  EXPECT_EQ(s.movesLabel.getText(1), "Moves : 0");
}

TEST(Play, SlidesCountOnlyBesideTheBlank) {
  HeadlessProgram program;
  program.start();
  const Application::State& s = program.state();
  // Solved: the blank in the last cell.
  program.host().key('S');
  // Not beside the blank: nothing changes.
  program.clickCell(0, 0);
  EXPECT_EQ(s.board.getMoves(), 0);
  program.clickCell(2, 3);
  EXPECT_EQ(s.board.getMoves(), 1);
  EXPECT_EQ(s.board.getCell(3, 3), 15);
}

TEST(Play, BannerShowsOnlyForThePlayersOwnCompletion) {
  HeadlessProgram program;
  program.start();
  const Application::State& s = program.state();
  // Solve puts the tiles in order but never shows the banner.
  program.clickBox(screen::kSolve);
  program.host().ticks(3);
  EXPECT_EQ(s.board.getState(), Deradu::kSolved);
  EXPECT_FALSE(s.banner.isVisible());

  program.completeByHand();
  EXPECT_FALSE(s.banner.isVisible());
  program.host().ticks(1);
  EXPECT_EQ(s.board.getState(), Deradu::kCompleted);
  EXPECT_TRUE(s.banner.isVisible());
  // One more slide hides it again at the next tick.
  program.clickCell(3, 2);
  program.host().ticks(1);
  EXPECT_EQ(s.board.getState(), Deradu::kPlaying);
  EXPECT_FALSE(s.banner.isVisible());
}

TEST(Play, ShowHideWidensAndNarrowsTheWindow) {
  HeadlessProgram program;
  program.start();
  const Application::State& s = program.state();
  program.clickBox(screen::kShowHide);
  EXPECT_EQ(program.host().outerSize(), (Size{870, 426}));
  EXPECT_TRUE(s.reference.isVisible());
  EXPECT_TRUE(s.sidePanel.isVisible());
  EXPECT_EQ(s.showHide.getState(), 2);
  program.host().ticks(1);
  EXPECT_EQ(program.host().frame().width(), 864);
  // Clicking the reference picture does nothing.
  const int moves = s.board.getMoves();
  program.clickBox(screen::kReference);
  EXPECT_EQ(s.board.getMoves(), moves);
  program.clickBox(screen::kShowHide);
  EXPECT_EQ(program.host().outerSize(), (Size{477, 426}));
  EXPECT_FALSE(s.reference.isVisible());
  EXPECT_FALSE(s.sidePanel.isVisible());
  EXPECT_EQ(s.showHide.getState(), 1);
  EXPECT_EQ(s.showHide.getText(s.showHide.getState()), "Show");
  program.host().ticks(1);
  EXPECT_EQ(program.host().frame().width(), 471);
}

TEST(Play, WindowSwitchesFollowTheirButtons) {
  HeadlessProgram program;
  program.start();
  const Application::State& s = program.state();
  program.clickBox(screen::kKeepOnTop);
  EXPECT_TRUE(program.host().topmost());
  EXPECT_EQ(s.keepOnTop.getState(), 2);
  program.clickBox(screen::kTransparency);
  EXPECT_EQ(program.host().opacity(), 190);
  EXPECT_EQ(s.transparency.getState(), 2);
  program.clickBox(screen::kTransparency);
  program.clickBox(screen::kKeepOnTop);
  EXPECT_FALSE(program.host().topmost());
  EXPECT_EQ(program.host().opacity(), 255);
}

TEST(Play, HelpOpensTheInformationPage) {
  HeadlessProgram program;
  program.start();
  program.clickBox(screen::kHelp);
  ASSERT_EQ(program.host().openedUrls().size(), 1u);
  EXPECT_TRUE(program.host().openedUrls()[0].ends_with("/deradu/index.php?v=1.0u"));
}

TEST(Play, KeysActAfterTheBoardHasSeenThem) {
  HeadlessProgram program;
  program.start();
  const Application::State& s = program.state();
  const int paints = program.host().paintCount();
  // C switches the skin without asking for a repaint.
  program.host().key('C');
  program.host().ticks(2);
  EXPECT_EQ(s.skin.getCurrentSkin(0), 1);
  EXPECT_EQ(program.host().paintCount(), paints);
  // K switches it and repaints.
  program.host().key('K');
  program.host().ticks(2);
  EXPECT_EQ(s.skin.getCurrentSkin(0), 0);
  EXPECT_EQ(program.host().paintCount(), paints + 1);
  // Arrows move the hidden cursor: a repaint, no slide.
  const int moves = s.board.getMoves();
  program.host().key(vk::kRight);
  EXPECT_TRUE(s.board.isDirty());
  program.host().ticks(1);
  EXPECT_EQ(program.host().paintCount(), paints + 2);
  EXPECT_EQ(s.board.getMoves(), moves);
  // S solves, N deals a new game at the current level.
  program.host().key('S');
  EXPECT_EQ(s.board.getState(), Deradu::kSolved);
  program.clickBox(screen::kEasy);
  program.host().key('N');
  EXPECT_EQ(s.board.getLevel(), 1);
  EXPECT_EQ(s.board.getState(), Deradu::kPlaying);
  // Other keys do nothing.
  program.host().key('Q');
  program.host().key(0);
  EXPECT_EQ(s.board.getState(), Deradu::kPlaying);
}

TEST(Play, TickPaintsOnlyWhenSomethingChanged) {
  HeadlessProgram program;
  program.start();
  const int paints = program.host().paintCount();
  program.host().ticks(10);
  EXPECT_EQ(program.host().paintCount(), paints);
  program.host().send(msg::kMouseMove, 0, msg::pointParam(5, 300));
  program.host().ticks(1);
  EXPECT_EQ(program.host().paintCount(), paints);
  ASSERT_TRUE(program.slideAnyTile());
  program.host().ticks(3);
  EXPECT_EQ(program.host().paintCount(), paints + 1);
  // WM_PAINT paints on its own and leaves the redraw request alone.
  program.host().key('K');
  ASSERT_EQ(program.state().controller.redrawRequest(), 1);
  program.host().send(msg::kPaint);
  EXPECT_EQ(program.host().paintCount(), paints + 2);
  EXPECT_EQ(program.state().controller.redrawRequest(), 1);
  EXPECT_FALSE(program.host().insidePaint());
}

TEST(Play, MovesLabelPressShowsItsFirstTextAndDoesNothing) {
  HeadlessProgram program;
  program.start();
  const Application::State& s = program.state();
  program.host().key('S');
  program.clickCell(3, 2);
  program.host().ticks(1);
  ASSERT_EQ(s.movesLabel.getText(1), "Moves : 1");
  const Point at = centre(screen::kMovesLabel);
  program.host().send(msg::kLeftButtonDown, 0, msg::pointParam(at.x, at.y));
  EXPECT_EQ(s.movesLabel.getState(), 2);
  EXPECT_EQ(s.movesLabel.getText(2), "Moves : 0");
  program.host().send(msg::kLeftButtonUp, 0, msg::pointParam(at.x, at.y));
  EXPECT_EQ(s.movesLabel.getState(), 1);
  EXPECT_EQ(s.board.getMoves(), 1);
  // The hidden banner's area reacts, but its command does nothing.
  program.host().click(400, 340);
  EXPECT_EQ(s.board.getLevel(), 2);
  EXPECT_FALSE(s.banner.isVisible());
}

TEST(Play, SharedEdgesPressAndClickBothButtons) {
  struct Case {
    int x, y;
    // After the click.
    int level;
    int skin;
    bool solved;
    bool wide;
    bool helpOpened;
    bool transparent;
    bool topmost;
  };
  // Easy/Medium share rows 75-76, Medium/Hard 105-106, Solve/Picture 175-176 and
  // Picture/Show 205-206; in the title bar, Help/Transparency share column 431 and
  // Transparency/Keep on top column 451. A level pair deals twice, the second level last.
  const Case cases[] = {
      {400, 75, 2, 0, false, false, false, false, false},
      {400, 76, 2, 0, false, false, false, false, false},
      {400, 105, 3, 0, false, false, false, false, false},
      {400, 106, 3, 0, false, false, false, false, false},
      {400, 175, 2, 1, true, false, false, false, false},
      {400, 176, 2, 1, true, false, false, false, false},
      {400, 205, 2, 1, false, true, false, false, false},
      {400, 206, 2, 1, false, true, false, false, false},
      {431, 10, 2, 0, false, false, true, true, false},
      {451, 10, 2, 0, false, false, false, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    HeadlessProgram program;
    program.start();
    program.host().click(c.x, c.y);
    const Application::State& s = program.state();
    EXPECT_EQ(s.board.getLevel(), c.level);
    EXPECT_EQ(s.skin.getCurrentSkin(0), c.skin);
    EXPECT_EQ(s.board.getState() == Deradu::kSolved, c.solved);
    EXPECT_EQ(s.screen.sidePanelShown(), c.wide);
    EXPECT_EQ(program.host().openedUrls().size(), c.helpOpened ? 1u : 0u);
    EXPECT_EQ(program.host().opacity(), c.transparent ? 190 : 255);
    EXPECT_EQ(program.host().topmost(), c.topmost);
  }
}

// Every button's release marks it dirty, so the next tick repaints once whatever it did; only
// the commands that change more than the button ask for the repaint themselves.
TEST(Play, EachButtonRepaintsOnceAndAsksForItOnlyWhenItChangesMore) {
  struct Case {
    const char* name;
    screen::Box box;
    int redrawRequest;
  };
  const Case cases[] = {
      {"Easy", screen::kEasy, 1},
      {"Solve", screen::kSolve, 1},
      {"Picture", screen::kPicture, 0},
      {"Show", screen::kShowHide, 1},
      {"Help", screen::kHelp, 0},
      {"Transparency", screen::kTransparency, 1},
      {"Keep on top", screen::kKeepOnTop, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessProgram program;
    program.start();
    const int paints = program.host().paintCount();
    program.clickBox(c.box);
    EXPECT_EQ(program.state().controller.redrawRequest(), c.redrawRequest);
    EXPECT_EQ(program.host().paintCount(), paints);
    program.host().ticks(2);
    EXPECT_EQ(program.host().paintCount(), paints + 1);
    EXPECT_EQ(program.state().controller.redrawRequest(), 0);
  }
}

TEST(Play, PressedButtonThePointerLeavesIsDrawnUnpressedAtTheNextTick) {
  for (const screen::Box& box : {screen::kEasy, screen::kSolve, screen::kHelp}) {
    SCOPED_TRACE(std::to_string(box.x) + "," + std::to_string(box.y));
    HeadlessProgram program;
    program.start();
    const SoftCanvas& frame = program.host().frame();
    const std::vector<std::uint32_t> unpressed = pixelsIn(frame, box);
    const Point at = centre(box);
    program.host().send(msg::kLeftButtonDown, 0, msg::pointParam(at.x, at.y));
    program.host().ticks(1);
    ASSERT_NE(pixelsIn(frame, box), unpressed) << "drawn pressed";
    program.host().send(msg::kMouseMove, 0, msg::pointParam(200, 390));
    program.host().ticks(1);
    EXPECT_EQ(pixelsIn(frame, box), unpressed);
  }
}

TEST(Play, PressOnAButtonAndReleaseOutsideDispatchesNothing) {
  HeadlessProgram program;
  program.start();
  const Application::State& s = program.state();
  const Point hard = centre(screen::kHard);
  program.host().send(msg::kLeftButtonDown, 0, msg::pointParam(hard.x, hard.y));
  program.host().send(msg::kMouseMove, 0, msg::pointParam(200, 390));
  program.host().send(msg::kLeftButtonUp, 0, msg::pointParam(200, 390));
  EXPECT_EQ(s.board.getLevel(), 2);
  EXPECT_EQ(s.hard.getState(), 1);
  // Coordinates from beyond the 16-bit range wrap, as Windows packs them.
  program.host().send(msg::kLeftButtonDown, 0, msg::pointParam(hard.x + 65536, hard.y));
  program.host().send(msg::kLeftButtonUp, 0, msg::pointParam(hard.x + 65536, hard.y + 65536));
  EXPECT_EQ(s.board.getLevel(), 3);
}

TEST(Play, IdleOnlyWhenATickWouldChangeNothing) {
  HeadlessProgram program;
  program.start();
  Application& app = program.app();
  EXPECT_TRUE(app.isIdle());
  ASSERT_TRUE(program.slideAnyTile());
  EXPECT_FALSE(app.isIdle());
  program.host().ticks(1);
  EXPECT_TRUE(app.isIdle());
  // A skin change without a redraw request waits for a repaint caused by something else.
  program.host().key('C');
  EXPECT_TRUE(app.isIdle());
  program.host().key('K');
  EXPECT_FALSE(app.isIdle());
  program.host().ticks(1);
  // A completion the next tick would detect is pending work, even with nothing dirty.
  program.completeByHand();
  program.host().send(msg::kPaint);
  const PendingWork work = program.state().controller.pendingWork();
  EXPECT_TRUE(work.completion);
  EXPECT_TRUE(work.banner);
  EXPECT_FALSE(work.repaint);
  EXPECT_FALSE(app.isIdle());
  program.host().ticks(1);
  EXPECT_TRUE(program.state().banner.isVisible());
  EXPECT_TRUE(app.isIdle());
}
