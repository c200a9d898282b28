// Environment variables set for a stretch of start-up and put back as they were afterwards.
#pragma once

#include <optional>
#include <string>
#include <vector>

// SDL reads a few settings from the environment only while it initialises. Setting them for
// that moment and restoring them afterwards keeps the program's own choices out of what the
// processes it starts (the URL opener) inherit. Not thread-safe: use before threads exist.
class ScopedEnvironment {
 public:
  ScopedEnvironment() = default;
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  void set(const std::string& name, const std::string& value);

 private:
  struct Saved {
    std::string name;
    std::optional<std::string> value;
  };
  std::vector<Saved> saved_;
};
