// The kept font answer: used while nothing fontconfig decides by has changed (a start then
// searches nothing), asked again otherwise, and never trusted when the file is damaged.
#include "gfx/FontLookup.h"
#include "gfx/FontSearch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "gfx/FontSearch.h"
#include "tests/support/SystemCallSpy.h"
#include "tests/support/TestScope.h"

namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

// Stands in for fontconfig with one face, counting the questions.
std::function<SystemFonts()> countingAsk(const fs::path& face, int& asked) {
  return [face, &asked] {
    ++asked;
    SystemFonts fonts;
    fonts.regular = {face.string(), 0};
    return fonts;
  };
}

TEST(FontLookup, KeptAnswerServesUntilWhatDecidesItChanges) {
  const fs::path folder = freshTestFolder("font-lookup-");
  const fs::path config = folder / "fonts.conf";
  const fs::path regular = folder / "regular.ttf";
  const fs::path bold = folder / "bold.ttf";
  const fs::path family = folder / "data" / "fonts" / "family";
  fs::create_directories(folder / "conf.d");
  fs::create_directories(family);
  writeFile(config, "<fontconfig/>\n");
  writeFile(regular, "regular");
  writeFile(bold, "bold");
  const std::string cache = (folder / "cache" / "fonts").string();
  ScopedVariable configFile("FONTCONFIG_FILE", config.string());
  ScopedVariable configPath("FONTCONFIG_PATH", folder.string());
  ScopedVariable dataHome("XDG_DATA_HOME", (folder / "data").string());
  ScopedVariable language("LANG", "en_GB.UTF-8");
  ScopedVariable allCategories("LC_ALL", std::nullopt);
  ScopedVariable home("HOME", (folder / "home").string());
  fs::create_directories(folder / "home" / ".fonts" / "family");

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

  // Rewrites the kept file, one line changed by `edit`.
  auto editCache = [&cache](const std::function<void(std::vector<std::string>&)>& edit) {
    std::ifstream in(cache);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    in.close();
    edit(lines);
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    writeFile(cache, text);
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
      {"LC_ALL set over it", [&] { allCategories.set("de_DE.UTF-8"); }, true},
      {"a font added below ~/.fonts",
       [&] { writeFile(folder / "home" / ".fonts" / "family" / "new.ttf", "new"); }, true},
      {"the kept answer's close fails: not kept",
       [&] { fs::remove(cache); spy::failCloseOfFileNamed("fonts.tmp-"); }, true},
      {"asked again after the failed close", [] {}, true},
      {"a file added to the configuration folder",
       [&] { writeFile(folder / "conf.d" / "50-more.conf", "<fontconfig/>\n"); }, true},
      {"a font added to a family's folder below a font folder",
       [&] { writeFile(family / "new.ttf", "new"); }, true},
      {"nothing after the new font", [] {}, false},
      {"the regular face replaced", [&] { writeFile(regular, "regular, newer"); }, true},
      {"the bold face removed", [&] { fs::remove(bold); }, true},
      {"nothing without bold", [] {}, false},
      {"a damaged cache file", [&] { writeFile(cache, "deradu fonts 1\nzz\n1 x\n"); }, true},
      {"a fifth line", [&] { editCache([](auto& lines) { lines.push_back("-"); }); }, true},
      {"a wrong header line",
       [&] { editCache([](auto& lines) { lines[0] = "deradu fonts 2"; }); }, true},
      {"a negative face index",
       [&] { editCache([&](auto& lines) { lines[2] = "-1 " + regular.string(); }); }, true},
      {"nothing after the repairs", [] {}, false},
      {"a cache file of another program's size",
       [&] { writeFile(cache, std::string(1 << 20, 'x')); }, true},
      {"a kept face path that is not absolute",
       [&] {
         editCache([](auto& lines) {
           lines.resize(2);
           lines.insert(lines.end(), {"0 regular.ttf", "-"});
         });
       },
       true},
      {"no fonts found", [&] { noFonts = true; fs::remove(cache); }, true},
      {"still none: not kept", [] {}, true},
      {"fonts again", [&] { noFonts = false; }, true},
  };
  for (const Step& step : steps) {
    step.make();
    const int before = asked;
    EXPECT_EQ(unchangedFonts(cache).has_value(), !step.asks) << step.change;
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

  // A start takes the unchanged answer without a search of its own.
  FontSearch search(cache, FontSearch::kDeadline, [] { return SystemFonts{{}, {}, "asked"}; });
  EXPECT_TRUE(search.answered());
  EXPECT_EQ(search.answer().regular.file, regular.string());

  // A cache under a file cannot be written: every run asks, and still gets its answer.
  const std::string unwritable = (regular / "fonts").string();
  for (int run = 0; run < 2; ++run) {
    const int before = asked;
    EXPECT_EQ(findSystemFonts(unwritable, ask).regular.file, regular.string());
    EXPECT_EQ(asked - before, 1);
  }
  fs::remove_all(folder);
}

TEST(FontLookup, KeptAnswerLeavesWhatIsNotItsOwnAlone) {
  const fs::path scratch = freshTestFolder("font-lookup-");
  const fs::path folder = scratch / "cache";
  const fs::path face = scratch / "face.ttf";
  const fs::path victim = scratch / "victim";
  const std::string cache = (folder / "fonts").string();
  writeFile(face, "face");
  // A name a temporary file could once be predicted by.
  const std::string predictable = "fonts.new" + std::to_string(getpid());
  const std::string oldLeftover = "fonts.tmp-00000000000000aa";
  const std::string youngLeftover = "fonts.tmp-00000000000000bb";
  const std::string linkedLeftover = "fonts.tmp-00000000000000cc";

  // The folder's entries with their kinds, and what the victim holds.
  auto describe = [&] {
    std::vector<std::string> entries;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
      const fs::file_type type = fs::symlink_status(entry.path()).type();
      entries.push_back(entry.path().filename().string() +
                        (type == fs::file_type::regular     ? ":file"
                         : type == fs::file_type::symlink ? ":link"
                         : type == fs::file_type::fifo    ? ":fifo"
                                                          : ":other"));
    }
    std::sort(entries.begin(), entries.end());
    std::string text;
    for (const std::string& entry : entries) text += entry + ' ';
    std::ifstream in(victim);
    std::string content;
    std::getline(in, content);
    return text + "victim " + content;
  };

  struct Case {
    const char* name;
    std::function<void()> plant;
    int asks;  // over two runs
    std::string after;
  };
  const Case cases[] = {
      {"a link at a predictable temporary name",
       [&] { fs::create_symlink(victim, folder / predictable); }, 1,
       predictable + ":link fonts:file victim precious"},
      {"a link at the cache path", [&] { fs::create_symlink(victim, cache); }, 2,
       "fonts:link victim precious"},
      {"a FIFO at the cache path", [&] { ASSERT_EQ(mkfifo(cache.c_str(), 0600), 0); }, 2,
       "fonts:fifo victim precious"},
      {"temporary files left by ended runs: only the old regular one goes",
       [&] {
         for (const std::string& name : {oldLeftover, youngLeftover}) writeFile(folder / name, "x");
         fs::last_write_time(folder / oldLeftover,
                             fs::last_write_time(folder / oldLeftover) - std::chrono::minutes(2));
         fs::create_symlink(victim, folder / linkedLeftover);
       },
       1, youngLeftover + ":file " + linkedLeftover + ":link fonts:file victim precious"},
  };
  for (const Case& each : cases) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    writeFile(victim, "precious");
    each.plant();
    int asked = 0;
    for (int run = 0; run < 2; ++run) {
      EXPECT_EQ(findSystemFonts(cache, countingAsk(face, asked)).regular.file, face.string())
          << each.name;
    }
    EXPECT_EQ(asked, each.asks) << each.name;
    EXPECT_EQ(describe(), each.after) << each.name;
  }
  fs::remove_all(scratch);
}

