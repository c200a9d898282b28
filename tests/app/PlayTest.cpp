// Playing the game through window messages: commands, keys, the tick and what it repaints.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
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

// A started program, as each test begins; a test over rows that each need the first frame starts
// a fresh one per row.
class Play : public ::testing::Test {
 protected:
  void SetUp() override { program.start(); }
  HeadlessProgram program;
  HeadlessHost& host = program.host();
  const Application::State& s = program.state();
};

}  // namespace

TEST_F(Play, LevelButtonsDealAtOnce) {
  ASSERT_TRUE(program.slideAnyTile());
  host.ticks(1);
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
  host.ticks(1);
  EXPECT_EQ(s.movesLabel.getText(1), "Moves : 0");
}

TEST_F(Play, SlidesCountOnlyBesideTheBlank) {
  // Solved: the blank in the last cell.
  host.key('S');
  // Not beside the blank: nothing changes.
  program.clickCell(0, 0);
  EXPECT_EQ(s.board.getMoves(), 0);
  program.clickCell(2, 3);
  EXPECT_EQ(s.board.getMoves(), 1);
  EXPECT_EQ(s.board.getCell(3, 3), 15);
}

TEST_F(Play, BannerShowsOnlyForThePlayersOwnCompletion) {
  // Solve puts the tiles in order but never shows the banner.
  program.clickBox(screen::kSolve);
  host.ticks(3);
  EXPECT_EQ(s.board.getState(), Deradu::kSolved);
  EXPECT_FALSE(s.banner.isVisible());

  program.completeByHand();
  EXPECT_FALSE(s.banner.isVisible());
  host.ticks(1);
  EXPECT_EQ(s.board.getState(), Deradu::kCompleted);
  EXPECT_TRUE(s.banner.isVisible());
  // One more slide hides it again at the next tick.
  program.clickCell(3, 2);
  host.ticks(1);
  EXPECT_EQ(s.board.getState(), Deradu::kPlaying);
  EXPECT_FALSE(s.banner.isVisible());
}

TEST_F(Play, ShowHideWidensAndNarrowsTheWindow) {
  struct Case {
    bool wide;
    int outerWidth, frameWidth;
    const char* text;
  };
  for (const Case& c : {Case{true, 870, 864, "Hide"}, Case{false, 477, 471, "Show"}}) {
    SCOPED_TRACE(c.text);
    program.clickBox(screen::kShowHide);
    EXPECT_EQ(host.outerSize(), (Size{c.outerWidth, 426}));
    EXPECT_EQ(s.reference.isVisible(), c.wide);
    EXPECT_EQ(s.sidePanel.isVisible(), c.wide);
    EXPECT_EQ(s.showHide.getState(), c.wide ? 2 : 1);
    EXPECT_EQ(s.showHide.getText(s.showHide.getState()), c.text);
    host.ticks(1);
    EXPECT_EQ(host.frame().width(), c.frameWidth);
    // Clicking the reference picture does nothing.
    const int moves = s.board.getMoves();
    program.clickBox(screen::kReference);
    EXPECT_EQ(s.board.getMoves(), moves);
  }
}

TEST_F(Play, WindowSwitchesFollowTheirButtons) {
  program.clickBox(screen::kKeepOnTop);
  EXPECT_TRUE(host.topmost());
  EXPECT_EQ(s.keepOnTop.getState(), 2);
  program.clickBox(screen::kTransparency);
  EXPECT_EQ(host.opacity(), 190);
  EXPECT_EQ(s.transparency.getState(), 2);
  program.clickBox(screen::kTransparency);
  program.clickBox(screen::kKeepOnTop);
  EXPECT_FALSE(host.topmost());
  EXPECT_EQ(host.opacity(), 255);
}

TEST_F(Play, HelpOpensTheInformationPage) {
  program.clickBox(screen::kHelp);
  ASSERT_EQ(host.openedUrls().size(), 1u);
  EXPECT_TRUE(host.openedUrls()[0].ends_with("/deradu/index.php?v=1.0u"));
}

