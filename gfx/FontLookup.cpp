// The system's sans-serif faces from fontconfig, and the cache that spares a run asking it.
#include "gfx/FontLookup.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fontconfig/fontconfig.h>

#include "gfx/SharedLibrary.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <vector>

namespace {

constexpr std::string_view kCacheHeader = "deradu fonts 1";
// A cache file is a few short lines; anything larger is not ours.
constexpr std::uintmax_t kMaxCacheBytes = 16 * 1024;
// What follows the cache file's name in a temporary file's name: ".tmp-" and 16 hex digits.
constexpr std::string_view kTemporaryMark = ".tmp-";
constexpr std::size_t kNonceDigits = 16;
// A temporary file younger than this may belong to another instance writing right now.
constexpr auto kLeftoverAge = std::chrono::minutes(1);
// Fonts sit in folders of families and formats; fontconfig goes down every one of them. The
// limit only ends a loop of linked folders.
constexpr int kDeepestFontFolder = 16;

// The fontconfig functions the search calls. The library is opened by the search's child
// process alone, so the game itself never loads it nor the XML parser it brings.
#define DERADU_FONTCONFIG_FUNCTIONS(X)                                                     \
  X(FcInitLoadConfigAndFonts) X(FcConfigDestroy) X(FcNameParse) X(FcPatternAddInteger)    \
  X(FcPatternAddBool) X(FcConfigSubstitute) X(FcDefaultSubstitute) X(FcFontMatch)         \
  X(FcPatternDestroy) X(FcPatternGetString) X(FcPatternGetInteger)
struct Fontconfig {
  DERADU_FONTCONFIG_FUNCTIONS(DERADU_FUNCTION_SLOT)
};

// Asks fontconfig for its best sans-serif match; any installed face can be the answer.
std::optional<FontFace> matchFont(const Fontconfig& fc, FcConfig* config, int fcWeight,
                                  int* matchedWeight) {
  FcPattern* pattern = fc.FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
  if (pattern == nullptr) return std::nullopt;
  fc.FcPatternAddInteger(pattern, FC_WEIGHT, fcWeight);
  fc.FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  fc.FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  fc.FcConfigSubstitute(config, pattern, FcMatchPattern);
  fc.FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = fc.FcFontMatch(config, pattern, &result);
  fc.FcPatternDestroy(pattern);
  if (match == nullptr) return std::nullopt;
  std::optional<FontFace> found;
  FcChar8* path = nullptr;
  if (fc.FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr) {
    found = FontFace{reinterpret_cast<const char*>(path), 0};
    fc.FcPatternGetInteger(match, FC_INDEX, 0, &found->index);
    *matchedWeight = FC_WEIGHT_REGULAR;
    fc.FcPatternGetInteger(match, FC_WEIGHT, 0, matchedWeight);
  }
  fc.FcPatternDestroy(match);
  return found;
}

// What fontconfig's answer depends on, gathered as text: the environment variables it reads,
// and the identity, size and time of every configuration file, font folder and cache folder
// it looks at, and of the two faces. A package that adds fonts or configuration changes the
// folders' times (fc-cache rewrites its caches), an edited file its own. Plain strings rather
// than streams: the streams would bring the C++ locale machinery into the program, which costs
// start-up time and resident memory for nothing else.
class Evidence {
 public:
  void variable(const char* name) {
    const char* value = std::getenv(name);
    text_.append(name).append("=").append(value != nullptr ? value : "(unset)").append("\n");
  }

