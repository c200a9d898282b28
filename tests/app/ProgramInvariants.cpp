// The program's invariants, checked from outside through its state and the headless host.
#include "tests/app/ProgramInvariants.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>

#include "app/ApplicationState.h"
#include "app/ScreenTable.h"
#include "hosts/headless/HeadlessHost.h"
#include "platform/messages.h"

namespace {

std::string at(int column, int row) {
  return " at (" + std::to_string(column) + ", " + std::to_string(row) + ")";
}

bool isHandled(std::uint32_t message) {
  constexpr std::uint32_t kHandled[] = {
      msg::kPaint,     msg::kKeyDown,        msg::kCommand,      msg::kTimer,
      msg::kMouseMove, msg::kLeftButtonDown, msg::kLeftButtonUp, msg::kRightButtonDown};
  return std::ranges::find(kHandled, message) != std::end(kHandled);
}

}  // namespace

std::string brokenInvariant(Application& app, const HeadlessHost& host) {
  const Application::State& s = app.state();
  if (s.scene.count() != screen::kSceneEntries) {
    return "the scene has " + std::to_string(s.scene.count()) + " entries";
  }

  const Deradu& board = s.board;
  std::array<int, 16> seen{};
  for (int c = 0; c < screen::kGridCells; ++c) {
    for (int r = 0; r < screen::kGridCells; ++r) {
      const int value = board.getCell(c, r);
      if (value < 0 || value > 15) return "the board holds " + std::to_string(value) + at(c, r);
      if (++seen[static_cast<std::size_t>(value)] > 1) {
        return "the board holds " + std::to_string(value) + " twice";
      }
      if (board.cellAt(c, r) != value) {
        return "the board shows " + std::to_string(board.cellAt(c, r)) + " but holds " +
               std::to_string(value) + at(c, r);
      }
    }
  }

  // A deal happens at start-up, so "not dealt" never shows again.
  if (board.getState() < Deradu::kPlaying || board.getState() > Deradu::kSolved) {
    return "the game state is " + std::to_string(board.getState());
  }
  if (board.getLevel() < Deradu::kEasy || board.getLevel() > Deradu::kHard) {
    return "the level is " + std::to_string(board.getLevel());
  }
  if (board.getMoves() < 0) return "the move count is " + std::to_string(board.getMoves());

  if (host.insidePaint()) return "a paint was left open";

  const bool wide = s.screen.sidePanelShown();
  const Size client = s.screen.clientSize();
  const int clientWidth =
      (wide ? screen::kWideWidth : screen::kNarrowWidth) - HeadlessHost::kFrameWidth;
  const int clientHeight = screen::kNarrowHeight - HeadlessHost::kFrameHeight;
  if (client.width != clientWidth || client.height != clientHeight ||
      host.frame().width() != clientWidth || host.frame().height() != clientHeight) {
    return "the client area is " + std::to_string(client.width) + " x " +
           std::to_string(client.height) + " and the frame " +
           std::to_string(host.frame().width()) + " x " + std::to_string(host.frame().height()) +
           " with the side panel " + (wide ? "shown" : "hidden");
  }
  if (s.reference.isVisible() != wide || s.sidePanel.isVisible() != wide) {
    return "the side panel's widgets disagree with the side-panel flag";
  }
  return {};
}

Point blankCell(const Deradu& board) {
  for (int c = 0; c < screen::kGridCells; ++c) {
    for (int r = 0; r < screen::kGridCells; ++r) {
      if (board.getCell(c, r) == 0) return {c, r};
    }
  }
  return {-1, -1};
}

std::string sendAndCheck(Application& app, HeadlessHost& host, const WindowMessage& message) {
  const bool idleBefore = app.isIdle();
  const int paintsBefore = host.paintCount();
  const std::intptr_t result = host.send(message.message, message.wParam, message.lParam);

  if (result != (isHandled(message.message) ? 1 : msg::kDefault)) {
    return "the window procedure answered " + std::to_string(result);
  }
  const int paints = host.paintCount() - paintsBefore;
  if (message.message == msg::kPaint) {
    if (paints != 1) return "WM_PAINT painted " + std::to_string(paints) + " times";
  } else if (message.message == msg::kTimer) {
    if (paints > 1) return "a tick painted " + std::to_string(paints) + " times";
    if (idleBefore && paints != 0) return "a tick painted although the program was idle";
    if (!app.isIdle()) return "the program is not idle right after a tick";
  } else if (paints != 0) {
    return "a message other than WM_PAINT and WM_TIMER painted";
  }
  return brokenInvariant(app, host);
}

std::string describe(const WindowMessage& message) {
  char text[96];
  std::snprintf(text, sizeof text, "message 0x%04x wParam 0x%llx lParam 0x%llx", message.message,
                static_cast<unsigned long long>(message.wParam),
                static_cast<unsigned long long>(message.lParam));
  return text;
}
