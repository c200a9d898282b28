// Replays a fuzzing corpus and its regression files through the fuzzer's own check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

// Runs `check` on every file in corpus/<name> and regressions/<name>; a file whose check
// reports a failure is named in it.
inline void replayCorpus(const std::string& name,
                         std::string (*check)(const std::uint8_t*, std::size_t)) {
  namespace fs = std::filesystem;
  int files = 0;
  for (const char* folder : {"corpus", "regressions"}) {
    const fs::path root = fs::path(DERADU_FUZZ_DATA) / folder / name;
    if (!fs::exists(root)) continue;
    for (const auto& entry : fs::directory_iterator(root)) {
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(in), {}};
      EXPECT_EQ(check(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "")
          << entry.path();
      ++files;
    }
  }
  // A moved corpus must not make this pass by reading nothing.
  EXPECT_GE(files, 5);
}
