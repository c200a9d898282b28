// The board's slide rule, completion test, Solve, and the deal with its disorder measure.
#include "puzzle/Deradu.h"

#include <cstdlib>

#include "puzzle/Random.h"

namespace {

// Disorder targets by level; index 0 is unused.
constexpr int kTargets[] = {0, 10, 20, 35};

// The board row of a position index on the four-wide board, counted from 1; 0 off the board.
int rowGroup(int index) { return index >= 0 && index < 16 ? index / 4 + 1 : 0; }

}  // namespace

Deradu::Deradu() {
  cursorColumn = 1;
  cursorRow = 1;
  showLines = 1;
  showCursor = 1;
  boardSize = 4;
}

int Deradu::getCell(int column, int row) const { return tileAt(column, row); }

int Deradu::tileAt(int column, int row) const {
  const bool inBoard = column >= 0 && column < 9 && row >= 0 && row < 9;
  return inBoard ? board[column][row] : 0;
}

void Deradu::onKey(int code) {
  if (code != kLeftClick) return;
  const int c = cursorColumn;
  const int r = cursorRow;
  // A grid laid out larger than the board can put the cursor on a cell the board does not have.
  if (c < 0 || c >= boardSize || r < 0 || r >= boardSize) return;

  bool moved = false;
  const auto tryMove = [&](bool possible, int toColumn, int toRow) {
    if (!possible || board[toColumn][toRow] != 0) return;
    board[toColumn][toRow] = board[c][r];
    cells[toColumn][toRow] = board[c][r];
    board[c][r] = 0;
    cells[c][r] = 0;
    moved = true;
  };
  tryMove(c > 0, c - 1, r);
  tryMove(c < boardSize - 1, c + 1, r);
  tryMove(r > 0, c, r - 1);
  tryMove(r < boardSize - 1, c, r + 1);

  if (moved) {
    ++moves;
    state = kPlaying;
  }
}

bool Deradu::isInOrder() const {
  int expected = 1;
  for (int r = 0; r < boardSize; ++r) {
    for (int c = 0; c < boardSize; ++c, ++expected) {
      // The last cell is not compared: it holds the blank.
      if (expected < boardSize * boardSize && board[c][r] != expected) return false;
    }
  }
  return true;
}

void Deradu::completionTest() {
  if (state != kSolved && isInOrder()) state = kCompleted;
}

void Deradu::resetToSolved() {
  for (int c = 0; c < boardSize; ++c) {
    for (int r = 0; r < boardSize; ++r) board[c][r] = r * boardSize + c + 1;
  }
  board[boardSize - 1][boardSize - 1] = 0;
}

void Deradu::solve() {
  dirty = true;
  resetToSolved();
  copyToDisplay();
  state = kSolved;
}

void Deradu::copyToDisplay() {
  for (int c = 0; c < boardSize; ++c) {
    for (int r = 0; r < boardSize; ++r) cells[c][r] = board[c][r];
  }
}

bool Deradu::newGame(int newLevel, std::uint32_t seed) {
  if (newLevel < kEasy || newLevel > kHard) return false;
  moves = 0;
  state = kPlaying;
  level = newLevel;
  dirty = true;
  random.seed(seed);
  shuffle(newLevel);
  copyToDisplay();
  return true;
}

void Deradu::shuffle(int forLevel) {
  resetToSolved();
  int blankColumn = boardSize - 1;
  int blankRow = boardSize - 1;
  int steps = 0;
  const int target = kTargets[forLevel];
  // The walk may undo its own previous step; the cap is tested before the disorder, and the
  // disorder after every drawn direction, whether or not the blank moved.
  for (;;) {
    int toColumn = blankColumn;
    int toRow = blankRow;
    switch (random.next() % 4 + 1) {
      case 1: --toColumn; break;
      case 2: --toRow; break;
      case 3: ++toColumn; break;
      default: ++toRow; break;
    }
    if (toColumn >= 0 && toColumn < boardSize && toRow >= 0 && toRow < boardSize) {
      board[blankColumn][blankRow] = board[toColumn][toRow];
      board[toColumn][toRow] = 0;
      blankColumn = toColumn;
      blankRow = toRow;
      ++steps;
    }
    if (steps >= kStepLimit) break;
    if (disorder() >= target) break;
  }
}

int Deradu::disorder() const {
  // Written for a board four cells wide, whatever the board size.
  int sum = 0;
  for (int r = 0; r < boardSize; ++r) {
    for (int c = 0; c < boardSize; ++c) {
      const int value = board[c][r];
      if (value == 0) continue;
      const int position = r * boardSize + c;
      const int home = value - 1;
      sum += std::abs(position % 4 - home % 4) + std::abs(rowGroup(position) - rowGroup(home));
    }
  }
  return sum;
}
