// libFuzzer entry: any bytes, read as a stream of window messages, leave the program sound.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "windowproc_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string failure = checkWindowProcInput(data, size);
  if (!failure.empty()) {
    std::fprintf(stderr, "window procedure: %s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
