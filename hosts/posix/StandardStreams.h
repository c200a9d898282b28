// Standard input, output and error made valid before the program opens anything else.
#pragma once

// Opens /dev/null onto each of descriptors 0, 1 and 2 that is closed. A launcher or a service
// may start the program with one of them closed; the next file or connection opened would then
// take that number, and a line printed to standard error (by the program or a library) would
// land in the middle of, say, the X protocol. Call it first thing in main, before any thread.
void openMissingStandardStreams();
