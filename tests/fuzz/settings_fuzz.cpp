// libFuzzer entry: any bytes read as the settings file give the lines the model predicts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "SettingsOracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string failure = checkSettingsBytes(data, size);
  if (!failure.empty()) {
    std::fprintf(stderr, "settings oracle: %s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