  // Returns what stat says of it: st_nlink 0 when it is not there.
  struct stat file(const std::string& path) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0) {
      text_.append(path).append(" -\n");
      return {};
    }
    text_.append(path).append(" ").append(std::to_string(info.st_dev));
    text_.append(" ").append(std::to_string(info.st_ino));
    text_.append(" ").append(std::to_string(info.st_size));
    text_.append(" ").append(std::to_string(info.st_mtim.tv_sec));
    text_.append(".").append(std::to_string(info.st_mtim.tv_nsec)).append("\n");
    return info;
  }

  // A folder and every entry in it (following links, as conf.d holds links into conf.avail).
  void folder(const std::string& path) {
    file(path);
    DIR* directory = opendir(path.c_str());
    if (directory == nullptr) return;
    std::vector<std::string> names;
    while (const dirent* entry = readdir(directory)) {
      const std::string_view name = entry->d_name;
      if (name != "." && name != "..") names.emplace_back(name);
    }
    closedir(directory);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) file(path + '/' + name);
  }

  // A font folder and every folder below it, as fontconfig scans them: a font added or removed
  // anywhere changes the time of the folder that holds it. Files are not listed one by one;
  // fontconfig does not look at them either while their folder's time stands.
  void fontTree(const std::string& path, int depth = 0) {
    // A folder's link count is two plus its subfolders on the usual file systems, so most font
    // folders, which hold only files, need not be read (some file systems say 1: read those).
    const struct stat folderInfo = file(path);
    if (!S_ISDIR(folderInfo.st_mode) || folderInfo.st_nlink == 2 || depth >= kDeepestFontFolder) {
      return;
    }
    DIR* directory = opendir(path.c_str());
    if (directory == nullptr) return;
    std::vector<std::string> folders;
    while (const dirent* entry = readdir(directory)) {
      const std::string_view name = entry->d_name;
      if (name == "." || name == "..") continue;
      struct stat info {};
      const std::string child = path + '/' + entry->d_name;
      // Links and file systems that do not say the kind of an entry need a look of their own.
      const bool folder = entry->d_type == DT_DIR ||
                          ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) &&
                           stat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode));
      if (folder) folders.push_back(child);
    }
    closedir(directory);
    std::sort(folders.begin(), folders.end());
    for (const std::string& folder : folders) fontTree(folder, depth + 1);
  }

  // FNV-1a over the text: the cache keeps the hash, not the list.
  std::string stamp() const {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : text_) {
      hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
  }

 private:
  std::string text_;
};

std::string absoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == '/' ? value : "";
}

std::string stampFor(const SystemFonts& fonts) {
  Evidence evidence;
  for (const char* name : {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT", "FC_LANG",
                           "LC_ALL", "LC_CTYPE", "LANG", "HOME", "XDG_CONFIG_HOME",
                           "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
    evidence.variable(name);
  }
  const std::string home = absoluteVariable("HOME");
  std::string configHome = absoluteVariable("XDG_CONFIG_HOME");
  if (configHome.empty() && !home.empty()) configHome = home + "/.config";
  std::string dataHome = absoluteVariable("XDG_DATA_HOME");
  if (dataHome.empty() && !home.empty()) dataHome = home + "/.local/share";
  std::string cacheHome = absoluteVariable("XDG_CACHE_HOME");
  if (cacheHome.empty() && !home.empty()) cacheHome = home + "/.cache";

  // The main file and its conf.d, wherever FONTCONFIG_FILE and FONTCONFIG_PATH put them.
  const std::string configFolder = absoluteVariable("FONTCONFIG_PATH").empty()
                                       ? std::string("/etc/fonts")
                                       : absoluteVariable("FONTCONFIG_PATH");
  const char* configFile = std::getenv("FONTCONFIG_FILE");
  if (configFile != nullptr && configFile[0] != '\0') {
    evidence.file(configFile[0] == '/' ? configFile : configFolder + '/' + configFile);
  } else {
    evidence.file(configFolder + "/fonts.conf");
  }
  evidence.folder(configFolder + "/conf.d");
  if (!configHome.empty()) {
    evidence.file(configHome + "/fontconfig/fonts.conf");
    evidence.folder(configHome + "/fontconfig/conf.d");
  }
  if (!home.empty()) {
    evidence.file(home + "/.fonts.conf");
    evidence.folder(home + "/.fonts.conf.d");
    evidence.fontTree(home + "/.fonts");
  }
  evidence.file("/var/cache/fontconfig");
  if (!cacheHome.empty()) evidence.file(cacheHome + "/fontconfig");
  evidence.fontTree("/usr/share/fonts");
  evidence.fontTree("/usr/local/share/fonts");
  if (!dataHome.empty()) evidence.fontTree(dataHome + "/fonts");
  evidence.file(fonts.regular.file);
  evidence.file(fonts.bold.file);
  return evidence.stamp();
}

// "<index> <path>" with an absolute path, or "-" for no face.
std::optional<FontFace> parseFace(std::string_view line) {
  if (line == "-") return FontFace{};
  const std::size_t space = line.find(' ');
  if (space == std::string_view::npos) return std::nullopt;
  FontFace face;
  const auto [end, failure] = std::from_chars(line.data(), line.data() + space, face.index);
  if (failure != std::errc() || end != line.data() + space || face.index < 0) return std::nullopt;
  face.file = line.substr(space + 1);
  if (face.file.empty() || face.file[0] != '/') return std::nullopt;
  return face;
}

std::string faceLine(const FontFace& face) {
  return face.file.empty() ? "-" : std::to_string(face.index) + ' ' + face.file;
}

// Opens what is at `path` for reading only when it is a regular file there itself: no link is
// followed and nothing waits (a FIFO would hold the start until someone wrote to it). -1
// otherwise.
int openRegularForReading(const std::string& path) {
  const int descriptor =
      open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) return -1;
  struct stat info {};
  if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(descriptor);
    return -1;
  }
  return descriptor;
}

