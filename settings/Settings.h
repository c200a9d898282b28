// The settings lines and the settings file that carries the first six of them between runs.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "settings/SettingsLine.h"

// Ten texts; lines 0-5 are the skin, keep-on-top flag, transparency flag, window top, window
// left and level (named by SettingsLine), and lines 6-9 exist but never reach the file. Each holds
// whatever it was last given: 64 spaces at first, a file line with its line break after a read, the
// decimal digits of a value after setUnsigned.
class Settings {
 public:
  static constexpr int kLineCount = 10;
  // The lines read from and written to the file.
  static constexpr int kFileLineCount = 6;
  // Each file line is read into a buffer of this many bytes, so a line takes at most 19
  // characters and the rest of a longer file line becomes the next settings line.
  static constexpr int kReadBufferSize = 20;

  Settings();

  // The text of line `index`; the empty text for an index outside 0-9.
  const std::string& line(int index) const;
  const std::string& line(SettingsLine which) const { return line(static_cast<int>(which)); }
  // An index outside 0-9 is refused and changes nothing.
  void setLine(int index, std::string text);
  // The unsigned decimal form ("%u") of the value; a negative coordinate arrives as itself
  // plus 2^32.
  void setUnsigned(int index, std::uint32_t value);
  void setUnsigned(SettingsLine which, std::uint32_t value) {
    setUnsigned(static_cast<int>(which), value);
  }

  // Reads the file (text mode) into lines 0-5; the lines it does not supply keep their values.
  // True when the file was opened; false otherwise (also for an empty path, and for anything
  // but a regular file at the path).
  bool read(const std::filesystem::path& path);
  // The reading itself, from an open stream: one fgets per line, stopping at the end of the
  // stream or a read error. Returns how many lines were taken (0-6).
  int readFrom(std::FILE* file);

  // Replaces the file with lines 0-5, each followed by a line break, creating missing folders
  // (see replaceFile for what is never replaced). The old file stays intact unless the new one
  // was written completely. True when the file now holds the lines, false when it could not be
  // written (also for an empty path).
  bool write(const std::filesystem::path& path) const;
  // The writing itself, into an open stream: each of lines 0-5 followed by one line break, so
  // the file always has six lines. A line read from the file and never given a value since
  // brings its own line break, which is dropped once: a file that nothing changed comes back
  // as it was. A line never given any text (its first 64 spaces) is written as "0", the value
  // it reads as, so that it reads back as one line. False when a write failed.
  bool writeTo(std::FILE* file) const;

 private:
  std::array<std::string, kLineCount> lines_;
};
