// Tests of the settings lines, the settings file and the decimal parsing that start-up uses.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>
#else
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

#include "settings/DecimalText.h"
#include "settings/ReplaceFile.h"
#include "settings/Settings.h"
#include "settings/SettingsPath.h"
#include "tests/support/SystemCallSpy.h"

namespace fs = std::filesystem;

namespace {

// A FIFO and a device like /dev/null (made only by root), at `path`: POSIX kinds of file.
bool makeFifo([[maybe_unused]] const std::string& path) {
#ifdef _WIN32
  return false;
#else
  return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}
bool makeNullDevice([[maybe_unused]] const std::string& path) {
#ifdef _WIN32
  return false;
#else
  return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
#endif
}

const std::string kSpaces(64, ' ');
// A file the program wrote, and what a save of skin 1 over unset lines leaves instead.
const std::string kOld = "1\n1\n0\n120\n300\n3\n";
const std::string kSkinOneSaved = "1\n0\n0\n0\n0\n0\n";
#ifdef _WIN32
const std::string kEol = "\r\n";
#else
const std::string kEol = "\n";
#endif

// A fresh folder per test, removed afterwards.
class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device device;
    folder_ = fs::temp_directory_path() / ("deradu-settings-" + std::to_string(device()));
    fs::create_directories(folder_);
    path_ = (folder_ / "revAziriv.ini").string();
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // Exact bytes, so a CR LF file really holds CR LF.
  static void putBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  // Text as a text-mode reader sees it, so line ends compare the same on every system.
  static std::string textOf(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // Whether fopen(..., "w") would be allowed on the existing file, asked without emptying it.
  static bool mayOpenForWriting(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (file != nullptr) std::fclose(file);
    return file != nullptr;
  }
  static bool saveSkinOne(const fs::path& path) {
    Settings settings;
    settings.setUnsigned(SettingsLine::kSkin, 1);
    return settings.write(path);
  }
  static std::vector<std::string> entriesOf(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  fs::path folder_;
  std::string path_;
};

TEST(DecimalText, ParsesLikeStrtolWithA32BitLong) {
  struct Case {
    std::string_view text;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"", 0},
      {"                                                                ", 0},
      {"42", 42},
      {"  42", 42},
      {"\t\n\v\f\r 7", 7},
      {"+5", 5},
      {"-5", -5},
      {"-0", 0},
      {"- 5", 0},
      {"+-5", 0},
      {"-", 0},
      {"12abc", 12},
      {"abc", 0},
      {"1 2", 1},
      {"0x10", 0},
      {"1\n", 1},
      {"1\r\n", 1},
      {"300\r\n", 300},
      {"000000000000000000000123", 123},
      {"2147483647", 2147483647},
      {"2147483648", 2147483647},
      {"4294967256", 2147483647},
      {"99999999999999999999999999", 2147483647},
      {"-2147483648", INT32_MIN},
      {"-2147483649", INT32_MIN},
      {"-99999999999999999999999999", INT32_MIN},
      {std::string_view("5\0 6", 4), 5},
      {std::string_view("\0 5", 3), 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseDecimal(c.text), c.expected) << "text \"" << c.text << "\"";
  }
}

#ifdef _WIN32
TEST(SettingsPath, LiesInTheMachineWideApplicationDataFolderOnWindows) {
  wchar_t folder[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, folder), S_OK);
  const std::optional<fs::path> path = settingsFilePath();
  ASSERT_TRUE(path);
  EXPECT_EQ(path->native(), std::wstring(folder) + L"\\qor\\revaziriv\\revAziriv.ini");
}
#else
TEST(SettingsPath, FollowsTheXdgRulesOnLinux) {
  struct Case {
    const char* xdgConfigHome;
    const char* home;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"/x/cfg", "/home/u", "/x/cfg/qor/revaziriv/revAziriv.ini"},
      {"/x/cfg/", "/home/u", "/x/cfg/qor/revaziriv/revAziriv.ini"},
      {nullptr, "/home/u", "/home/u/.config/qor/revaziriv/revAziriv.ini"},
      {"", "/home/u", "/home/u/.config/qor/revaziriv/revAziriv.ini"},
      {"relative/cfg", "/home/u/", "/home/u/.config/qor/revaziriv/revAziriv.ini"},
      {nullptr, "/", "/.config/qor/revaziriv/revAziriv.ini"},
      {nullptr, nullptr, std::nullopt},
      {"", "", std::nullopt},
      {"relative", "also/relative", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(linuxSettingsPath(c.xdgConfigHome, c.home), c.expected)
        << "XDG_CONFIG_HOME " << (c.xdgConfigHome ? c.xdgConfigHome : "(unset)") << ", HOME "
        << (c.home ? c.home : "(unset)");
  }
}
#endif

