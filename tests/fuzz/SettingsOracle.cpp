// What reading any bytes as the settings file must give, checked against a plain model of fgets.
#include "SettingsOracle.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "settings/DecimalText.h"
#include "settings/Settings.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// fgets into a 20-byte buffer, one call per line, pieces cut at the first NUL.
std::vector<std::string> modelLines(const std::uint8_t* bytes, std::size_t size) {
  std::vector<std::string> lines;
  std::size_t position = 0;
  while (lines.size() < Settings::kFileLineCount && position < size) {
    std::size_t length = 0;
    while (position + length < size && length < Settings::kReadBufferSize - 1) {
      ++length;
      if (bytes[position + length - 1] == '\n') {
        break;
      }
    }
    const auto* begin = reinterpret_cast<const char*>(bytes + position);
    lines.emplace_back(begin, std::find(begin, begin + length, '\0'));
    position += length;
  }
  return lines;
}

// strtol where long has 32 bits, from the C library itself.
std::int32_t libraryDecimal(const std::string& text) {
  errno = 0;
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  return static_cast<std::int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

std::string sentinel(int index) { return "sentinel " + std::to_string(index); }

}  // namespace

std::string checkSettingsBytes(const std::uint8_t* bytes, std::size_t size) {
  // fmemopen wants a writable buffer even for reading.
  std::vector<char> copy(bytes, bytes + size);
  copy.push_back('\0');
  File stream(fmemopen(copy.data(), size, "r"));
  if (!stream) {
    return "fmemopen failed";
  }
  Settings settings;
  for (int i = 0; i < Settings::kLineCount; ++i) {
    settings.setLine(i, sentinel(i));
  }
  const int taken = settings.readFrom(stream.get());
  stream.reset();

  const std::vector<std::string> expected = modelLines(bytes, size);
  if (taken != static_cast<int>(expected.size())) {
    return "took " + std::to_string(taken) + " lines, expected " +
           std::to_string(expected.size());
  }
  for (int i = 0; i < Settings::kLineCount; ++i) {
    const std::string& line = settings.line(i);
    const std::string want =
        i < taken ? expected[static_cast<std::size_t>(i)] : sentinel(i);
    if (line != want) {
      return "line " + std::to_string(i) + " differs from the model";
    }
    if (i < taken) {
      const std::size_t lineBreak = line.find('\n');
      if (line.size() > Settings::kReadBufferSize - 1 || line.find('\0') != std::string::npos ||
          (lineBreak != std::string::npos && lineBreak + 1 != line.size())) {
        return "line " + std::to_string(i) + " is not one fgets piece";
      }
    }
    if (parseDecimal(line) != libraryDecimal(line)) {
      return "line " + std::to_string(i) + " parses unlike strtol";
    }
  }
  const std::string raw(copy.data());
  if (parseDecimal(std::string_view(copy.data(), size)) != libraryDecimal(raw)) {
    return "the whole input parses unlike strtol";
  }

  char* written = nullptr;
  std::size_t writtenSize = 0;
  File sink(open_memstream(&written, &writtenSize));
  if (!sink) {
    return "open_memstream failed";
  }
  const bool wrote = settings.writeTo(sink.get());
  sink.reset();
  const std::unique_ptr<char, decltype(&std::free)> writtenOwner(written, &std::free);
  // Each line ends in exactly one line break: a line read with its own has it dropped once.
  std::string want;
  for (int i = 0; i < Settings::kFileLineCount; ++i) {
    std::string line = settings.line(i);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    want += line + "\n";
  }
  if (!wrote || std::string(written, writtenSize) != want) {
    return "writing the lines back gave other bytes";
  }
  return {};
}
