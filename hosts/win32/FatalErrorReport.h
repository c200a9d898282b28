// The report of a failure the program cannot go on after: said on stderr and in a message box.
#pragma once

#include <string>

// What the report says when memory runs out.
inline constexpr char kOutOfMemoryText[] = "deradu: out of memory";

// Says `text` on stderr (one line) and in a message box captioned "Error", as every fatal failure
// is told.
// A program started from a console or under Wine has a stderr; elsewhere the write fails quietly
// and the message box still tells. Neither needs memory of ours.
void reportFatalError(const char* text);

// The report, then the end with exit code 2, the code of every fatal end. Nothing is written
// first, so the settings file stays as it was.
[[noreturn]] void endWithFatalError(const char* text);

// "<name> failed with error <code>: <system text>" for GetLastError(), which it reads first.
std::string lastErrorText(const char* name);

// The text of that report, whole however long the name and the system text are. A null text
// counts as empty.
std::string fatalErrorText(const char* name, int code, const char* systemText);
