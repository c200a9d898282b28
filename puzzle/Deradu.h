// The puzzle board: tiles, blank, moves, level and game state, on top of the grid widget.
#pragma once

#include <array>
#include <cstdint>

#include "puzzle/Random.h"
#include "widgets/scobGrid.h"

class Deradu final : public scobGrid {
 public:
  // Game states (the screen object's state).
  static constexpr int kNotDealt = 0;
  static constexpr int kPlaying = 1;
  static constexpr int kCompleted = 2;
  static constexpr int kSolved = 3;

  static constexpr int kEasy = 1;
  static constexpr int kMedium = 2;
  static constexpr int kHard = 3;
  static constexpr int kStepLimit = 7000;

  Deradu();

  int getCell(int column, int row) const override;
  // Only a left click (-1) acts: it slides the tile at the cursor into a neighbouring blank.
  void onKey(int code) override;

  // Sets the completed state when tiles 1..15 are in reading order; never leaves "solved".
  void completionTest();
  // Tiles 1..15 in reading order; the last cell is not compared.
  bool isInOrder() const;
  void solve();
  // Deals a new board at level 1, 2 or 3 with the random generator seeded with `seed` (the
  // low 32 bits of the time in seconds). Any other level is refused: returns false, board kept.
  bool newGame(int newLevel, std::uint32_t seed);
  // The sum of the tiles' horizontal and vertical distances from their home cells.
  int disorder() const;
  void copyToDisplay();

  int getMoves() const { return moves; }
  int getLevel() const { return level; }
  void setLevel(int value) { level = value; }
  int tileAt(int column, int row) const;

 private:
  void resetToSolved();
  // Walks the blank at random from the solved order until the level's disorder target or the
  // step limit is reached. Every step is a legal slide, so the deal is always solvable.
  void shuffle(int forLevel);

  int boardSize = 4;
  int moves = 0;
  int level = 0;
  std::array<std::array<std::int32_t, 9>, 9> board{};
  Random random;
};
