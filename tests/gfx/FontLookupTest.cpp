// The kept font answer: used while nothing fontconfig decides by has changed, asked again
// otherwise, and never trusted when the file is damaged.
#include "gfx/FontLookup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one scope.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedVariable() {
    if (saved_) {
      setenv(name_, saved_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  void set(const std::string& value) { setenv(name_, value.c_str(), 1); }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

void writeFile(const fs::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

TEST(FontLookup, KeptAnswerServesUntilWhatDecidesItChanges) {
  const fs::path folder = fs::path(DERADU_TEST_OUTPUT) / "font-lookup";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path config = folder / "fonts.conf";
  const fs::path regular = folder / "regular.ttf";
  const fs::path bold = folder / "bold.ttf";
  writeFile(config, "<fontconfig/>\n");
  writeFile(regular, "regular");
  writeFile(bold, "bold");
  const std::string cache = (folder / "cache" / "fonts").string();
  ScopedVariable configFile("FONTCONFIG_FILE", config.string());
  ScopedVariable language("LANG", "en_GB.UTF-8");

  // Stands in for fontconfig: the faces that exist, or none when `noFonts` is set.
  int asked = 0;
  bool noFonts = false;
  const std::function<SystemFonts()> ask = [&] {
    ++asked;
    SystemFonts fonts;
    if (noFonts) {
      fonts.error = "fontconfig knows no font files";
      return fonts;
    }
    fonts.regular = {regular.string(), 0};
    if (fs::exists(bold)) fonts.bold = {bold.string(), 1};
    return fonts;
  };

  struct Step {
    const char* change;
    std::function<void()> make;
    bool asks;
  };
  const Step steps[] = {
      {"the first run", [] {}, true},
      {"nothing", [] {}, false},
      {"an edited configuration file",
       [&] {
         writeFile(config, "<fontconfig><dir>/elsewhere</dir></fontconfig>\n");
         fs::last_write_time(config, fs::last_write_time(config) + std::chrono::seconds(2));
       },
       true},
      {"nothing after the edit", [] {}, false},
      {"another locale", [&] { language.set("ru_RU.UTF-8"); }, true},
      {"the bold face removed", [&] { fs::remove(bold); }, true},
      {"nothing without bold", [] {}, false},
      {"a damaged cache file", [&] { writeFile(cache, "deradu fonts 1\nzz\n1 x\n"); }, true},
      {"a cache file of another program's size",
       [&] { writeFile(cache, std::string(1 << 20, 'x')); }, true},
      {"a kept face path that is not absolute",
       [&] {
         std::ifstream in(cache);
         std::string header, stamp;
         std::getline(in, header);
         std::getline(in, stamp);
         in.close();
         writeFile(cache, header + '\n' + stamp + "\n0 regular.ttf\n-\n");
       },
       true},
      {"no fonts found", [&] { noFonts = true; fs::remove(cache); }, true},
      {"still none: not kept", [] {}, true},
      {"fonts again", [&] { noFonts = false; }, true},
  };
  for (const Step& step : steps) {
    step.make();
    const int before = asked;
    const SystemFonts fonts = findSystemFonts(cache, ask);
    EXPECT_EQ(asked - before, step.asks ? 1 : 0) << step.change;
    if (noFonts) {
      EXPECT_TRUE(fonts.regular.file.empty()) << step.change;
      EXPECT_EQ(fonts.error, "fontconfig knows no font files") << step.change;
    } else {
      EXPECT_EQ(fonts.regular.file, regular.string()) << step.change;
      EXPECT_EQ(fonts.bold.file, fs::exists(bold) ? bold.string() : "") << step.change;
      EXPECT_EQ(fonts.bold.index, fs::exists(bold) ? 1 : 0) << step.change;
    }
  }

  // A cache under a file cannot be written: every run asks, and still gets its answer.
  const std::string unwritable = (regular / "fonts").string();
  for (int run = 0; run < 2; ++run) {
    const int before = asked;
    EXPECT_EQ(findSystemFonts(unwritable, ask).regular.file, regular.string());
    EXPECT_EQ(asked - before, 1);
  }
  fs::remove_all(folder);
}

TEST(FontLookup, CacheFileFollowsTheBaseDirectoryRules) {
  EXPECT_EQ(fontCacheFile("/xdg/cache", "/home/u"), "/xdg/cache/qor/revaziriv/fonts");
  EXPECT_EQ(fontCacheFile("relative", "/home/u"), "/home/u/.cache/qor/revaziriv/fonts");
  EXPECT_EQ(fontCacheFile(nullptr, "/home/u"), "/home/u/.cache/qor/revaziriv/fonts");
  EXPECT_EQ(fontCacheFile(nullptr, "relative"), "");
  EXPECT_EQ(fontCacheFile(nullptr, nullptr), "");
}

}  // namespace
