// Decoding bytes into window messages, weighted towards what the program reacts to.
#include "tests/app/MessageSource.h"

#include <array>
#include <cstdlib>
#include <vector>

#include "app/ScreenTable.h"
#include "platform/canvas.h"
#include "platform/messages.h"
#include "tests/app/ProgramInvariants.h"

namespace {

constexpr std::uintptr_t kTimerId = screen::kTimerId;

// The places on the screen worth hitting: each widget's centre, its corners, the pixel on its
// right and bottom edge (still inside: hit tests include both edges) and the one beyond, and
// the middle of every board and reference cell.
std::vector<Point> interestingPoints() {
  using namespace screen;
  std::vector<Point> points;
  const Box boxes[] = {kEasy,  kMedium,     kHard,         kSolve,     kPicture,
                       kShowHide, kHelp,    kTransparency, kKeepOnTop, kMovesLabel,
                       kLevelLabel, kTitleBar, kBanner,    kBoard,     kReference};
  for (const Box& b : boxes) {
    points.push_back({b.x + b.width / 2, b.y + b.height / 2});
    for (int dx : {0, b.width, b.width + 1}) {
      for (int dy : {0, b.height, b.height + 1}) points.push_back({b.x + dx, b.y + dy});
    }
  }
  for (const Box& grid : {kBoard, kReference}) {
    const int cell = grid.width / kGridCells;
    for (int c = 0; c < kGridCells; ++c) {
      for (int r = 0; r < kGridCells; ++r) {
        points.push_back({grid.x + cell * c + cell / 2, grid.y + cell * r + cell / 2});
      }
    }
  }
  return points;
}

const std::vector<Point>& targets() {
  static const std::vector<Point> points = interestingPoints();
  return points;
}

// Messages a window also receives that the program leaves to the default handling, and
// numbers no window message has.
constexpr std::array<std::uint32_t, 8> kOtherMessages = {
    msg::kClose, msg::kCommand, msg::kRightButtonDown, 0x0000, 0x0005, 0x0203, 0x0205, 0xFFFF};

}  // namespace

std::uint32_t MessageSource::bytes(int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | byte_();
  return value;
}

std::intptr_t MessageSource::point() {
  const std::uint8_t kind = byte_();
  if (kind < 112) {
    const std::vector<Point>& points = targets();
    const Point at = points[bytes(2) % points.size()];
    // A pixel or two either side of the chosen place, most of the time exactly on it.
    const int nudge = static_cast<int>(byte_() % 8);
    const int dx = nudge < 5 ? 0 : nudge - 6;
    const int dy = nudge < 5 ? 0 : static_cast<int>(byte_() % 3) - 1;
    return msg::pointParam(at.x + dx, at.y + dy);
  }
  if (kind < 208) {
    // Anywhere in or just around the wide window.
    return msg::pointParam(static_cast<int>(bytes(2) % 900) - 10,
                           static_cast<int>(bytes(2) % 440) - 10);
  }
  if (kind < 240) {
    // Any 16-bit pair: negative coordinates arrive wrapped to large ones.
    return static_cast<std::intptr_t>(bytes(4));
  }
  // Bits above the low 32 as well, which the window procedure must ignore.
  const std::uint64_t high = bytes(4);
  return static_cast<std::intptr_t>(high << 32 | bytes(4));
}

std::uintptr_t MessageSource::key() {
  constexpr int kArrows[] = {vk::kLeft, vk::kUp, vk::kRight, vk::kDown};
  constexpr int kSkinKeys[] = {screen::kKeySkin, screen::kKeySkinAndRepaint};
  // Keys the program does not act on, some of them close to those it does.
  constexpr int kOtherKeys[] = {'c', 'k', 'n', 's', vk::kLeftButton, 0, 0xFF};
  const std::uint8_t kind = byte_();
  // New games and Solve are rare enough to leave long games between them.
  if (kind < 120) return static_cast<std::uintptr_t>(kArrows[kind % 4]);
  if (kind < 150) return static_cast<std::uintptr_t>(kSkinKeys[kind % 2]);
  if (kind < 154) return screen::kKeyNewGame;
  if (kind < 158) return screen::kKeySolve;
  if (kind < 200) return static_cast<std::uintptr_t>(kOtherKeys[kind % std::size(kOtherKeys)]);
  if (kind < 240) return byte_();
  // Key codes live in the low 16 bits; the rest of wParam must not matter.
  const std::uint64_t high = bytes(4);
  return static_cast<std::uintptr_t>(high << 32 | bytes(4));
}

std::intptr_t MessageSource::besideBlank() {
  const Point blank = blankCell_();
  const Point neighbours[] = {
      {blank.x - 1, blank.y}, {blank.x + 1, blank.y}, {blank.x, blank.y - 1}, {blank.x, blank.y + 1}};
  // A neighbour off the board makes a press beside the board, which must do nothing.
  const Point cell = neighbours[byte_() % 4];
  const screen::Box& board = screen::kBoard;
  const int size = board.width / screen::kGridCells;
  return msg::pointParam(board.x + cell.x * size + size / 2, board.y + cell.y * size + size / 2);
}

WindowMessage MessageSource::next() {
  const std::uint8_t kind = byte_();
  if (kind < 40) {
    if (blankCell_) return {msg::kLeftButtonDown, 0, besideBlank()};
    return {msg::kMouseMove, 0, point()};
  }
  // Painting is by far the dearest message, so WM_PAINT is rare; the ticks paint after changes.
  if (kind < 80) return {msg::kMouseMove, 0, point()};
  if (kind < 106) return {msg::kLeftButtonDown, 0, point()};
  if (kind < 132) return {msg::kLeftButtonUp, 0, point()};
  if (kind < 180) return {msg::kTimer, kTimerId, 0};
  if (kind < 226) return {msg::kKeyDown, key(), 0};
  if (kind < 234) return {msg::kPaint, 0, 0};
  const std::uint32_t message = kOtherMessages[byte_() % kOtherMessages.size()];
  return {message, bytes(4), static_cast<std::intptr_t>(bytes(4))};
}

std::uint64_t soakSeed() {
  if (const char* text = std::getenv("DERADU_SOAK_SEED")) return std::strtoull(text, nullptr, 10);
  return std::random_device{}();
}

std::string seedTrace(std::uint64_t seed) {
  return "soak seed " + std::to_string(seed) + " (DERADU_SOAK_SEED=" + std::to_string(seed) +
         " repeats this run)";
}

MessageSource randomMessages(std::mt19937_64& random, const Deradu& board) {
  MessageSource source([&random] { return static_cast<std::uint8_t>(random() >> 56); });
  source.setBlankCell([&board] { return blankCell(board); });
  return source;
}
