// Environment variables set for a stretch of start-up and put back as they were afterwards.
#include "platform/sdl/ScopedEnvironment.h"

#include <cstdlib>

ScopedEnvironment::~ScopedEnvironment() {
  // Newest first, so a name set twice ends with its original value.
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    if (it->value) {
      setenv(it->name.c_str(), it->value->c_str(), 1);
    } else {
      unsetenv(it->name.c_str());
    }
  }
}

void ScopedEnvironment::set(const std::string& name, const std::string& value) {
  const char* old = std::getenv(name.c_str());
  saved_.push_back({name, old != nullptr ? std::optional<std::string>(old) : std::nullopt});
  setenv(name.c_str(), value.c_str(), 1);
}