TEST(FontLookup, KeptAnswerIsSyncedBeforeItsRenameAndTheFolderAfter) {
  const fs::path folder = freshTestFolder("font-lookup-");
  const fs::path face = folder / "face.ttf";
  writeFile(face, "face");
  const std::string cache = (fs::canonical(folder) / "fonts").string();
  int asked = 0;
  std::vector<std::string> calls;
  spy::watchSyncs([&](const std::string& name) { calls.push_back("sync " + name); });
  spy::watchRenames([&](const std::string& from, const std::string& to) {
    calls.push_back("rename " + from + " " + to);
  });
  findSystemFonts(cache, countingAsk(face, asked));
  spy::watchSyncs(nullptr);
  spy::watchRenames(nullptr);
  ASSERT_EQ(calls.size(), 3u) << ::testing::PrintToString(calls);
  const std::string temporary = calls[0].substr(std::string("sync ").size());
  EXPECT_EQ(calls[1], "rename " + temporary + " " + cache);
  EXPECT_EQ(calls[2], "sync " + fs::canonical(folder).string());
  EXPECT_NE(temporary, cache);
  fs::remove_all(folder);
}

// The search's child opens fontconfig itself: a system without the library, or with one that
// lacks its functions, gets an answer that says so rather than a crash.
TEST(FontLookup, SearchWithoutFontconfigsLibraryAnswersWhy) {
  for (const char* soname : {"libfontconfig-missing.so.1", "libc.so.6"}) {
    FontSearch search("", FontSearch::kDeadline, [soname] { return askFontconfigIn(soname); });
    const SystemFonts fonts = search.answer();
    EXPECT_TRUE(fonts.regular.file.empty()) << soname;
    EXPECT_EQ(fonts.error, "fontconfig cannot be opened") << soname;
  }
}

TEST(FontLookup, CacheFileFollowsTheBaseDirectoryRules) {
  EXPECT_EQ(fontCacheFile("/xdg/cache", "/home/u"), "/xdg/cache/qor/revaziriv/fonts");
  EXPECT_EQ(fontCacheFile("relative", "/home/u"), "/home/u/.cache/qor/revaziriv/fonts");
  EXPECT_EQ(fontCacheFile(nullptr, "/home/u"), "/home/u/.cache/qor/revaziriv/fonts");
  EXPECT_EQ(fontCacheFile(nullptr, "relative"), "");
  EXPECT_EQ(fontCacheFile(nullptr, nullptr), "");
}

}  // namespace