// The kept answer, when the file is one this program wrote and, if `checkStamp`, nothing has
// changed since.
std::optional<SystemFonts> readCache(const std::string& cacheFile, bool checkStamp) {
  const std::optional<std::string> kept = readKeptFile(cacheFile, kMaxCacheBytes);
  if (!kept) return std::nullopt;
  const std::string& content = *kept;
  // Lines as getline reads them: a last line needs no newline, and exactly four must be there.
  std::size_t at = 0;
  auto nextLine = [&content, &at](std::string& line) {
    if (at >= content.size()) return false;
    const std::size_t end = std::min(content.find('\n', at), content.size());
    line = content.substr(at, end - at);
    at = end + 1;
    return true;
  };
  std::string header, stamp, regular, bold, extra;
  if (!nextLine(header) || !nextLine(stamp) || !nextLine(regular) || !nextLine(bold) ||
      nextLine(extra) || header != kCacheHeader) {
    return std::nullopt;
  }
  const std::optional<FontFace> regularFace = parseFace(regular);
  const std::optional<FontFace> boldFace = parseFace(bold);
  if (!regularFace || regularFace->file.empty() || !boldFace) return std::nullopt;
  SystemFonts fonts{*regularFace, *boldFace, {}};
  if (checkStamp && stamp != stampFor(fonts)) return std::nullopt;
  return fonts;
}

// A name beside the cache file that nobody can know beforehand, so nothing can be put there
// to catch the write.
std::string temporaryPathFor(const std::string& cacheFile) {
  auto nonce = static_cast<std::uint64_t>(
      std::chrono::system_clock::now().time_since_epoch().count());
  try {
    std::random_device device;
    nonce ^= (static_cast<std::uint64_t>(device()) << 32) ^ device();
  } catch (const std::exception&) {
    // Without an entropy source the clock alone has to do; O_EXCL still refuses a planted name.
  }
  static constexpr char kHexDigits[] = "0123456789abcdef";
  std::string path = cacheFile + std::string(kTemporaryMark);
  for (int shift = 60; shift >= 0; shift -= 4) path += kHexDigits[(nonce >> shift) & 0xF];
  return path;
}

