// Helpers that play the headless program as a player would.
#include "tests/app/HeadlessProgram.h"

#include <atomic>
#include <unistd.h>

std::filesystem::path HeadlessProgram::makeFolder() {
  static std::atomic<int> counter{0};
  const auto folder = std::filesystem::temp_directory_path() /
                      ("deradu-app-" + std::to_string(::getpid()) + "-" +
                       std::to_string(counter.fetch_add(1)));
  std::filesystem::create_directories(folder);
  return folder;
}

bool HeadlessProgram::slideAnyTile() {
  const Deradu& board = state().board;
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      if (board.getCell(c, r) != 0) continue;
      // The blank's first neighbour on the board.
      const int neighbours[4][2] = {{c - 1, r}, {c + 1, r}, {c, r - 1}, {c, r + 1}};
      for (const auto& n : neighbours) {
        if (n[0] < 0 || n[0] > 3 || n[1] < 0 || n[1] > 3) continue;
        clickCell(n[0], n[1]);
        return true;
      }
    }
  }
  return false;
}

void HeadlessProgram::completeByHand() {
  host_.key('S');
  host_.ticks(1);
  // Tile 12 down, then back up: the player's own moves restore the order.
  clickCell(3, 2);
  clickCell(3, 3);
}
