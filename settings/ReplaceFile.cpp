// Replacing a file's contents so that a failure part-way never leaves it truncated.
#include "settings/ReplaceFile.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A name beside the target that another instance of the program, exiting at the same moment,
// does not pick as well.
std::string temporaryPathFor(const std::string& target) {
  auto nonce = static_cast<std::uint64_t>(
      std::chrono::system_clock::now().time_since_epoch().count());
  try {
    std::random_device device;
    nonce ^= static_cast<std::uint64_t>(device()) << 16;
  } catch (const std::exception&) {
    // Without an entropy source the clock alone has to do.
  }
  static constexpr char kHexDigits[] = "0123456789abcdef";
  std::string suffix = ".tmp-";
  for (int shift = 60; shift >= 0; shift -= 4) {
    suffix += kHexDigits[(nonce >> shift) & 0xF];
  }
  return target + suffix;
}

}  // namespace

bool replaceFile(const std::string& path, const std::function<bool(std::FILE*)>& writeContent) {
  if (path.empty()) {
    return false;
  }
  std::error_code error;
  // Replacing a link by a plain file would cut it; write where the link points instead.
  std::string target = path;
  if (fs::is_symlink(fs::path(path), error)) {
    const fs::path resolved = fs::weakly_canonical(fs::path(path), error);
    if (error) {
      return false;
    }
    target = resolved.string();
  }
  const fs::path parent = fs::path(target).parent_path();
  if (!parent.empty()) {
    // A failure here shows up as a temporary file that cannot be opened.
    fs::create_directories(parent, error);
  }

  const std::string temporary = temporaryPathFor(target);
  std::FILE* file = std::fopen(temporary.c_str(), "w");
  if (file == nullptr) {
    return false;
  }
  bool written = writeContent(file);
  written = std::fflush(file) == 0 && written;
  written = std::fclose(file) == 0 && written;
  if (written) {
    // The new file gets the old one's permission bits rather than the process defaults.
    const fs::file_status old = fs::status(fs::path(target), error);
    if (!error && fs::is_regular_file(old)) {
      fs::permissions(fs::path(temporary), old.permissions(), error);
    }
    fs::rename(fs::path(temporary), fs::path(target), error);
    written = !error;
  }
  if (!written) {
    fs::remove(fs::path(temporary), error);
  }
  return written;
}