// Temporary files that a run ended between its write and its rename left behind (a signal
// before the window exists ends the program at once). Only regular files of exactly our
// naming, old enough to be nobody's current write, are removed.
void removeLeftovers(const std::string& folder, const std::string& cacheName) {
  DIR* directory = opendir(folder.c_str());
  if (directory == nullptr) return;
  const std::string prefix = cacheName + std::string(kTemporaryMark);
  const auto oldest = std::chrono::system_clock::now() - kLeftoverAge;
  while (const dirent* entry = readdir(directory)) {
    const std::string_view name = entry->d_name;
    if (name.size() != prefix.size() + kNonceDigits || name.substr(0, prefix.size()) != prefix ||
        name.find_first_not_of("0123456789abcdef", prefix.size()) != std::string_view::npos) {
      continue;
    }
    const std::string path = folder + '/' + entry->d_name;
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        std::chrono::system_clock::from_time_t(info.st_mtim.tv_sec) > oldest) {
      continue;
    }
    // A failure is left for the next write.
    unlink(path.c_str());
  }
  closedir(directory);
}

void writeCache(const std::string& cacheFile, const SystemFonts& fonts) {
  for (const std::string* file : {&fonts.regular.file, &fonts.bold.file}) {
    if (file->find('\n') != std::string::npos) return;
  }
  std::string content(kCacheHeader);
  for (const std::string& line : {stampFor(fonts), faceLine(fonts.regular), faceLine(fonts.bold)}) {
    content.append("\n").append(line);
  }
  content.append("\n");
  // A cache that cannot be written only costs the next start its question to fontconfig.
  writeKeptFile(cacheFile, content);
}

}  // namespace

