// Replays the settings fuzzing corpus and its regression files without the fuzzer runtime.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SettingsOracle.h"

namespace fs = std::filesystem;

TEST(SettingsCorpus, EveryFileReadsAsTheModelPredicts) {
  int files = 0;
  for (const char* folder : {"corpus/settings", "regressions/settings"}) {
    const fs::path root = fs::path(DERADU_FUZZ_DATA) / folder;
    if (!fs::exists(root)) {
      continue;
    }
    for (const auto& entry : fs::directory_iterator(root)) {
      std::ifstream in(entry.path(), std::ios::binary);
      const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>()};
      EXPECT_EQ(checkSettingsBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size()),
                "")
          << entry.path();
      ++files;
    }
  }
  // A moved corpus must not make this pass by reading nothing.
  EXPECT_GE(files, 5);
}