// Spaces parse as 0 (a row of the table above), so unread lines read as zeros.
TEST_F(SettingsFileTest, LinesStartAsSpacesThatNoFileNorAnIndexOutsideTheTenChanges) {
  Settings settings;
  settings.setLine(-1, "x");
  settings.setUnsigned(10, 7);
  EXPECT_EQ(settings.line(-1), "");
  EXPECT_EQ(settings.line(10), "");
  EXPECT_FALSE(settings.read(path_));
  EXPECT_FALSE(settings.read(""));
  for (int i = 0; i < Settings::kLineCount; ++i) {
    EXPECT_EQ(settings.line(i), kSpaces) << "line " << i;
  }
}

// Files as a person or another system might leave them, and the lines each one gives.
TEST_F(SettingsFileTest, ReadsFileLinesInPiecesOfAtMost19Characters) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;  // lines 0-5 afterwards
  };
  const std::string s = kSpaces;
  // Linux keeps the CR of a CR LF in the line, Windows' text mode drops it.
  const std::string crlf = kEol == "\n" ? "\r\n" : "\n";
  const Case cases[] = {
      {"six lines", "1\n1\n0\n120\n300\n3\n", {"1\n", "1\n", "0\n", "120\n", "300\n", "3\n"}},
      {"three lines", "1\n1\n0\n", {"1\n", "1\n", "0\n", s, s, s}},
      {"empty file", "", {s, s, s, s, s, s}},
      {"no final line break", "1\n2", {"1\n", "2", s, s, s, s}},
      {"more than six lines", "1\n2\n3\n4\n5\n6\n7\n8\n", {"1\n", "2\n", "3\n", "4\n", "5\n", "6\n"}},
      {"25 digits shift the rest down",
       "1234567890123456789012345\n1\n0\n120\n300\n3\n",
       {"1234567890123456789", "012345\n", "1\n", "0\n", "120\n", "300\n"}},
      {"exactly 19 characters", "1234567890123456789\n5\n",
       {"1234567890123456789", "\n", "5\n", s, s, s}},
      {"one long line", std::string(100, 'a'),
       {std::string(19, 'a'), std::string(19, 'a'), std::string(19, 'a'), std::string(19, 'a'),
        std::string(19, 'a'), std::string(5, 'a')}},
      {"NUL bytes end a piece", std::string("ab\0cd\n\0\nX\n", 10), {"ab", "", "X\n", s, s, s}},
      {"blank lines", "\n\n7\n", {"\n", "\n", "7\n", s, s, s}},
      {"CR LF written on Windows", "1\r\n1\r\n0\r\n120\r\n300\r\n3\r\n",
       {"1" + crlf, "1" + crlf, "0" + crlf, "120" + crlf, "300" + crlf, "3" + crlf}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    putBytes(path_, c.bytes);
    Settings settings;
    settings.setLine(6, "untouched");
    EXPECT_TRUE(settings.read(path_));
    for (int i = 0; i < Settings::kFileLineCount; ++i) {
      EXPECT_EQ(settings.line(i), c.lines[static_cast<std::size_t>(i)]) << "line " << i;
    }
    EXPECT_EQ(settings.line(6), "untouched");
    EXPECT_EQ(settings.line(7), kSpaces);
  }
}