std::optional<std::string> readKeptFile(const std::string& path, std::size_t maxBytes) {
  const int descriptor = openRegularForReading(path);
  if (descriptor < 0) return std::nullopt;
  struct stat info {};
  if (fstat(descriptor, &info) != 0 || static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
    close(descriptor);
    return std::nullopt;
  }
  // One byte more than the file held, so a file that has grown since is refused.
  std::string content(static_cast<std::size_t>(info.st_size) + 1, '\0');
  std::size_t size = 0;
  while (size < content.size()) {
    const ssize_t got = read(descriptor, content.data() + size, content.size() - size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    size += static_cast<std::size_t>(got);
  }
  close(descriptor);
  if (size == content.size()) return std::nullopt;
  content.resize(size);
  return content;
}

// Written whole under a name of its own and renamed, so a reader never sees half a file; the
// file is synced before the rename and the folder after it, so a power cut cannot leave an
// empty file in its place. Only a regular file at the cache path is replaced: a link, a FIFO,
// a device or a folder there is left as it is.
bool writeKeptFile(const std::string& cacheFile, std::string_view content) {
  const std::filesystem::path cachePath(cacheFile);
  const std::string folder = cachePath.parent_path().string();
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  struct stat old {};
  if (lstat(cacheFile.c_str(), &old) == 0 && !S_ISREG(old.st_mode)) return false;
  removeLeftovers(folder, cachePath.filename().string());

  const std::string temporary = temporaryPathFor(cacheFile);
  const int descriptor = open(temporary.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY |
                                  O_CLOEXEC,
                              0644);
  if (descriptor < 0) return false;
  std::FILE* file = fdopen(descriptor, "w");
  if (file == nullptr) {
    close(descriptor);
    unlink(temporary.c_str());
    return false;
  }
  bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  written = std::fflush(file) == 0 && fsync(descriptor) == 0 && written;
  // A failed close may have lost the end of the contents: such a file is not kept.
  written = std::fclose(file) == 0 && written;
  if (!written || std::rename(temporary.c_str(), cacheFile.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  const int folderDescriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderDescriptor >= 0) {
    // The file is in place either way; a folder that cannot be synced only risks losing it,
    // which costs the next start the work the file spares. Ignored on purpose.
    fsync(folderDescriptor);
    close(folderDescriptor);
  }
  return true;
}

SystemFonts askFontconfig() { return askFontconfigIn("libfontconfig.so.1"); }

SystemFonts askFontconfigIn(const char* soname) {
  SystemFonts fonts;
  const SharedLibrary library(soname);
  Fontconfig fc;
  const bool found = library.bindTable(fc, [&library](Fontconfig& table) {
    bool all = true;
    DERADU_FONTCONFIG_FUNCTIONS(DERADU_BIND_SLOT)
    return all;
  });
  if (!found) {
    fonts.error = "fontconfig cannot be opened";
    return fonts;
  }
  FcConfig* config = fc.FcInitLoadConfigAndFonts();
  if (config == nullptr) {
    fonts.error = "fontconfig could not be initialised";
    return fonts;
  }
  int regularWeight = 0;
  int boldWeight = 0;
  const std::optional<FontFace> regular = matchFont(fc, config, FC_WEIGHT_REGULAR, &regularWeight);
  const std::optional<FontFace> bold = matchFont(fc, config, FC_WEIGHT_BOLD, &boldWeight);
  fc.FcConfigDestroy(config);
  if (!regular) {
    fonts.error = "fontconfig knows no font files";
    return fonts;
  }
  fonts.regular = *regular;
  // A "bold" match that is not bold (only one weight installed) is left to emboldening.
  if (bold && boldWeight >= FC_WEIGHT_DEMIBOLD &&
      (bold->file != regular->file || bold->index != regular->index)) {
    fonts.bold = *bold;
  }
  return fonts;
}

SystemFonts findSystemFonts(const std::string& cacheFile,
                            const std::function<SystemFonts()>& ask) {
  if (std::optional<SystemFonts> kept = unchangedFonts(cacheFile)) return *kept;
  SystemFonts fonts = ask();
  // Only a found face is kept: a system without fonts may have some by the next run.
  if (!cacheFile.empty() && !fonts.regular.file.empty()) writeCache(cacheFile, fonts);
  return fonts;
}

std::string fontCacheFile(const char* xdgCacheHome, const char* home) {
  if (xdgCacheHome != nullptr && xdgCacheHome[0] == '/') {
    return std::string(xdgCacheHome) + "/qor/revaziriv/fonts";
  }
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.cache/qor/revaziriv/fonts";
  return {};
}

std::optional<SystemFonts> unchangedFonts(const std::string& cacheFile) {
  if (cacheFile.empty()) return std::nullopt;
  return readCache(cacheFile, true);
}

std::optional<SystemFonts> keptFonts(const std::string& cacheFile) {
  if (cacheFile.empty()) return std::nullopt;
  std::optional<SystemFonts> kept = readCache(cacheFile, false);
  if (!kept) return kept;
  for (const FontFace* face : {&kept->regular, &kept->bold}) {
    struct stat info {};
    if (!face->file.empty() && (stat(face->file.c_str(), &info) != 0 || !S_ISREG(info.st_mode))) {
      return std::nullopt;
    }
  }
  return kept;
}

std::string encodeFonts(const SystemFonts& fonts) {
  std::string text = faceLine(fonts.regular) + '\n' + faceLine(fonts.bold) + '\n' + fonts.error;
  // A newline in a name or the error would split its line; such an answer is no answer.
  return std::count(text.begin(), text.end(), '\n') == 2 ? text : std::string();
}

std::optional<SystemFonts> decodeFonts(std::string_view text) {
  const std::size_t first = text.find('\n');
  const std::size_t second = first == std::string_view::npos ? first : text.find('\n', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const std::optional<FontFace> regular = parseFace(text.substr(0, first));
  const std::optional<FontFace> bold = parseFace(text.substr(first + 1, second - first - 1));
  if (!regular || !bold) return std::nullopt;
  return SystemFonts{*regular, *bold, std::string(text.substr(second + 1))};
}
