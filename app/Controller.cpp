// The command dispatcher, the keyboard handler and the tick that repaints when something changed.
#include <string>

#include "app/Application.h"
#include "app/ApplicationState.h"
#include "app/ScreenTable.h"

void Application::command(int commandId, int) {
  using namespace screen;
  State& s = *state_;
  switch (commandId) {
    case kEasyId:
      newGameAtLevel(Deradu::kEasy);
      break;
    case kMediumId:
      newGameAtLevel(Deradu::kMedium);
      break;
    case kHardId:
      newGameAtLevel(Deradu::kHard);
      break;
    case kSolveId:
      solve();
      break;
    case kPictureId:
      // No redraw request: the button's own release has marked it dirty.
      s.skin.nextSkin(0);
      break;
    case kShowHideId:
      s.sidePanelFlag = !s.sidePanelFlag;
      setWindowWidth(s.sidePanelFlag);
      s.reference.setVisible(s.sidePanelFlag);
      s.sidePanel.setVisible(s.sidePanelFlag);
      break;
    case kKeepOnTopId:
      s.keepOnTopFlag = !s.keepOnTopFlag;
      s.host->setTopmost(s.keepOnTopFlag);
      s.redrawRequest = 1;
      break;
    case kTransparencyId:
      s.transparencyFlag = !s.transparencyFlag;
      s.host->setOpacity(
          static_cast<std::uint8_t>(s.transparencyFlag ? kTransparentAlpha : kOpaqueAlpha));
      s.redrawRequest = 1;
      break;
    case kHelpId:
      openHelpPage();
      break;
    default:
      // The background, board, panels, labels and banner carry ids without a command.
      break;
  }
}

void Application::keyboard(int key) {
  State& s = *state_;
  // The board sees every key first: arrows move its (hidden) cursor, others it ignores.
  s.board.keyInput(key);
  switch (key) {
    case screen::kKeySkin:
      // Shows at the next repaint that something else causes.
      s.skin.nextSkin(0);
      break;
    case screen::kKeySkinAndRepaint:
      s.skin.nextSkin(0);
      s.redrawRequest = 1;
      break;
    case screen::kKeyNewGame:
      newGameAtLevel(s.board.getLevel());
      break;
    case screen::kKeySolve:
      solve();
      break;
    default:
      break;
  }
}

void Application::tick() {
  State& s = *state_;
  s.board.completionTest();
  const int gameState = s.board.getState();
  refreshMovesLabel();
  // Only the player's own completion shows the banner, never Solve.
  s.banner.setVisible(gameState == Deradu::kCompleted);
  for (int i = 0; i < s.scene.count(); ++i) {
    const scob* object = s.scene.objectAt(i);
    if (object != nullptr && object->isDirty()) {
      s.redrawRequest = 1;
      paintFromTick();
      return;
    }
  }
  if (s.redrawRequest == 1) paintFromTick();
}

bool Application::isIdle() const {
  const State& s = *state_;
  if (s.redrawRequest != 0) return false;
  for (int i = 0; i < s.scene.count(); ++i) {
    const scob* object = s.scene.objectAt(i);
    if (object != nullptr && object->isDirty()) return false;
  }
  // What the tick itself would bring up to date.
  const int gameState = s.board.getState();
  const bool wouldComplete = gameState != Deradu::kSolved && gameState != Deradu::kCompleted &&
                             s.board.isInOrder();
  return !wouldComplete && s.movesLabel.getText(1) == movesText() &&
         s.banner.isVisible() == (gameState == Deradu::kCompleted);
}

void Application::paintFromTick() {
  State& s = *state_;
  Canvas& canvas = s.host->getDC();
  paintOffscreen(canvas, s.scene, s.clientWidth, s.clientHeight);
  s.redrawRequest = 0;
  s.host->releaseDC();
}

void Application::newGameAtLevel(int level) {
  State& s = *state_;
  s.board.setLevel(level);
  refreshLevelLabel();
  s.board.newGame(level, static_cast<std::uint32_t>(s.host->currentTime()));
  s.redrawRequest = 1;
}

void Application::solve() {
  State& s = *state_;
  s.board.solve();
  s.board.setState(Deradu::kSolved);
  s.redrawRequest = 1;
}

void Application::openHelpPage() {
  std::string address(screen::kHelpPageBase);
  address += screen::kVersion;
  // A page that fails to open leaves the game as it was.
  state_->host->openUrl(address);
}
