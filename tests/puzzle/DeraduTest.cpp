// The board: slides, completion, Solve, and the deal for fixed seeds at every level.
#include <gtest/gtest.h>

#include <array>

#include "platform/messages.h"
#include "puzzle/Deradu.h"
#include "puzzle/Random.h"
#include "puzzle/Solution.h"
#include "skin/skinInstance.h"

namespace {

using Rows = std::array<std::array<int, 4>, 4>;  // [row][column], as read on screen

// The board's cells, checking on the way that the drawn cells equal them, as after every
// operation they must.
Rows boardRows(const Deradu& board) {
  Rows rows{};
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      rows[r][c] = board.getCell(c, r);
      EXPECT_EQ(board.cellAt(c, r), rows[r][c]) << c << r;
    }
  }
  return rows;
}

// A laid-out board holding the solved order, ready for presses.
struct Fixture {
  skinInstance skin;
  Deradu board;
  Fixture() {
    board.layout(30, 45, 312, 312, 4, 4, &skin);
    board.solve();
  }
  // A left press in the middle of cell (column, row).
  void press(int column, int row) {
    board.mouseButton(30 + 78 * column + 39, 45 + 78 * row + 39, scob::kPress, 0);
  }
};

constexpr Rows kSolved{{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 0}}};

}  // namespace

TEST(Random, MatchesTheWindowsRuntimeSequence) {
  Random random(1);
  EXPECT_EQ(random.next(), 41);
  EXPECT_EQ(random.next(), 18467);
  EXPECT_EQ(random.next(), 6334);
}

TEST(Board, StartsEmptyAndUndealt) {
  Deradu board;
  EXPECT_EQ(board.getState(), Deradu::kNotDealt);
  EXPECT_EQ(board.getMoves(), 0);
  EXPECT_EQ(board.getLevel(), 0);
  EXPECT_EQ(board.getCursorColumn(), 1);
  EXPECT_EQ(board.getCursorRow(), 1);
}

TEST(Board, OnlyATileBesideTheBlankSlides) {
  Fixture f;
  // The blank is at (3, 3). Tiles not beside it, and the blank itself, do not move.
  for (auto [c, r] : {std::pair{0, 0}, {2, 2}, {3, 3}, {1, 3}}) {
    f.press(c, r);
    EXPECT_EQ(boardRows(f.board), kSolved);
    EXPECT_EQ(f.board.getMoves(), 0);
  }
  f.press(3, 2);  // tile 12 slides down
  EXPECT_EQ(f.board.getCell(3, 3), 12);
  EXPECT_EQ(f.board.getCell(3, 2), 0);
  EXPECT_EQ(f.board.getMoves(), 1);
  EXPECT_EQ(f.board.getState(), Deradu::kPlaying);
  f.press(2, 2);  // tile 11 slides right
  f.press(2, 3);  // tile 15 slides up
  EXPECT_EQ(f.board.getMoves(), 3);
  EXPECT_EQ(boardRows(f.board),
            (Rows{{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 15, 11}, {13, 14, 0, 12}}}));
  // Other keys and non-left clicks never slide.
  f.board.onKey(scobGrid::kOtherClick);
  f.board.onKey('S');
  f.board.keyInput(vk::kLeft);
  EXPECT_EQ(f.board.getMoves(), 3);
}

TEST(Board, PressOnAColumnLineReachesBothCells) {
  struct Case {
    int blankColumn;           // in row 3
    int expectedMoves;
    std::array<int, 4> row3;   // after the press on the line between columns 1 and 2
  };
  const Case cases[] = {
      {2, 2, {13, 14, 0, 15}},  // blank right of the pair: 14 slides right and straight back
      {1, 1, {13, 14, 0, 15}},  // blank in the left cell: only the right tile slides
      {0, 2, {13, 14, 0, 15}},  // blank left of the pair: both slide left in turn
  };
  for (const Case& c : cases) {
    Fixture f;
    // Walk the blank from (3, 3) to (blankColumn, 3).
    for (int column = 2; column >= c.blankColumn; --column) f.press(column, 3);
    const int movesBefore = f.board.getMoves();
    f.board.mouseButton(30 + 78 * 2, 45 + 78 * 3 + 39, scob::kPress, 0);
    EXPECT_EQ(f.board.getMoves() - movesBefore, c.expectedMoves) << c.blankColumn;
    EXPECT_EQ(boardRows(f.board)[3], c.row3) << c.blankColumn;
    EXPECT_EQ(f.board.getCursorColumn(), 2);
  }
}

TEST(Board, CompletionIgnoresTheLastCellAndSolvedStaysSolved) {
  Fixture f;
  EXPECT_EQ(f.board.getState(), Deradu::kSolved);
  for (int i = 0; i < 5; ++i) f.board.completionTest();
  EXPECT_EQ(f.board.getState(), Deradu::kSolved);
  // A slide resumes play and counts; sliding back completes it at the next test.
  f.press(3, 2);
  EXPECT_EQ(f.board.getState(), Deradu::kPlaying);
  f.board.completionTest();
  EXPECT_EQ(f.board.getState(), Deradu::kPlaying);
  f.press(3, 3);
  EXPECT_EQ(f.board.getMoves(), 2);
  f.board.completionTest();
  EXPECT_EQ(f.board.getState(), Deradu::kCompleted);
  // Completed boards can still be played; the counter keeps counting.
  f.press(2, 3);
  EXPECT_EQ(f.board.getState(), Deradu::kPlaying);
  EXPECT_EQ(f.board.getMoves(), 3);
}

