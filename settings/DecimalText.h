// Decimal text as start-up reads the settings lines: strtol base 10, and atoi, with a 32-bit long.
#pragma once

#include <cstdint>
#include <string_view>

// Skips leading white space (space, \t, \n, \v, \f, \r), takes an optional sign and the digits
// that follow, and stops at the first other character; no digits gives 0. Values beyond the
// 32-bit signed range saturate at INT32_MAX / INT32_MIN, as strtol does where long has 32 bits,
// so a 64-bit host reads a line exactly as the 32-bit program does.
std::int32_t parseDecimal(std::string_view text);
