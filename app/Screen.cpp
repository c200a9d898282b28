// The screen build at window creation, the two labels and the window-width switch.
#include <array>
#include <cstdio>

#include "app/Application.h"
#include "app/ApplicationState.h"
#include "app/ScreenTable.h"
#include "settings/DecimalText.h"
#include "skin/skinClasses.h"

namespace {

// Text colour, fill and pen classes and the font of every button but the banner.
void setupButton(scobButton& button, const screen::Box& box, const scobSkin* skin,
                 int fill = skinClass::kButtonFill, int pen = skinClass::kOutline,
                 int fontWidth = screen::kButtonFontWidth) {
  button.setup(box.x, box.y, box.height, box.width, skin, skinClass::kButtonText, fill, pen,
               screen::kButtonFontHeight, fontWidth, 1);
}

void styleGrid(scobGrid& grid) {
  // Black lines, no cursor, tiles drawn from their bitmaps.
  grid.style(skinClass::kGridLines, skinClass::kGridLines, skinClass::kGridCursor, 1, 3,
             skinClass::kTileImage, -1, -1, -1, 1, 0);
}

}  // namespace

void Application::screenBuild() {
  using namespace screen;
  using namespace skinClass;
  State& s = *state_;
  Host& host = *s.host;
  const scobSkin* skin = &s.skin;
  s.board.setLeftButtonQuery([&host] { return host.isLeftButtonDown(); });

  host.setTimer(kTimerId, kTimerMilliseconds);

  const int savedSkin = parseDecimal(s.settings.line(SettingsLine::kSkin));
  s.skin.setCurrentSkin(savedSkin >= s.skin.skinCount() || savedSkin < 0 ? 0 : savedSkin, 0);

  host.resizeWindow({kNarrowWidth, kNarrowHeight});
  const Size client = host.clientSize();
  s.clientWidth = client.width;
  s.clientHeight = client.height;
  s.background.setGeometry(0, 0, s.clientWidth, s.clientHeight);
  s.redrawRequest = 1;

  s.keepOnTopFlag = parseDecimal(s.settings.line(SettingsLine::kKeepOnTop)) != 0;
  s.transparencyFlag = parseDecimal(s.settings.line(SettingsLine::kTransparency)) != 0;

  s.background.setup(0, 0, s.clientHeight, s.clientWidth, skin, kOutline, 1);
  s.background.setImage(kBackgroundImage, 0);
  s.scene.add(&s.background, kBackgroundId, 0);

  s.sidePanel.setup(kSidePanel.x, kSidePanel.y, s.clientHeight, kSidePanel.width, skin, kOutline,
                    2);
  s.sidePanel.setImage(kSidePanelImage, 0);
  s.sidePanel.setVisible(false);
  s.scene.add(&s.sidePanel, kSidePanelId, 0);

  // Every start deals a Medium game; the saved level is not consulted.
  s.board.setLevel(Deradu::kMedium);
  s.board.layout(kBoard.x, kBoard.y, kBoard.width, kBoard.height, kGridCells, kGridCells, skin);
  styleGrid(s.board);
  s.scene.add(&s.board, kBoardId, 0);
  const int level = s.board.getLevel();
  s.board.setLevel(level);
  refreshLevelLabel();
  s.board.newGame(level, static_cast<std::uint32_t>(host.currentTime()));

  s.redrawRequest = 1;
  s.reference.layout(kReference.x, kReference.y, kReference.width, kReference.height, kGridCells,
                     kGridCells, skin);
  styleGrid(s.reference);
  s.reference.setVisible(false);
  s.scene.add(&s.reference, kReferenceId, 0);

  struct LargeButton {
    scobButton& button;
    Box box;
    const char* text;
    int id;
  };
  const std::array<LargeButton, 6> largeButtons{{
      {s.easy, kEasy, "Easy", kEasyId},
      {s.medium, kMedium, "Medium", kMediumId},
      {s.hard, kHard, "Hard", kHardId},
      {s.solve, kSolve, "Solve", kSolveId},
      {s.picture, kPicture, "Picture", kPictureId},
      {s.showHide, kShowHide, "Show", kShowHideId},
  }};
  for (const LargeButton& large : largeButtons) {
    setupButton(large.button, large.box, skin);
    large.button.setText(large.text, 1);
    if (&large.button == &s.showHide) large.button.setText("Hide", 2);
    large.button.setImage(kLargeButtonImage, 0);
    s.scene.add(&large.button, large.id, 0);
  }

  setupButton(s.titleBar, kTitleBar, skin, kTitleBarFill, kTitleBarFill);
  s.titleBar.setText("", 1);
  s.titleBar.setImage(kTitleBarImage, 0);
  s.titleBar.setMouseActive(false);
  s.scene.add(&s.titleBar, kTitleBarId, 0);

  setupButton(s.levelLabel, kLevelLabel, skin, kLabelFill, kLabelFill, kLabelFontWidth);
  refreshLevelLabel();
  s.levelLabel.setMouseActive(false);
  s.scene.add(&s.levelLabel, kLevelLabelId, 0);

  setupButton(s.movesLabel, kMovesLabel, skin, kLabelFill, kLabelFill, kLabelFontWidth);
  refreshMovesLabel();
  s.movesLabel.setImage(kNoImage, 0);
  s.scene.add(&s.movesLabel, kMovesLabelId, 0);

  setupButton(s.help, kHelp, skin);
  s.help.setText("", 1);
  s.help.setImage(kHelpImage, 0);
  s.scene.add(&s.help, kHelpId, 0);

  setupButton(s.transparency, kTransparency, skin);
  s.transparency.setText("", 1);
  s.transparency.setImage(kTransparencyImage, 0);
  if (s.transparencyFlag) s.transparency.setState(2);
  s.scene.add(&s.transparency, kTransparencyId, 0);

  setupButton(s.keepOnTop, kKeepOnTop, skin);
  s.keepOnTop.setText("", 1);
  s.keepOnTop.setImage(kKeepOnTopImage, 0);
  if (s.keepOnTopFlag) s.keepOnTop.setState(2);
  s.scene.add(&s.keepOnTop, kKeepOnTopId, 0);

  s.banner.setup(kBanner.x, kBanner.y, kBanner.height, kBanner.width, skin, kBannerText, kOutline,
                 kOutline, kBannerFontHeight, kBannerFontWidth, 1);
  s.banner.setImage(kBannerImage, 0);
  s.banner.setVisible(false);
  s.scene.add(&s.banner, kBannerId, 0);
}

void Application::refreshLevelLabel() {
  State& s = *state_;
  // Padded to 14 characters so the label keeps its width.
  static constexpr std::array<const char*, 4> kTexts{"", "Level:  Easy  ", "Level:  Medium",
                                                     "Level:  Hard  "};
  const int level = s.board.getLevel();
  s.levelLabel.setText(level >= 1 && level <= 3 ? kTexts[static_cast<std::size_t>(level)] : "",
                       1);
}

std::string Application::movesText() const {
  std::array<char, 100> text{};
  std::snprintf(text.data(), text.size(), "Moves : %i", state_->board.getMoves());
  return text.data();
}

void Application::refreshMovesLabel() { state_->movesLabel.setText(movesText(), 1); }

void Application::setWindowWidth(bool wide) {
  using namespace screen;
  State& s = *state_;
  s.host->resizeWindow(wide ? Size{kWideWidth, kWideHeight} : Size{kNarrowWidth, kNarrowHeight});
  const Size client = s.host->clientSize();
  s.clientWidth = client.width;
  s.clientHeight = client.height;
  // The side panel keeps the height it got at the build.
  s.background.setGeometry(0, 0, s.clientWidth, s.clientHeight);
  s.redrawRequest = 1;
}
