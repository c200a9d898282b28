// Helpers that play the headless program as a player would.
#include "tests/app/HeadlessProgram.h"

#include <atomic>
#include <unistd.h>

#include "tests/app/ProgramInvariants.h"

std::filesystem::path HeadlessProgram::makeFolder() {
  static std::atomic<int> counter{0};
  const auto folder = std::filesystem::temp_directory_path() /
                      ("deradu-app-" + std::to_string(::getpid()) + "-" +
                       std::to_string(counter.fetch_add(1)));
  std::filesystem::create_directories(folder);
  return folder;
}

bool HeadlessProgram::slideAnyTile() {
  const Point blank = blankCell(state().board);
  // The blank's first neighbour on the board.
  for (const Point n : {Point{blank.x - 1, blank.y}, Point{blank.x + 1, blank.y},
                        Point{blank.x, blank.y - 1}, Point{blank.x, blank.y + 1}}) {
    if (blank.x < 0 || n.x < 0 || n.x > 3 || n.y < 0 || n.y > 3) continue;
    clickCell(n.x, n.y);
    return true;
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
