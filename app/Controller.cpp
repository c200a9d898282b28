// The command dispatcher, the keyboard handler and the tick that repaints when something changed.
#include "app/Controller.h"

#include <cstdint>
#include <string>

#include "app/Screen.h"
#include "app/ScreenTable.h"

void Controller::command(Host& host, int commandId) {
  using namespace screen;
  switch (commandId) {
    case kEasyId:
      newGameAtLevel(host, Deradu::kEasy);
      break;
    case kMediumId:
      newGameAtLevel(host, Deradu::kMedium);
      break;
    case kHardId:
      newGameAtLevel(host, Deradu::kHard);
      break;
    case kSolveId:
      solve();
      break;
    case kPictureId:
      // No redraw request: the button's own release has marked it dirty.
      screen_.skin().nextSkin(0);
      break;
    case kShowHideId:
      screen_.toggleSidePanel(host);
      requestRedraw();
      break;
    case kKeepOnTopId:
      screen_.toggleKeepOnTop();
      host.setTopmost(screen_.keepOnTop());
      requestRedraw();
      break;
    case kTransparencyId:
      screen_.toggleTransparency();
      host.setOpacity(
          static_cast<std::uint8_t>(screen_.transparent() ? kTransparentAlpha : kOpaqueAlpha));
      requestRedraw();
      break;
    case kHelpId:
      openHelpPage(host);
      break;
    default:
      // The background, board, panels, labels and banner carry ids without a command.
      break;
  }
}

void Controller::keyboard(Host& host, int key) {
  // The board sees every key first: arrows move its (hidden) cursor, others it ignores.
  screen_.board().keyInput(key);
  switch (key) {
    case screen::kKeySkin:
      // Shows at the next repaint that something else causes.
      screen_.skin().nextSkin(0);
      break;
    case screen::kKeySkinAndRepaint:
      screen_.skin().nextSkin(0);
      requestRedraw();
      break;
    case screen::kKeyNewGame:
      newGameAtLevel(host, screen_.board().getLevel());
      break;
    case screen::kKeySolve:
      solve();
      break;
    default:
      break;
  }
}

PendingWork Controller::pendingWork() const {
  const Deradu& board = screen_.board();
  const int gameState = board.getState();
  PendingWork work;
  work.completion =
      gameState != Deradu::kSolved && gameState != Deradu::kCompleted && board.isInOrder();
  work.movesLabel = !screen_.movesLabelIsCurrent();
  // Only the player's own completion shows the banner, never Solve.
  const bool completed = gameState == Deradu::kCompleted || work.completion;
  work.banner = screen_.banner().isVisible() != completed;
  work.repaint = redrawRequest_ != 0 || screen_.anyWidgetDirty();
  return work;
}

void Controller::tick(Host& host) {
  const PendingWork work = pendingWork();
  Deradu& board = screen_.board();
  if (work.completion) board.completionTest();
  if (work.movesLabel) screen_.refreshMovesLabel();
  if (work.banner) screen_.setBannerVisible(board.getState() == Deradu::kCompleted);
  // Bringing the labels and the banner up to date marks them dirty, which repaints too.
  if (!work.repaint && !screen_.anyWidgetDirty()) return;
  Canvas& canvas = host.getDC();
  screen_.paint(canvas);
  redrawRequest_ = 0;
  host.releaseDC();
}

void Controller::newGameAtLevel(Host& host, int level) {
  Deradu& board = screen_.board();
  board.setLevel(level);
  screen_.refreshLevelLabel();
  board.newGame(level, static_cast<std::uint32_t>(host.currentTime()));
  requestRedraw();
}

void Controller::solve() {
  Deradu& board = screen_.board();
  board.solve();
  board.setState(Deradu::kSolved);
  requestRedraw();
}

void Controller::openHelpPage(Host& host) {
  std::string address(screen::kHelpPageBase);
  address += screen::kVersion;
  // A page that fails to open leaves the game as it was.
  host.openUrl(address);
}
