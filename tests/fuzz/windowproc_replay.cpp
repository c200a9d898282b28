// Replays the window-procedure fuzzing corpus and its regression files without the fuzzer
// runtime, with the same checks.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "windowproc_input.h"

namespace fs = std::filesystem;

TEST(WindowProcCorpus, EveryInputLeavesTheProgramSound) {
  int files = 0;
  for (const char* folder : {"corpus/windowproc", "regressions/windowproc"}) {
    const fs::path root = fs::path(DERADU_FUZZ_DATA) / folder;
    if (!fs::exists(root)) continue;
    for (const auto& entry : fs::directory_iterator(root)) {
      std::ifstream in(entry.path(), std::ios::binary);
      const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>()};
      EXPECT_EQ(checkWindowProcInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                     bytes.size()),
                "")
          << entry.path();
      ++files;
    }
  }
  // A moved corpus must not make this pass by reading nothing.
  EXPECT_GE(files, 5);
}