// A save writes the first six lines, one a line: values as they were set, lines read and never
// given a value as they came, spaces as the 0 they read as.
TEST_F(SettingsFileTest, WritesTheFirstSixLinesOverWhateverWasThere) {
  struct Case {
    const char* name;
    std::optional<std::string> before;
    std::vector<std::pair<int, std::int32_t>> values;  // set after reading
    std::string after;
  };
  const std::string longLine = std::string(19, 'x') + "\n";
  const std::string crLf = "1\r\n1\r\n0\r\n120\r\n300\r\n3\r\n";
  const Case cases[] = {
      {"live values into no file", std::nullopt,
       {{0, 1}, {1, 0}, {2, 0}, {3, 30}, {4, 40}, {5, 3}, {6, 7}}, "1\n0\n0\n30\n40\n3\n"},
      {"six lines", kOld, {}, kOld},
      {"CR LF", crLf, {}, crLf},
      {"blank lines and no last line break", "\n\n7\n9", {}, "\n\n7\n9\n0\n0\n"},
      {"a longer old file", std::string(500, 'x') + "\n9\n9\n9\n9\n9\n9\n9\n", {},
       longLine + longLine + longLine + longLine + longLine + longLine},
      {"negative coordinates", std::nullopt, {{3, -1}, {4, -40}},
       "0\n0\n0\n4294967295\n4294967256\n0\n"},
  };
  // A lone LF stands for this system's line end.
  const auto native = [](const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      out += text[i] == '\n' && (i == 0 || text[i - 1] != '\r') ? kEol : std::string(1, text[i]);
    }
    return out;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(path_);
    if (c.before) putBytes(path_, native(*c.before));
    Settings settings;
    EXPECT_EQ(settings.read(path_), c.before.has_value());
    for (const auto& [line, value] : c.values) {
      settings.setUnsigned(line, static_cast<std::uint32_t>(value));
    }
    EXPECT_TRUE(settings.write(path_));
    std::ifstream in(path_, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), native(c.after));
  }
}

TEST_F(SettingsFileTest, CreatesMissingFolders) {
  const std::string nested = (folder_ / "qor" / "revaziriv" / "revAziriv.ini").string();
  EXPECT_TRUE(saveSkinOne(nested));
  EXPECT_EQ(textOf(nested), kSkinOneSaved);
  EXPECT_EQ(entriesOf(fs::path(nested).parent_path()), std::vector<std::string>{"revAziriv.ini"});
}

TEST_F(SettingsFileTest, AFailedSaveKeepsTheOldFileAndLeavesNoTemporaryFile) {
  struct Case {
    const char* name;
    std::function<bool()> save;
  };
  const Case cases[] = {
      {"no path",
       [] { return Settings().write("") || replaceFile("", [](std::FILE*) { return true; }); }},
      {"the disk fills halfway",
       [this] {
         return replaceFile(path_, [](std::FILE* file) {
           std::fputs("2\n0\n", file);
           return false;
         });
       }},
#ifndef _WIN32
      {"the new file's close fails",
       [this] {
         spy::failCloseOfFileNamed("revAziriv.ini.tmp-");
         return saveSkinOne(path_);
       }},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    putBytes(path_, kOld);
    EXPECT_FALSE(c.save());
    EXPECT_EQ(textOf(path_), kOld);
    EXPECT_EQ(entriesOf(folder_), std::vector<std::string>{"revAziriv.ini"});
  }
}

TEST_F(SettingsFileTest, FolderThatIsAFileIsLeftAlone) {
  const std::string blocker = (folder_ / "qor").string();
  putBytes(blocker, "not a folder");
  Settings settings;
  EXPECT_FALSE(settings.write((folder_ / "qor" / "revaziriv" / "revAziriv.ini").string()));
  EXPECT_EQ(textOf(blocker), "not a folder");
  EXPECT_EQ(entriesOf(folder_), std::vector<std::string>{"qor"});
}

TEST_F(SettingsFileTest, StreamWriteFailureIsReported) {
  // Linux's always-full device; elsewhere there is nothing to test here.
  std::FILE* full = std::fopen("/dev/full", "w");
  if (full == nullptr) {
    GTEST_SKIP() << "no /dev/full";
  }
  // Unbuffered, so the very first line fails rather than a later flush.
  std::setvbuf(full, nullptr, _IONBF, 0);
  Settings settings;
  EXPECT_FALSE(settings.writeTo(full));
  std::fclose(full);
}

