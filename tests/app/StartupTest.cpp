// Start-up and shut-down: settings in and out, window placement, flags and the first frame.
#include <gtest/gtest.h>

#include "app/ScreenTable.h"
#include "platform/hostConstants.h"
#include "tests/app/HeadlessProgram.h"

// Only the skin, the flags and the position follow the file; every start opens the same window
// on the same first frame and deals Medium whatever the saved level.
TEST(Startup, SavedValuesAreAppliedAndEverythingElseStartsTheSame) {
  struct Case {
    const char* file;  // none: no file
    int skin;
    bool topmost;
    std::uint8_t opacity;
    Point position;
  };
  const Case cases[] = {
      {nullptr, 0, false, 255, {0, 0}},
      {"1\n1\n0\n120\n300\n3\n", 1, true, 255, {300, 120}},
      {"0\n0\n1\n10\n20\n1\n", 0, false, 190, {20, 10}},
      {"2\n0\n0\n0\n0\n2\n", 0, false, 255, {0, 0}},         // skin count itself
      {"-1\n0\n0\n0\n0\n2\n", 0, false, 255, {0, 0}},        // negative skin
      {"1\n7\n-3\n769\n1025\n2\n", 1, true, 190, {2, 2}},    // beyond the 1024 x 768 screen
      {"0\n0\n0\n-5\n20\n2\n", 0, false, 255, {20, 2}},      // negative top
      {"0\n0\n0\n10\n-5\n2\n", 0, false, 255, {2, 10}},      // negative left
      {"0\n0\n0\n768\n1024\n2\n", 0, false, 255, {1024, 768}},  // the screen's own size
      {"0\n0\n0\n768\n1025\n2\n", 0, false, 255, {2, 768}},  // one past its width
      {"0\n0\n0\n769\n1024\n2\n", 0, false, 255, {1024, 2}},  // one past its height
      {"1\r\n0\r\n1\r\n30\r\n40\r\n3\r\n", 1, false, 190, {40, 30}},  // written on Windows
      {"1\n1\n0\n", 1, true, 255, {0, 0}},                   // three lines only
      {"", 0, false, 255, {0, 0}},
      {"1\n0\n0\n4294967256\n4294967286\n2\n", 1, false, 255, {2, 2}},  // negative at exit
      {"garbage\n\x01\x02\n\n-\n+\n", 0, false, 255, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file ? c.file : "no file");
    HeadlessProgram program(c.file);
    program.start();
    HeadlessHost& host = program.host();
    const Application::State& s = program.state();
    EXPECT_EQ(s.skin.getCurrentSkin(0), c.skin);
    EXPECT_EQ(host.topmost(), c.topmost);
    EXPECT_EQ(host.opacity(), c.opacity);
    EXPECT_EQ(host.createdAt(), c.position);
    EXPECT_EQ(s.keepOnTop.getState(), c.topmost ? 2 : 1);
    EXPECT_EQ(s.transparency.getState(), c.opacity == 190 ? 2 : 1);
    EXPECT_TRUE(host.shown());
    EXPECT_EQ(host.outerSize(), (Size{477, 426}));
    EXPECT_EQ(s.screen.clientSize(), (Size{471, 401}));
    EXPECT_EQ(host.timerId(), 111);
    EXPECT_EQ(host.timerMilliseconds(), 1);
    EXPECT_EQ(s.scene.count(), screen::kSceneEntries);
    EXPECT_EQ(s.board.getLevel(), 2);
    EXPECT_EQ(s.board.getState(), Deradu::kPlaying);
    EXPECT_EQ(s.levelLabel.getText(1), "Level:  Medium");
    EXPECT_EQ(s.movesLabel.getText(1), "Moves : 0");
    EXPECT_FALSE(s.sidePanel.isVisible());
    EXPECT_FALSE(s.reference.isVisible());
    EXPECT_FALSE(s.banner.isVisible());
    EXPECT_EQ(s.showHide.getState(), 1);
    EXPECT_EQ(host.paintCount(), 1);
    EXPECT_EQ(host.frame().width(), 471);
  }
}

TEST(Shutdown, StoresTheLiveValuesAndWritesSixLines) {
  // Lines past the sixth are neither read nor written: lines 6-9 keep their spaces all run. A
  // host that cannot place its window (Wayland) leaves the position lines as they were read.
  struct Case {
    bool placesWindow;
    const char* expected;
  };
  const Case cases[] = {{true, "1\n0\n0\n30\n40\n3\n"}, {false, "1\n0\n0\n-5\n0006\n3\n"}};
  for (const Case& c : cases) {
    HeadlessProgram program("0\n0\n0\n-5\n0006\n2\n7\n8\n9\n10\n");
    program.host().setPlacesWindow(c.placesWindow);
    program.start();
    program.host().key('K');
    program.clickBox(screen::kHard);
    program.host().moveWindow({40, 30});
    program.close();
    EXPECT_TRUE(program.host().quitPosted());
    EXPECT_EQ(program.readSettings(), c.expected) << "places its window: " << c.placesWindow;
    for (int i = Settings::kFileLineCount; i < Settings::kLineCount; ++i) {
      EXPECT_EQ(program.state().settings.line(i), std::string(64, ' ')) << "line " << i;
    }
  }
}

