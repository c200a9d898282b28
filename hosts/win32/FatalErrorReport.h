// The report of a failure the program cannot go on after: the system's message, then the end.
#pragma once

#include <string>

// Shows "<name> failed with error <code>: <system text>" for GetLastError() in a message box
// captioned "Error" and ends the process with that code.
[[noreturn]] void fatalErrorReport(const char* name);

// The report when memory runs out: "deradu: out of memory" on stderr and in the message box,
// then the end with exit code 2, the code of every fatal end. Nothing is written first, so the
// settings file stays as it was.
[[noreturn]] void outOfMemoryReport();

// The report's text, whole however long the name and the system text are. A null text counts
// as empty.
std::string fatalErrorText(const char* name, int code, const char* systemText);