// Whatever lies at the settings path, a save replaces only a regular file that may be written,
// follows links to it and never waits on anything else.
TEST_F(SettingsFileTest, EachKindOfFileIsReadAndWrittenOnlyAsARegularFile) {
  const std::string& old = kOld;
  const std::string saved = "5\n0\n0\n0\n0\n2\n";
  const fs::path real = folder_ / "real.ini";
  // A kind this system or this user cannot make is skipped.
  const auto link = [this](const fs::path& to, const fs::path& at) {
    std::error_code error;
    fs::create_symlink(to, at, error);
    return !error;
  };
  struct Case {
    const char* kind;
    std::function<bool()> make;
    bool read;                    // read's result
    std::function<bool()> wrote;  // whether the save may write
    std::function<std::string()> after;  // what is wrong afterwards, or empty
  };
  const auto yes = [] { return true; };
  const auto no = [] { return false; };
  const auto holds = [](const fs::path& file, const std::string& text) {
    return [file, text] {
      const std::string found = textOf(file.string());
      return found == text ? std::string() : "holds \"" + found + "\"";
    };
  };
  const auto isA = [](const fs::path& at, fs::file_type type) {
    return [at, type] {
      std::error_code error;
      return fs::symlink_status(at, error).type() == type ? std::string() : "kind changed";
    };
  };
  // The permission bits a file had before the save; a save must give the new file the same.
  fs::perms before = fs::perms::none;
  const auto keepsItsPermissions = [&] {
    const std::string held = holds(path_, saved)();
    if (!held.empty()) return held;
    return fs::status(path_).permissions() == before ? std::string() : "permissions changed";
  };
  const Case cases[] = {
      {"regular file", [&] { putBytes(path_, old); return true; }, true, yes, holds(path_, saved)},
      {"file only its owner may read",
       [&] {
         putBytes(path_, old);
         fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write);
         before = fs::status(path_).permissions();
         return true;
       },
       true, yes, keepsItsPermissions},
      {"link to a regular file",
       [&] { putBytes(real.string(), old); return link(real, path_); }, true, yes,
       [&] { return fs::is_symlink(path_) ? holds(real, saved)() : "the link was cut"; }},
      {"link to a link to a regular file",
       [&] { putBytes(real.string(), old); return link(real, folder_ / "middle") &&
                                                  link("middle", path_); }, true, yes,
       holds(real, saved)},
      {"dangling link", [&] { return link(folder_ / "new" / "real.ini", path_); }, false, yes,
       [&] { return fs::is_symlink(path_) ? holds(folder_ / "new" / "real.ini", saved)()
                                          : "the link was cut"; }},
      {"links in a loop", [&] { return link("b", path_) && link(path_, folder_ / "b"); }, false, no,
       isA(path_, fs::file_type::symlink)},
      {"folder", [&] { return fs::create_directory(path_); }, false, no,
       [&] { return fs::is_empty(path_) ? "" : "written into"; }},
      {"read-only file",
       [&] {
         putBytes(path_, old);
         fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read |
                                    fs::perms::others_read);
         return true;
       },
       // Whatever fopen(..., "w") would be allowed (root may write it).
       1, [&] { return mayOpenForWriting(path_); },
       [&] { return holds(path_, mayOpenForWriting(path_) ? saved : old)(); }},
      {"writable file in a read-only folder",
       [&] {
         putBytes(path_, old);
         fs::permissions(folder_, fs::perms::owner_write | fs::perms::group_write |
                                      fs::perms::others_write, fs::perm_options::remove);
         return true;
       },
       true, yes, holds(path_, saved)},
      {"FIFO nobody writes", [&] { return makeFifo(path_); }, false, no,
       isA(path_, fs::file_type::fifo)},
      {"device node", [&] { return makeNullDevice(path_); }, false, no,
       isA(path_, fs::file_type::character)},
  };
  // The same folder for each case, emptied, since the cases name their paths in it. Windows
  // removes nothing read-only, so the write permission comes back first.
  const auto emptyFolder = [this] {
    std::error_code ignored;
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (const auto& entry : fs::directory_iterator(folder_, ignored)) {
      if (!entry.is_symlink(ignored)) {
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
      }
    }
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    emptyFolder();
    if (!c.make()) {
      std::printf("skipped: %s cannot be made here\n", c.kind);
    } else {
      Settings settings;
      EXPECT_EQ(settings.read(path_), c.read);
      for (int i = 0; i < Settings::kFileLineCount; ++i) {
        settings.setLine(i, std::string(1, saved[static_cast<std::size_t>(2 * i)]));
      }
      const bool wrote = c.wrote();
      EXPECT_EQ(settings.write(path_), wrote);
      EXPECT_EQ(c.after(), "");
    }
  }
  emptyFolder();
}

