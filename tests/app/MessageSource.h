// Window messages made from a stream of bytes: random bytes for the soak, a fuzzer's for fuzzing.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "platform/canvas.h"

struct WindowMessage {
  std::uint32_t message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

// Every message a running window can receive except WM_CREATE and WM_DESTROY, which belong to
// the window's own birth and end. Points favour the places where faults hide (cell centres,
// shared button edges, the pixel past an edge); keys favour the ones the program acts on. Any
// byte stream gives a valid message sequence, so a fuzzer's bytes decode as well as random ones.
class MessageSource {
 public:
  explicit MessageSource(std::function<std::uint8_t()> nextByte) : byte_(std::move(nextByte)) {}

  // Where the board's blank is (column, row). With it, some messages are presses on a tile
  // beside the blank, as a player makes them, so games grow long and get completed; without
  // it those messages are plain mouse moves.
  void setBlankCell(std::function<Point()> blankCell) { blankCell_ = std::move(blankCell); }

  WindowMessage next();

 private:
  std::uint32_t bytes(int count);
  std::intptr_t point();
  std::uintptr_t key();
  std::intptr_t besideBlank();

  std::function<std::uint8_t()> byte_;
  std::function<Point()> blankCell_;
};

class Deradu;

// The seed of a random message stream: DERADU_SOAK_SEED when set, so a failing run repeats.
std::uint64_t soakSeed();
// The seed and how to repeat its run, for a failure's trace.
std::string seedTrace(std::uint64_t seed);
// Messages from `random`, with the presses beside the blank of `board` as it stands.
MessageSource randomMessages(std::mt19937_64& random, const Deradu& board);
