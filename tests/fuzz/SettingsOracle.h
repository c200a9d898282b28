// What reading any bytes as the settings file must give, checked against a plain model of fgets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Reads `bytes` as a settings file (through a memory stream, as Linux reads it: no line-end
// translation), parses and writes the lines back, and compares everything with an independent
// model. Returns the empty text when all holds, otherwise what went wrong.
std::string checkSettingsBytes(const std::uint8_t* bytes, std::size_t size);
