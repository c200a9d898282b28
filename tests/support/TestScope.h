// What a test changes for its own scope only: an environment variable, a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

// Sets (or, given nothing, clears) an environment variable until the end of the scope, whatever
// the caller's environment says.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    set(value);
  }
  ~ScopedVariable() { set(saved_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

  void set(const std::optional<std::string>& value) {
    if (value) {
      setenv(name_, value->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

#ifdef DERADU_TEST_OUTPUT
// An empty folder named after the running test: tests run in parallel processes, so each test
// needs a folder of its own.
inline std::filesystem::path freshTestFolder(const std::string& prefix) {
  const std::filesystem::path folder =
      std::filesystem::path(DERADU_TEST_OUTPUT) /
      (prefix + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}
#endif
