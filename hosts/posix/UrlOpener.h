// Hands an address to the desktop's URL opener without waiting for it.
#pragma once

#include <string>

// Starts `xdg-open url` detached from the program: it neither blocks the caller nor leaves a
// zombie, however long it runs. Whether the opener starts or succeeds is not reported; the
// program has nothing to do about either.
void startUrlOpener(const std::string& url);
