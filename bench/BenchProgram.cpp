// Starting the headless program for the benchmarks.
#include "bench/BenchProgram.h"

#include <stdexcept>

#include "app/ScreenTable.h"
#include "platform/messages.h"
#include "gfx/resources/ResourceStore.h"

BenchProgram::BenchProgram(Width width, int skin, int scale)
    : host_(app_, &ResourceStore::builtIn(), &sharedText()) {
  host_.setScale(scale);
  host_.setTime(1700000000);
  if (!app_.start(host_)) throw std::runtime_error("the headless window was not created");
  for (int i = 0; i < skin; ++i) host_.key(screen::kKeySkinAndRepaint);
  if (width == Width::kWide) {
    const screen::Box& button = screen::kShowHide;
    host_.click(button.x + button.width / 2, button.y + button.height / 2);
  }
  tick();
  if (!app_.isIdle()) throw std::runtime_error("the program is not idle after its first frame");
}

TextRenderer& BenchProgram::sharedText() {
  static TextRenderer text;
  return text;
}

void BenchProgram::clickCell(int column, int row) {
  const screen::Box& board = screen::kBoard;
  const int cell = board.width / screen::kGridCells;
  const std::intptr_t point =
      msg::pointParam(board.x + cell * column + cell / 2, board.y + cell * row + cell / 2);
  host_.send(msg::kLeftButtonDown, 0, point);
  host_.send(msg::kLeftButtonUp, 0, point);
}

Point BenchProgram::blank() {
  const Deradu& board = state().board;
  for (int c = 0; c < screen::kGridCells; ++c) {
    for (int r = 0; r < screen::kGridCells; ++r) {
      if (board.getCell(c, r) == 0) return {c, r};
    }
  }
  return {-1, -1};
}
