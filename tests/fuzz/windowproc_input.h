// One fuzz input run through the whole program: the bytes decode into window messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Starts the program on the headless host (no settings file), feeds it the messages the bytes
// decode into, and checks the program after each one. The first failure with the message that
// led to it, or empty.
std::string checkWindowProcInput(const std::uint8_t* data, std::size_t size);