TEST(Board, SolveKeepsMovesAndRestoresTheOrder) {
  Fixture f;
  f.board.newGame(Deradu::kHard, 99);
  f.press(0, 0);
  f.board.solve();
  EXPECT_EQ(boardRows(f.board), kSolved);
  EXPECT_EQ(f.board.getState(), Deradu::kSolved);
  EXPECT_TRUE(f.board.isDirty());
}

TEST(Deal, FixedSeedsDealKnownBoards) {
  // Worked out with an independent model of the walk.
  struct Case {
    std::uint32_t seed;
    int level;
    int disorder;
    Rows rows;
  };
  const Case cases[] = {
      {1, 1, 10, {{{1, 6, 2, 4}, {9, 5, 3, 7}, {13, 10, 11, 8}, {14, 0, 15, 12}}}},
      {1, 2, 20, {{{1, 6, 0, 3}, {9, 5, 8, 2}, {13, 11, 15, 4}, {14, 10, 12, 7}}}},
      {1, 3, 35, {{{8, 5, 2, 6}, {10, 14, 1, 12}, {3, 11, 4, 0}, {15, 9, 13, 7}}}},
      {12345, 1, 10, {{{5, 1, 2, 4}, {9, 7, 3, 8}, {0, 6, 11, 12}, {13, 10, 14, 15}}}},
      {12345, 2, 20, {{{0, 5, 2, 8}, {9, 7, 4, 3}, {1, 11, 6, 12}, {10, 13, 14, 15}}}},
      {12345, 3, 35, {{{7, 11, 6, 8}, {9, 1, 3, 10}, {4, 0, 2, 13}, {5, 12, 14, 15}}}},
      {1700000000, 1, 10, {{{5, 1, 2, 4}, {6, 0, 3, 7}, {9, 10, 12, 8}, {13, 14, 11, 15}}}},
      {1700000000, 2, 20, {{{5, 1, 7, 2}, {10, 14, 3, 4}, {6, 12, 0, 8}, {9, 13, 11, 15}}}},
      {1700000000, 3, 35, {{{5, 8, 1, 7}, {12, 14, 2, 6}, {3, 0, 4, 15}, {10, 9, 13, 11}}}},
      {0xFFFFFFFF, 2, 20, {{{6, 2, 0, 7}, {1, 14, 10, 3}, {9, 5, 11, 4}, {13, 15, 12, 8}}}},
      {0xFFFFFFFF, 3, 35, {{{2, 5, 7, 15}, {10, 13, 1, 11}, {6, 0, 12, 4}, {3, 14, 8, 9}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("seed " + std::to_string(c.seed) + " level " + std::to_string(c.level));
    Deradu board;
    ASSERT_TRUE(board.newGame(c.level, c.seed));
    EXPECT_EQ(boardRows(board), c.rows);
    EXPECT_EQ(board.disorder(), c.disorder);
    EXPECT_EQ(board.getLevel(), c.level);
    EXPECT_EQ(board.getState(), Deradu::kPlaying);
  }
}

TEST(Deal, ResetsTheGameAndRefusesUnknownLevels) {
  Fixture f;
  f.press(3, 2);
  f.board.solve();
  ASSERT_TRUE(f.board.newGame(Deradu::kEasy, 7));
  EXPECT_EQ(f.board.getMoves(), 0);
  EXPECT_EQ(f.board.getState(), Deradu::kPlaying);
  const Rows dealt = boardRows(f.board);
  for (int level : {0, 4, -1, 1000}) {
    EXPECT_FALSE(f.board.newGame(level, 7));
    EXPECT_EQ(boardRows(f.board), dealt);
    EXPECT_EQ(f.board.getLevel(), Deradu::kEasy);
  }
  // The same seed deals the same board again.
  f.board.newGame(Deradu::kEasy, 7);
  EXPECT_EQ(boardRows(f.board), dealt);
}

TEST(Deal, ManySeedsGiveValidBoardsAtOrAboveTheTarget) {
  const int targets[] = {0, 10, 20, 35};
  for (std::uint32_t seed = 0; seed < 300; ++seed) {
    for (int level = 1; level <= 3; ++level) {
      Deradu board;
      board.newGame(level, seed * 2654435761u);
      // Sixteen cells set all sixteen bits only if they hold 0 to 15 once each.
      int seen = 0;
      for (const auto& row : boardRows(board)) {
        for (int v : row) seen |= v >= 0 && v < 16 ? 1 << v : 1 << 16;
      }
      ASSERT_EQ(seen, 0xFFFF) << "seed " << seed;
      ASSERT_GE(board.disorder(), targets[level]) << "seed " << seed << " level " << level;
    }
  }
}

TEST(ReferencePicture, ShowsTheSolvedOrderWithTheBlankValue) {
  Solution reference;
  EXPECT_FALSE(reference.isMouseActive());
  EXPECT_TRUE(reference.isVisible());
  EXPECT_EQ(reference.getState(), 0);
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) EXPECT_EQ(reference.getCell(c, r), r * 4 + c + 1);
  }
}