// A save removes the temporary files that killed saves left, and nothing else: not another
// file's, not a name that only looks alike, not a link or a folder, not one young enough to be
// another instance's save under way.
TEST_F(SettingsFileTest, CleanupRemovesOnlyOldLeftoversOfItsOwnName) {
  using namespace std::chrono_literals;
  enum Kind { kFile, kLink, kFolder };
  struct Case {
    const char* name;
    Kind kind;
    fs::file_time_type::duration age;
    bool survives;
  };
  const Case cases[] = {
      {"revAziriv.ini.tmp-0123456789abcdef", kFile, 2h, false},
      {"revAziriv.ini.tmp-1111111111111111", kFile, 70s, false},
      {"revAziriv.ini.tmp-2222222222222222", kFile, 50s, true},  // another save under way
      {"revAziriv.ini.tmp-3333333333333333", kLink, 2h, true},
      {"revAziriv.ini.tmp-4444444444444444", kFolder, 2h, true},
      {"revAziriv.ini.tmp-ABCDEF0123456789", kFile, 2h, true},
      {"revAziriv.ini.tmp-0123456789abcde", kFile, 2h, true},
      {"revAziriv.ini.tmp-0123456789abcdef0", kFile, 2h, true},
      {"revAziriv.ini.tmp-notours", kFile, 2h, true},
      {"revAziriv.ini.tmp0123456789abcdef", kFile, 2h, true},
      {"xrevAziriv.ini.tmp-0123456789abcdef", kFile, 2h, true},
      {"other.ini.tmp-0123456789abcdef", kFile, 2h, true},
  };
  putBytes(path_, kOld);
  // The link's own age is its target's, which is old and not ours.
  putBytes((folder_ / "target.ini").string(), "not ours");
  fs::last_write_time(folder_ / "target.ini", fs::file_time_type::clock::now() - 2h);
  std::vector<std::string> expected = {"revAziriv.ini", "target.ini"};
  for (const Case& c : cases) {
    const fs::path at = folder_ / c.name;
    std::error_code error;
    if (c.kind == kLink) {
      fs::create_symlink("target.ini", at, error);
      if (error) {
        std::printf("skipped: no symbolic links here\n");
        continue;
      }
    } else if (c.kind == kFolder) {
      fs::create_directory(at);
    } else {
      putBytes(at.string(), "half");
    }
    if (c.kind != kLink) {
      // A folder whose time cannot be set here stays young, and survives all the same.
      fs::last_write_time(at, fs::file_time_type::clock::now() - c.age, error);
    }
    if (c.survives) expected.push_back(c.name);
  }
  EXPECT_TRUE(saveSkinOne(path_));
  EXPECT_EQ(textOf(path_), kSkinOneSaved);
  std::vector<std::string> found = entriesOf(folder_);
  std::sort(found.begin(), found.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
  EXPECT_EQ(textOf((folder_ / "target.ini").string()), "not ours");
}

#ifndef _WIN32
// As the system resolves a path: through 40 links, and no more.
TEST_F(SettingsFileTest, SavesThroughFortyLinksButNotFortyOne) {
  for (const int links : {40, 41}) {
    const fs::path chain = folder_ / std::to_string(links);
    fs::create_directories(chain);
    putBytes((chain / "real.ini").string(), kOld);
    for (int i = 0; i < links; ++i) {
      const std::string next = i + 1 < links ? "link" + std::to_string(i + 1) : "real.ini";
      fs::create_symlink(next, chain / ("link" + std::to_string(i)));
    }
    SCOPED_TRACE(std::to_string(links) + " links");
    const bool saves = links <= 40;
    EXPECT_EQ(saveSkinOne(chain / "link0"), saves);
    EXPECT_EQ(textOf((chain / "real.ini").string()), saves ? kSkinOneSaved : kOld);
    EXPECT_TRUE(fs::is_symlink(chain / "link0"));
  }
}

// Through the seam: the new file reaches the disk before its name replaces the old file's, and
// the folder's record of the rename after it, so a power cut leaves the old file or the new one.
TEST_F(SettingsFileTest, SyncsTheNewFileBeforeItsRenameAndTheFolderAfterIt) {
  putBytes(path_, kOld);
  struct Sync {
    std::string name;
    std::string heldThen;  // what the settings path held at that moment
  };
  std::vector<Sync> syncs;
  spy::watchSyncs([&](const std::string& name) { syncs.push_back({name, textOf(path_)}); });
  const bool wrote = saveSkinOne(path_);
  spy::watchSyncs(nullptr);
  EXPECT_TRUE(wrote);
  ASSERT_EQ(syncs.size(), 2u);
  EXPECT_EQ(fs::path(syncs[0].name).filename().string().rfind("revAziriv.ini.tmp-", 0), 0u)
      << syncs[0].name;
  EXPECT_EQ(syncs[0].heldThen, kOld);
  EXPECT_EQ(syncs[1].name, fs::canonical(folder_).string());
  EXPECT_EQ(syncs[1].heldThen, kSkinOneSaved);
  // A save killed after that sync leaves its file under that name: a later save must know it as
  // its own and remove it once it is old.
  putBytes(syncs[0].name, "half");
  fs::last_write_time(syncs[0].name, fs::file_time_type::clock::now() - std::chrono::hours(1));
  EXPECT_TRUE(saveSkinOne(path_));
  EXPECT_EQ(entriesOf(folder_), std::vector<std::string>{"revAziriv.ini"});
}

// A path the system accepts saves, new or replaced, also when a temporary name beside it would
// be longer than the system takes whole (PATH_MAX, 4,096 bytes with the final NUL).
TEST_F(SettingsFileTest, SavesAtPathsOfAnyLengthTheSystemAccepts) {
  for (const std::size_t length : {4074u, 4075u, 4095u}) {
    for (const bool exists : {false, true}) {
      fs::path path = folder_ / std::to_string(length);
      while (path.native().size() + 1 + 255 < length) path /= std::string(200, 'd');
      fs::create_directories(path);
      path /= std::string(length - path.native().size() - 1, 'f');
      ASSERT_EQ(path.native().size(), length);
      if (exists) putBytes(path.string(), kOld);
      SCOPED_TRACE(std::to_string(length) + (exists ? " bytes, replaced" : " bytes, new"));
      EXPECT_TRUE(saveSkinOne(path));
      EXPECT_EQ(textOf(path.string()), kSkinOneSaved);
      EXPECT_EQ(entriesOf(path.parent_path()).size(), 1u);
      fs::remove_all(folder_ / std::to_string(length));
    }
  }
}

// When no new file can take the old one's place, the old file is written where it is: cut to
// the new length, so nothing of the longer old contents stays, and synced.
TEST_F(SettingsFileTest, TheInPlaceFallbackCutsAndSyncsTheFile) {
  struct Case {
    const char* name;
    std::function<bool()> refuseTheReplace;
  };
  const Case cases[] = {
      {"the rename fails", [] { spy::failNextRename(); return true; }},
      // Root may create files in any folder; the unprivileged run of these tests covers it.
      {"a read-only folder",
       [this] {
         fs::permissions(folder_, fs::perms::owner_write | fs::perms::group_write |
                                      fs::perms::others_write, fs::perm_options::remove);
         return ::geteuid() != 0;
       }},
  };
  for (const Case& c : cases) {
    putBytes(path_, "1234567890123\n1\n0\n120\n300\n3\n");
    SCOPED_TRACE(c.name);
    if (!c.refuseTheReplace()) {
      std::printf("skipped: %s as root\n", c.name);
    } else {
      int fileSyncs = 0;
      const std::string file = fs::canonical(path_).string();
      spy::watchSyncs([&](const std::string& name) { fileSyncs += name == file ? 1 : 0; });
      EXPECT_TRUE(saveSkinOne(path_));
      spy::watchSyncs(nullptr);
      EXPECT_EQ(textOf(path_), kSkinOneSaved);
      EXPECT_EQ(fileSyncs, 1);
      EXPECT_EQ(entriesOf(folder_), std::vector<std::string>{"revAziriv.ini"});
    }
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
  }
}
#endif

#ifdef _WIN32
// The rights the local Users group has on a file or folder through allowing entries meant for
// it (inherit-only entries left out), and the inheritance flags of those entries.
struct UsersRights {
  DWORD access = 0;
  BYTE inheritance = 0;
};
UsersRights usersRightsOn(const fs::path& at) {
  UsersRights rights;
  PACL entries = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(at.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &entries, nullptr, &descriptor) != ERROR_SUCCESS) {
    return rights;
  }
  BYTE users[SECURITY_MAX_SID_SIZE];
  DWORD usersSize = sizeof users;
  CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &usersSize);
  for (DWORD i = 0; entries != nullptr && i < entries->AceCount; ++i) {
    void* entry = nullptr;
    if (!GetAce(entries, i, &entry)) continue;
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
    if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE ||
        (allowed->Header.AceFlags & INHERIT_ONLY_ACE) != 0 ||
        !EqualSid(const_cast<DWORD*>(&allowed->SidStart), users)) {
      continue;
    }
    rights.access |= allowed->Mask;
    rights.inheritance |= allowed->Header.AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
  }
  LocalFree(descriptor);
  return rights;
}