TEST_F(Play, KeysActAfterTheBoardHasSeenThem) {
  const int paints = host.paintCount();
  // C switches the skin without asking for a repaint; K switches it and repaints.
  for (const auto& [key, skin, repaints] : {std::tuple{'C', 1, 0}, std::tuple{'K', 0, 1}}) {
    SCOPED_TRACE(key);
    host.key(key);
    host.ticks(2);
    EXPECT_EQ(s.skin.getCurrentSkin(0), skin);
    EXPECT_EQ(host.paintCount(), paints + repaints);
  }
  // Arrows move the hidden cursor: a repaint, no slide.
  const int moves = s.board.getMoves();
  host.key(vk::kRight);
  EXPECT_TRUE(s.board.isDirty());
  host.ticks(1);
  EXPECT_EQ(host.paintCount(), paints + 2);
  EXPECT_EQ(s.board.getMoves(), moves);
  // S solves, N deals a new game at the current level.
  host.key('S');
  EXPECT_EQ(s.board.getState(), Deradu::kSolved);
  program.clickBox(screen::kEasy);
  host.key('N');
  EXPECT_EQ(s.board.getLevel(), 1);
  EXPECT_EQ(s.board.getState(), Deradu::kPlaying);
  // Other keys do nothing.
  host.key('Q');
  host.key(0);
  EXPECT_EQ(s.board.getState(), Deradu::kPlaying);
}

TEST_F(Play, TickPaintsOnlyWhenSomethingChanged) {
  const int paints = host.paintCount();
  host.ticks(10);
  EXPECT_EQ(host.paintCount(), paints);
  host.send(msg::kMouseMove, 0, msg::pointParam(5, 300));
  host.ticks(1);
  EXPECT_EQ(host.paintCount(), paints);
  ASSERT_TRUE(program.slideAnyTile());
  host.ticks(3);
  EXPECT_EQ(host.paintCount(), paints + 1);
  // WM_PAINT paints on its own and leaves the redraw request alone.
  host.key('K');
  ASSERT_EQ(s.controller.redrawRequest(), 1);
  host.send(msg::kPaint);
  EXPECT_EQ(host.paintCount(), paints + 2);
  EXPECT_EQ(s.controller.redrawRequest(), 1);
  EXPECT_FALSE(host.insidePaint());
}

TEST_F(Play, MovesLabelPressShowsItsFirstTextAndDoesNothing) {
  host.key('S');
  program.clickCell(3, 2);
  host.ticks(1);
  ASSERT_EQ(s.movesLabel.getText(1), "Moves : 1");
  const Point at = centre(screen::kMovesLabel);
  host.send(msg::kLeftButtonDown, 0, msg::pointParam(at.x, at.y));
  EXPECT_EQ(s.movesLabel.getState(), 2);
  EXPECT_EQ(s.movesLabel.getText(2), "Moves : 0");
  host.send(msg::kLeftButtonUp, 0, msg::pointParam(at.x, at.y));
  EXPECT_EQ(s.movesLabel.getState(), 1);
  EXPECT_EQ(s.board.getMoves(), 1);
  // The hidden banner's area reacts, but its command does nothing.
  host.click(400, 340);
  EXPECT_EQ(s.board.getLevel(), 2);
  EXPECT_FALSE(s.banner.isVisible());
}

TEST_F(Play, SharedEdgesPressAndClickBothButtons) {
  struct Case {
    std::vector<Point> points;
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
      {{{400, 75}, {400, 76}}, 2, 0, false, false, false, false, false},
      {{{400, 105}, {400, 106}}, 3, 0, false, false, false, false, false},
      {{{400, 175}, {400, 176}}, 2, 1, true, false, false, false, false},
      {{{400, 205}, {400, 206}}, 2, 1, false, true, false, false, false},
      {{{431, 10}}, 2, 0, false, false, true, true, false},
      {{{451, 10}}, 2, 0, false, false, false, true, true},
  };
  for (const Case& c : cases) {
    for (const Point at : c.points) {
      SCOPED_TRACE(std::to_string(at.x) + "," + std::to_string(at.y));
      HeadlessProgram fresh;
      fresh.start();
      fresh.host().click(at.x, at.y);
      const Application::State& state = fresh.state();
      EXPECT_EQ(state.board.getLevel(), c.level);
      EXPECT_EQ(state.skin.getCurrentSkin(0), c.skin);
      EXPECT_EQ(state.board.getState() == Deradu::kSolved, c.solved);
      EXPECT_EQ(state.screen.sidePanelShown(), c.wide);
      EXPECT_EQ(fresh.host().openedUrls().size(), c.helpOpened ? 1u : 0u);
      EXPECT_EQ(fresh.host().opacity(), c.transparent ? 190 : 255);
      EXPECT_EQ(fresh.host().topmost(), c.topmost);
    }
  }
}

