// Decimal text as start-up reads the settings lines: strtol base 10, and atoi, with a 32-bit long.
#include "settings/DecimalText.h"

#include <cstddef>

namespace {

// The C locale's white space, which is what strtol skips.
bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::int32_t parseDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // The magnitude is clamped as it grows, so any number of digits fits in 64 bits.
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
  std::int64_t magnitude = 0;
  for (; i < text.size() && isDigit(text[i]); ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > limit) {
      magnitude = limit;
    }
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}