// Whether this system keeps a folder's security descriptor as it was set. Wine built without
// extended attributes keeps only what the Unix mode bits can say, and reads back entries for
// the owner, the system and everyone.
bool keepsSecurityDescriptors(const fs::path& scratch) {
  PSECURITY_DESCRIPTOR wanted = nullptr;
  if (!fs::create_directory(scratch) ||
      !ConvertStringSecurityDescriptorToSecurityDescriptorW(
          L"D:(A;OICI;FA;;;SY)(A;OICI;0x1301bf;;;BU)", SDDL_REVISION_1, &wanted, nullptr)) {
    return false;
  }
  const bool set = SetFileSecurityW(scratch.c_str(), DACL_SECURITY_INFORMATION, wanted) != 0;
  LocalFree(wanted);
  const bool kept = set && usersRightsOn(scratch).access == 0x1301bf;
  fs::remove(scratch);
  return kept;
}

// The folder lies in the machine-wide application-data folder: every account must be able to
// save there, whichever account's run made it.
TEST_F(SettingsFileTest, FoldersItMakesLetTheUsersGroupModifyWhatTheyHold) {
  constexpr DWORD kModify = FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE;
  if (!keepsSecurityDescriptors(folder_ / "scratch")) {
    GTEST_SKIP() << "this system keeps no security descriptors (wine.sh checks the mode bits)";
  }
  const fs::path file = folder_ / "qor" / "revaziriv" / "revAziriv.ini";
  Settings settings;
  ASSERT_TRUE(settings.write(file));
  for (const fs::path& made : {folder_ / "qor", file.parent_path()}) {
    const UsersRights rights = usersRightsOn(made);
    EXPECT_EQ(rights.access & kModify, kModify) << made.string();
    EXPECT_EQ(rights.inheritance, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE) << made.string();
  }
  EXPECT_EQ(usersRightsOn(file).access & kModify, kModify);
}
#endif

}  // namespace