// Every button's release marks it dirty, so the next tick repaints once whatever it did; only
// the commands that change more than the button ask for the repaint themselves.
TEST_F(Play, EachButtonRepaintsOnceAndAsksForItOnlyWhenItChangesMore) {
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
    HeadlessProgram fresh;
    fresh.start();
    const int paints = fresh.host().paintCount();
    fresh.clickBox(c.box);
    EXPECT_EQ(fresh.state().controller.redrawRequest(), c.redrawRequest);
    EXPECT_EQ(fresh.host().paintCount(), paints);
    fresh.host().ticks(2);
    EXPECT_EQ(fresh.host().paintCount(), paints + 1);
    EXPECT_EQ(fresh.state().controller.redrawRequest(), 0);
  }
}

TEST_F(Play, PressedButtonThePointerLeavesIsDrawnUnpressedAtTheNextTick) {
  for (const screen::Box& box : {screen::kEasy, screen::kSolve, screen::kHelp}) {
    SCOPED_TRACE(std::to_string(box.x) + "," + std::to_string(box.y));
    HeadlessProgram fresh;
    fresh.start();
    const SoftCanvas& frame = fresh.host().frame();
    const std::vector<std::uint32_t> unpressed = pixelsIn(frame, box);
    const Point at = centre(box);
    fresh.host().send(msg::kLeftButtonDown, 0, msg::pointParam(at.x, at.y));
    fresh.host().ticks(1);
    ASSERT_NE(pixelsIn(frame, box), unpressed) << "drawn pressed";
    fresh.host().send(msg::kMouseMove, 0, msg::pointParam(200, 390));
    fresh.host().ticks(1);
    EXPECT_EQ(pixelsIn(frame, box), unpressed);
  }
}

TEST_F(Play, PressOnAButtonAndReleaseOutsideDispatchesNothing) {
  const Point hard = centre(screen::kHard);
  host.send(msg::kLeftButtonDown, 0, msg::pointParam(hard.x, hard.y));
  host.send(msg::kMouseMove, 0, msg::pointParam(200, 390));
  host.send(msg::kLeftButtonUp, 0, msg::pointParam(200, 390));
  EXPECT_EQ(s.board.getLevel(), 2);
  EXPECT_EQ(s.hard.getState(), 1);
  // Coordinates from beyond the 16-bit range wrap, as Windows packs them.
  host.send(msg::kLeftButtonDown, 0, msg::pointParam(hard.x + 65536, hard.y));
  host.send(msg::kLeftButtonUp, 0, msg::pointParam(hard.x + 65536, hard.y + 65536));
  EXPECT_EQ(s.board.getLevel(), 3);
}

TEST_F(Play, IdleOnlyWhenATickWouldChangeNothing) {
  Application& app = program.app();
  EXPECT_TRUE(app.isIdle());
  ASSERT_TRUE(program.slideAnyTile());
  EXPECT_FALSE(app.isIdle());
  host.ticks(1);
  EXPECT_TRUE(app.isIdle());
  // A skin change without a redraw request waits for a repaint caused by something else.
  host.key('C');
  EXPECT_TRUE(app.isIdle());
  host.key('K');
  EXPECT_FALSE(app.isIdle());
  host.ticks(1);
  // A completion the next tick would detect is pending work, even with nothing dirty.
  program.completeByHand();
  host.send(msg::kPaint);
  const PendingWork work = s.controller.pendingWork();
  EXPECT_TRUE(work.completion);
  EXPECT_TRUE(work.banner);
  EXPECT_FALSE(work.repaint);
  EXPECT_FALSE(app.isIdle());
  host.ticks(1);
  EXPECT_TRUE(s.banner.isVisible());
  EXPECT_TRUE(app.isIdle());
}
