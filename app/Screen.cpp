// The screen build at window creation, the two labels and the window-width switch.
#include "app/Screen.h"

#include <array>
#include <cstdio>

#include "app/SavedState.h"
#include "app/ScreenTable.h"
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

void Screen::build(Host& host, const SavedState& saved) {
  using namespace screen;
  using namespace skinClass;
  const scobSkin* skin = &skin_;
  board_.setLeftButtonQuery([&host] { return host.isLeftButtonDown(); });

  skin_.setCurrentSkin(saved.skin >= skin_.skinCount() || saved.skin < 0 ? 0 : saved.skin, 0);

  resize(host, {kNarrowWidth, kNarrowHeight});

  keepOnTopFlag_ = saved.keepOnTop;
  transparencyFlag_ = saved.transparency;

  background_.setup(0, 0, client_.height, client_.width, skin, kOutline, 1);
  background_.setImage(kBackgroundImage, 0);
  scene_.add(&background_, kBackgroundId, 0);

  sidePanel_.setup(kSidePanel.x, kSidePanel.y, client_.height, kSidePanel.width, skin, kOutline, 2);
  sidePanel_.setImage(kSidePanelImage, 0);
  sidePanel_.setVisible(false);
  scene_.add(&sidePanel_, kSidePanelId, 0);

  // Every start deals a Medium game; the saved level is not consulted.
  board_.setLevel(Deradu::kMedium);
  board_.layout(kBoard.x, kBoard.y, kBoard.width, kBoard.height, kGridCells, kGridCells, skin);
  styleGrid(board_);
  scene_.add(&board_, kBoardId, 0);
  const int level = board_.getLevel();
  board_.setLevel(level);
  refreshLevelLabel();
  board_.newGame(level, static_cast<std::uint32_t>(host.currentTime()));

  reference_.layout(kReference.x, kReference.y, kReference.width, kReference.height, kGridCells,
                    kGridCells, skin);
  styleGrid(reference_);
  reference_.setVisible(false);
  scene_.add(&reference_, kReferenceId, 0);

  struct LargeButton {
    scobButton& button;
    Box box;
    const char* text;
    int id;
  };
  const std::array<LargeButton, 6> largeButtons{{
      {easy_, kEasy, "Easy", kEasyId},
      {medium_, kMedium, "Medium", kMediumId},
      {hard_, kHard, "Hard", kHardId},
      {solve_, kSolve, "Solve", kSolveId},
      {picture_, kPicture, "Picture", kPictureId},
      {showHide_, kShowHide, "Show", kShowHideId},
  }};
  for (const LargeButton& large : largeButtons) {
    setupButton(large.button, large.box, skin);
    large.button.setText(large.text, 1);
    if (&large.button == &showHide_) large.button.setText("Hide", 2);
    large.button.setImage(kLargeButtonImage, 0);
    scene_.add(&large.button, large.id, 0);
  }

  setupButton(titleBar_, kTitleBar, skin, kTitleBarFill, kTitleBarFill);
  titleBar_.setText("", 1);
  titleBar_.setImage(kTitleBarImage, 0);
  titleBar_.setMouseActive(false);
  scene_.add(&titleBar_, kTitleBarId, 0);

  setupButton(levelLabel_, kLevelLabel, skin, kLabelFill, kLabelFill, kLabelFontWidth);
  refreshLevelLabel();
  levelLabel_.setMouseActive(false);
  scene_.add(&levelLabel_, kLevelLabelId, 0);

  setupButton(movesLabel_, kMovesLabel, skin, kLabelFill, kLabelFill, kLabelFontWidth);
  refreshMovesLabel();
  movesLabel_.setImage(kNoImage, 0);
  scene_.add(&movesLabel_, kMovesLabelId, 0);

  setupButton(help_, kHelp, skin);
  help_.setText("", 1);
  help_.setImage(kHelpImage, 0);
  scene_.add(&help_, kHelpId, 0);

  setupButton(transparency_, kTransparency, skin);
  transparency_.setText("", 1);
  transparency_.setImage(kTransparencyImage, 0);
  if (transparencyFlag_) transparency_.setState(2);
  scene_.add(&transparency_, kTransparencyId, 0);

  setupButton(keepOnTop_, kKeepOnTop, skin);
  keepOnTop_.setText("", 1);
  keepOnTop_.setImage(kKeepOnTopImage, 0);
  if (keepOnTopFlag_) keepOnTop_.setState(2);
  scene_.add(&keepOnTop_, kKeepOnTopId, 0);

  banner_.setup(kBanner.x, kBanner.y, kBanner.height, kBanner.width, skin, kBannerText, kOutline,
                kOutline, kBannerFontHeight, kBannerFontWidth, 1);
  banner_.setImage(kBannerImage, 0);
  banner_.setVisible(false);
  scene_.add(&banner_, kBannerId, 0);
}

void Screen::refreshLevelLabel() {
  // Padded to 14 characters so the label keeps its width.
  static constexpr std::array<const char*, 4> kTexts{"", "Level:  Easy  ", "Level:  Medium",
                                                     "Level:  Hard  "};
  const int level = board_.getLevel();
  levelLabel_.setText(level >= 1 && level <= 3 ? kTexts[static_cast<std::size_t>(level)] : "", 1);
}

std::string Screen::movesText() const {
  std::array<char, 100> text{};
  std::snprintf(text.data(), text.size(), "Moves : %i", board_.getMoves());
  return text.data();
}

void Screen::refreshMovesLabel() { movesLabel_.setText(movesText(), 1); }

bool Screen::movesLabelIsCurrent() const { return movesLabel_.getText(1) == movesText(); }

void Screen::toggleSidePanel(Host& host) {
  using namespace screen;
  sidePanelFlag_ = !sidePanelFlag_;
  resize(host, sidePanelFlag_ ? Size{kWideWidth, kWideHeight} : Size{kNarrowWidth, kNarrowHeight});
  reference_.setVisible(sidePanelFlag_);
  sidePanel_.setVisible(sidePanelFlag_);
}

void Screen::resize(Host& host, Size outer) {
  host.resizeWindow(outer);
  client_ = host.clientSize();
  // The side panel keeps the height it got at the build.
  background_.setGeometry(0, 0, client_.width, client_.height);
}

void Screen::paint(Canvas& canvas) {
  paintOffscreen(canvas, scene_, client_.width, client_.height);
}

bool Screen::anyWidgetDirty() const {
  for (int i = 0; i < scene_.count(); ++i) {
    const scob* object = scene_.objectAt(i);
    if (object != nullptr && object->isDirty()) return true;
  }
  return false;
}
