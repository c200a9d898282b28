// Replacing a file's contents so that a failure part-way never leaves it truncated.
#include "settings/ReplaceFile.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include "settings/RegularFile.h"

namespace fs = std::filesystem;

namespace {

// What follows the target's name in a temporary file's name: ".tmp-" and 16 hexadecimal digits.
constexpr std::string_view kTemporaryMark = ".tmp-";
constexpr std::size_t kNonceDigits = 16;
// A temporary file younger than this may belong to another instance saving right now.
constexpr auto kLeftoverAge = std::chrono::minutes(1);
// As many links as the system itself follows before it calls it a loop.
constexpr int kMostLinks = 40;

// A name beside the target that another instance of the program, exiting at the same moment,
// does not pick as well.
fs::path temporaryPathFor(const fs::path& target) {
  auto nonce = static_cast<std::uint64_t>(
      std::chrono::system_clock::now().time_since_epoch().count());
  try {
    std::random_device device;
    nonce ^= static_cast<std::uint64_t>(device()) << 16;
  } catch (const std::exception&) {
    // Without an entropy source the clock alone has to do.
  }
  static constexpr char kHexDigits[] = "0123456789abcdef";
  std::string suffix(kTemporaryMark);
  for (int shift = 60; shift >= 0; shift -= 4) {
    suffix += kHexDigits[(nonce >> shift) & 0xF];
  }
  fs::path temporary = target;
  temporary += suffix;
  return temporary;
}

// Names compared in the system's own characters (wide on Windows), so that no name in the
// folder needs a conversion that could fail.
bool isTemporaryName(const fs::path::string_type& name, const fs::path::string_type& targetName) {
  const std::size_t prefix = targetName.size() + kTemporaryMark.size();
  if (name.size() != prefix + kNonceDigits || name.compare(0, targetName.size(), targetName) != 0) {
    return false;
  }
  for (std::size_t i = 0; i < kTemporaryMark.size(); ++i) {
    if (name[targetName.size() + i] != static_cast<fs::path::value_type>(kTemporaryMark[i])) {
      return false;
    }
  }
  for (std::size_t i = prefix; i < name.size(); ++i) {
    const auto c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

// Temporary files of this target that a run killed between its write and its rename left
// behind. Only regular files with exactly our naming pattern and old enough to be nobody's
// current save are removed; a failure to remove one is left for the next save.
void removeLeftovers(const fs::path& target) {
  std::error_code error;
  const fs::path::string_type targetName = target.filename().native();
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  const auto oldest = fs::file_time_type::clock::now() - kLeftoverAge;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    std::error_code ignored;
    if (!isTemporaryName(entry->path().filename().native(), targetName) ||
        !entry->is_regular_file(ignored) || entry->is_symlink(ignored) ||
        entry->last_write_time(ignored) > oldest) {
      continue;
    }
    removeFile(entry->path());
  }
}

// The file the path finally names, links followed one by one. A link whose target does not
// exist yet gives that target, so writing creates it and the link stays. Nothing when a link
// cannot be read or the links go round in a loop.
std::optional<fs::path> followLinks(const fs::path& path) {
  fs::path current = path;
  for (int hops = 0; hops <= kMostLinks; ++hops) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(current, error))) return current;
    const fs::path link = fs::read_symlink(current, error);
    if (error) return std::nullopt;
    current = link.is_absolute() ? link : current.parent_path() / link;
  }
  return std::nullopt;
}

// The fallback when no temporary file can be made or renamed beside the target (a read-only
// folder, a sticky folder, a name too long to take the temporary mark): the target itself, when
// its own permission allows it, or made anew when it does not exist; a new file that could not
// be written whole is removed, as the old state was no file at all.
bool writeInPlace(const fs::path& target, const std::function<bool(std::FILE*)>& writeContent,
                  bool exists) {
  if (!exists) {
    std::FILE* file = createNewFile(target);
    if (file == nullptr) return false;
    const bool written = writeContent(file);
    if (finishNewFile(file) && written) return true;
    removeFile(target);
    return false;
  }
  std::FILE* file = openRegularFileForWriting(target);
  if (file == nullptr) return false;
  const bool written = writeContent(file);
  return finishRegularFile(file) && written;
}

}  // namespace

bool replaceFile(const fs::path& path, const std::function<bool(std::FILE*)>& writeContent) {
  if (path.empty()) {
    return false;
  }
  const std::optional<fs::path> found = followLinks(path);
  if (!found) {
    return false;
  }
  const fs::path& target = *found;
  std::error_code error;
  const fs::file_status old = fs::symlink_status(target, error);
  const bool exists = old.type() != fs::file_type::not_found;
  // Only a regular file is ever replaced: a device, a FIFO, a folder or a file whose kind
  // cannot be told is left alone, and so is a file that may not be written.
  if (exists && !fs::is_regular_file(old)) {
    return false;
  }
  if (exists) {
    std::FILE* probe = openRegularFileForWriting(target);
    if (probe == nullptr) {
      return false;
    }
    // Nothing was written through the probe.
    std::fclose(probe);
  }
  const fs::path parent = target.parent_path();
  if (!parent.empty()) {
    // A failure here shows up as a temporary file that cannot be opened.
    makeFolders(parent);
  }
  removeLeftovers(target);

  const fs::path temporary = temporaryPathFor(target);
  // The new file gets the old one's permission bits rather than the process defaults, before
  // its sync, so that they reach the disk with it.
  std::FILE* file =
      createNewFile(temporary, exists ? std::optional(old.permissions()) : std::nullopt);
  if (file == nullptr) {
    return writeInPlace(target, writeContent, exists);
  }
  bool written = writeContent(file);
  written = finishNewFile(file) && written;
  if (!written) {
    // The contents could not be written (a full disk): the old file stays as it was.
    removeFile(temporary);
    return false;
  }
  if (!moveIntoPlace(temporary, target)) {
    removeFile(temporary);
    return writeInPlace(target, writeContent, exists);
  }
  return true;
}
