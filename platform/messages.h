// Window messages and key codes as plain values with the Win32 numbering, so one window
// procedure serves every host and tests can drive it directly.
#pragma once

#include <cstdint>

namespace msg {

// What the window procedure returns for a message it does not handle: the host's default
// processing applies (DefWindowProcA on Windows).
inline constexpr std::intptr_t kDefault = INTPTR_MIN;

inline constexpr std::uint32_t kCreate = 0x0001;
inline constexpr std::uint32_t kDestroy = 0x0002;
inline constexpr std::uint32_t kPaint = 0x000F;
inline constexpr std::uint32_t kClose = 0x0010;
// wParam non-zero: the session ends and the process with it, without WM_DESTROY.
inline constexpr std::uint32_t kEndSession = 0x0016;
inline constexpr std::uint32_t kKeyDown = 0x0100;
inline constexpr std::uint32_t kCommand = 0x0111;
inline constexpr std::uint32_t kTimer = 0x0113;
inline constexpr std::uint32_t kMouseMove = 0x0200;
inline constexpr std::uint32_t kLeftButtonDown = 0x0201;
inline constexpr std::uint32_t kLeftButtonUp = 0x0202;
inline constexpr std::uint32_t kRightButtonDown = 0x0204;

// wParam of a mouse message: the buttons held (MK_LBUTTON, MK_RBUTTON).
inline constexpr std::uintptr_t kLeftButtonHeld = 0x0001;
inline constexpr std::uintptr_t kRightButtonHeld = 0x0002;

// lParam of a mouse message: x in the low 16 bits, y in the high 16 bits.
constexpr std::intptr_t pointParam(int x, int y) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y) & 0xFFFFu) << 16 |
                                    (static_cast<std::uint32_t>(x) & 0xFFFFu));
}

}  // namespace msg

// Virtual-key codes. Letters and digits have none of their own: their code is the capital
// letter's or the digit's character ('A', '0').
namespace vk {

inline constexpr int kLeftButton = 0x01;
inline constexpr int kBack = 0x08;
inline constexpr int kTab = 0x09;
// Keypad 5 with NumLock off.
inline constexpr int kClear = 0x0C;
inline constexpr int kReturn = 0x0D;
inline constexpr int kEscape = 0x1B;
inline constexpr int kSpace = 0x20;
inline constexpr int kPrior = 0x21;
inline constexpr int kNext = 0x22;
inline constexpr int kEnd = 0x23;
inline constexpr int kHome = 0x24;
inline constexpr int kLeft = 0x25;
inline constexpr int kUp = 0x26;
inline constexpr int kRight = 0x27;
inline constexpr int kDown = 0x28;
inline constexpr int kInsert = 0x2D;
inline constexpr int kDelete = 0x2E;
// Keypad digits 0 to 9 follow one another from here.
inline constexpr int kNumpad0 = 0x60;
inline constexpr int kMultiply = 0x6A;
inline constexpr int kAdd = 0x6B;
inline constexpr int kSeparator = 0x6C;
inline constexpr int kSubtract = 0x6D;
inline constexpr int kDecimal = 0x6E;
inline constexpr int kDivide = 0x6F;
// F1 to F24 follow one another from here.
inline constexpr int kF1 = 0x70;

}  // namespace vk
