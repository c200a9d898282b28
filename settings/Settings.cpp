// The settings lines and the settings file that carries the first six of them between runs.
#include "settings/Settings.h"

#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

#include "settings/RegularFile.h"
#include "settings/ReplaceFile.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const {
    // The file was only read; nothing can be lost when closing it fails.
    std::fclose(file);
  }
};

bool isLineIndex(int index) { return index >= 0 && index < Settings::kLineCount; }

// Every line holds this many spaces until it is given a text.
constexpr std::size_t kFirstSpaces = 64;

bool isFirstText(std::string_view text) {
  return text.size() == kFirstSpaces && text.find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace

Settings::Settings() { lines_.fill(std::string(kFirstSpaces, ' ')); }

const std::string& Settings::line(int index) const {
  static const std::string kNoLine;
  return isLineIndex(index) ? lines_[static_cast<std::size_t>(index)] : kNoLine;
}

void Settings::setLine(int index, std::string text) {
  if (isLineIndex(index)) {
    lines_[static_cast<std::size_t>(index)] = std::move(text);
  }
}

void Settings::setUnsigned(int index, std::uint32_t value) {
  setLine(index, std::to_string(value));
}

bool Settings::read(const std::filesystem::path& path) {
  if (path.empty()) {
    return false;
  }
  // A FIFO, device or folder at the path reads as a file that cannot be opened, so start-up
  // never waits on one.
  const std::unique_ptr<std::FILE, FileCloser> file(openRegularFileForReading(path));
  if (!file) {
    return false;
  }
  readFrom(file.get());
  return true;
}

int Settings::readFrom(std::FILE* file) {
  int taken = 0;
  while (taken < kFileLineCount) {
    // Zero-filled, so the search for the end of the piece below always finds a NUL inside.
    std::array<char, kReadBufferSize> buffer{};
    if (std::fgets(buffer.data(), kReadBufferSize, file) == nullptr) {
      break;
    }
    // A NUL byte in the file ends the piece early; what follows it on that line is dropped.
    const char* begin = buffer.data();
    const auto* end = static_cast<const char*>(std::memchr(begin, '\0', buffer.size()));
    lines_[static_cast<std::size_t>(taken)].assign(begin, end);
    ++taken;
  }
  return taken;
}

bool Settings::write(const std::filesystem::path& path) const {
  return replaceFile(path, [this](std::FILE* file) { return writeTo(file); });
}

bool Settings::writeTo(std::FILE* file) const {
  for (int i = 0; i < kFileLineCount; ++i) {
    std::string_view text = lines_[static_cast<std::size_t>(i)];
    if (isFirstText(text)) {
      text = "0";
    } else if (!text.empty() && text.back() == '\n') {
      text.remove_suffix(1);
    }
    if (std::fprintf(file, "%.*s\n", static_cast<int>(text.size()), text.data()) < 0) {
      return false;
    }
  }
  // MinGW's fprintf counts the characters it formatted even when writing them failed; the
  // stream's error flag is what tells.
  return std::ferror(file) == 0;
}