TEST(Shutdown, AnEndingSessionWritesTheSettingsWithoutDestroyingTheWindow) {
  struct Case {
    std::uintptr_t ending;
    std::intptr_t answer;
    const char* expected;
  };
  // A session that goes on leaves the file alone.
  const Case cases[] = {{1, 0, "1\n0\n0\n30\n40\n2\n"},
                        {0, msg::kDefault, "0\n0\n0\n5\n6\n2\n"}};
  for (const Case& c : cases) {
    HeadlessProgram program("0\n0\n0\n5\n6\n2\n");
    program.start();
    program.host().key('K');
    program.host().moveWindow({40, 30});
    EXPECT_EQ(program.host().send(msg::kEndSession, c.ending), c.answer) << "ending " << c.ending;
    EXPECT_EQ(program.readSettings(), c.expected) << "ending " << c.ending;
    EXPECT_FALSE(program.host().quitPosted());
  }
}

// Another program may post WM_QUIT: the loop ends with the window never destroyed, so the live
// values were never stored and the lines still hold what was read.
TEST(Shutdown, AQuitWithoutDestroyWritesBackSixWellFormedLines) {
  struct Case {
    const char* name;
    const char* before;  // none: no file
    std::string after;
  };
  const Case cases[] = {
      {"a file the Linux program wrote", "1\n1\n0\n120\n300\n3\n", "1\n1\n0\n120\n300\n3\n"},
      {"a file the Windows program wrote", "1\r\n1\r\n0\r\n120\r\n300\r\n3\r\n",
       "1\r\n1\r\n0\r\n120\r\n300\r\n3\r\n"},
      {"no file", nullptr, "0\n0\n0\n0\n0\n0\n"},
      {"three lines", "1\n1\n0\n", "1\n1\n0\n0\n0\n0\n"},
  };
  for (const Case& c : cases) {
    HeadlessProgram program(c.before);
    program.start();
    program.host().moveWindow({40, 30});
    program.app().finish();
    EXPECT_EQ(program.readSettings(), c.after) << c.name;
  }
}

TEST(Shutdown, NegativePositionRoundTripsToTheFallback) {
  HeadlessProgram first;
  first.start();
  first.clickBox(screen::kTransparency);
  first.host().moveWindow({-40, -1});
  first.close();
  const std::string saved = first.readSettings();
  EXPECT_EQ(saved, "0\n0\n1\n4294967295\n4294967256\n2\n");

  HeadlessProgram second(saved.c_str());
  second.start();
  EXPECT_EQ(second.host().createdAt(), (Point{2, 2}));
  EXPECT_EQ(second.host().opacity(), 190);
}

TEST(Shutdown, MissingFoldersAreCreatedSoSettingsAreKept) {
  HeadlessProgram program;
  ASSERT_FALSE(std::filesystem::exists(program.settingsPath().parent_path()));
  program.start();
  program.close();
  EXPECT_EQ(program.readSettings(), "0\n0\n0\n0\n0\n2\n");
}

TEST(WindowProcedure, SwallowsRightClicksAndCommandsAndDefersTheRest) {
  HeadlessProgram program;
  program.start();
  const int paints = program.host().paintCount();
  EXPECT_EQ(program.host().send(msg::kRightButtonDown, 0, msg::pointParam(100, 100)), 1);
  EXPECT_EQ(program.host().send(msg::kCommand, 5003, 0), 1);
  EXPECT_EQ(program.host().send(msg::kClose), msg::kDefault);
  EXPECT_EQ(program.host().send(0x0401), msg::kDefault);
  program.host().ticks(3);
  EXPECT_EQ(program.host().paintCount(), paints);
  EXPECT_EQ(program.state().board.getLevel(), 2);
  // Before start-up there is no window: every message gets the default.
  Application fresh;
  EXPECT_EQ(fresh.windowProc(msg::kTimer, 111, 0), msg::kDefault);
}

namespace {

// A host whose window cannot be made.
class NoWindowHost final : public Host {
 public:
  bool loopRan = false;
  Size fullScreenSize() override { return {800, 600}; }
  bool createWindow(const char*, Point) override { return false; }
  void setTimer(int, int) override {}
  void resizeWindow(Size) override {}
  Size clientSize() override { return {}; }
  Point windowPosition() override { return {}; }
  void setTopmost(bool) override {}
  void setOpacity(std::uint8_t) override {}
  void showWindow() override {}
  bool isLeftButtonDown() override { return false; }
  void openUrl(const std::string&) override {}
  Canvas& beginPaint() override { std::abort(); }
  void endPaint() override {}
  Canvas& getDC() override { std::abort(); }
  void releaseDC() override {}
  void postQuit(int) override {}
  int runMessageLoop() override {
    loopRan = true;
    return 0;
  }
  std::int64_t currentTime() override { return 0; }
};

}  // namespace

TEST(Startup, WithoutAWindowTheSettingsFileIsLeftAlone) {
  HeadlessProgram files("1\n1\n1\n5\n6\n3\n");
  NoWindowHost host;
  Application app(files.settingsPath());
  EXPECT_EQ(app.run(host), host::kFatalExitCode);
  EXPECT_FALSE(host.loopRan);
  EXPECT_EQ(files.readSettings(), "1\n1\n1\n5\n6\n3\n");
}
