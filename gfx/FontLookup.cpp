// The system's sans-serif faces from fontconfig, and the cache that spares a run asking it.
#include "gfx/FontLookup.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr std::string_view kCacheHeader = "deradu fonts 1";
// A cache file is a few short lines; anything larger is not ours.
constexpr std::uintmax_t kMaxCacheBytes = 16 * 1024;

// Asks fontconfig for its best sans-serif match; any installed face can be the answer.
std::optional<FontFace> matchFont(FcConfig* config, int fcWeight, int* matchedWeight) {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
  if (pattern == nullptr) return std::nullopt;
  FcPatternAddInteger(pattern, FC_WEIGHT, fcWeight);
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return std::nullopt;
  std::optional<FontFace> found;
  FcChar8* path = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr) {
    found = FontFace{reinterpret_cast<const char*>(path), 0};
    FcPatternGetInteger(match, FC_INDEX, 0, &found->index);
    *matchedWeight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(match, FC_WEIGHT, 0, matchedWeight);
  }
  FcPatternDestroy(match);
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

  void file(const std::string& path) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0) {
      text_.append(path).append(" -\n");
      return;
    }
    text_.append(path).append(" ").append(std::to_string(info.st_dev));
    text_.append(" ").append(std::to_string(info.st_ino));
    text_.append(" ").append(std::to_string(info.st_size));
    text_.append(" ").append(std::to_string(info.st_mtim.tv_sec));
    text_.append(".").append(std::to_string(info.st_mtim.tv_nsec)).append("\n");
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
    evidence.file(home + "/.fonts");
  }
  evidence.file("/var/cache/fontconfig");
  if (!cacheHome.empty()) evidence.file(cacheHome + "/fontconfig");
  evidence.file("/usr/share/fonts");
  evidence.file("/usr/local/share/fonts");
  if (!dataHome.empty()) evidence.file(dataHome + "/fonts");
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

// The kept answer, when the file is one this program wrote and nothing has changed since.
std::optional<SystemFonts> readCache(const std::string& cacheFile) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(cacheFile, error);
  if (error || size > kMaxCacheBytes) return std::nullopt;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(cacheFile.c_str(), "rb"),
                                                      std::fclose);
  if (!in) return std::nullopt;
  // One byte more than a kept answer may hold, so a file that grew since is refused.
  std::string content(kMaxCacheBytes + 1, '\0');
  content.resize(std::fread(content.data(), 1, content.size(), in.get()));
  if (std::ferror(in.get()) || content.size() > kMaxCacheBytes) return std::nullopt;
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
  if (stamp != stampFor(fonts)) return std::nullopt;
  return fonts;
}

// Written whole under another name and renamed, so a reader never sees half a file.
void writeCache(const std::string& cacheFile, const SystemFonts& fonts) {
  for (const std::string* file : {&fonts.regular.file, &fonts.bold.file}) {
    if (file->find('\n') != std::string::npos) return;
  }
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(cacheFile).parent_path(), ignored);
  const std::string temporary = cacheFile + ".new" + std::to_string(getpid());
  std::string content(kCacheHeader);
  for (const std::string& line : {stampFor(fonts), faceLine(fonts.regular), faceLine(fonts.bold)}) {
    content.append("\n").append(line);
  }
  content.append("\n");
  std::FILE* out = std::fopen(temporary.c_str(), "wb");
  if (out == nullptr) return;
  const bool written = std::fwrite(content.data(), 1, content.size(), out) == content.size();
  if (std::fclose(out) != 0 || !written) {
    std::remove(temporary.c_str());
    return;
  }
  if (std::rename(temporary.c_str(), cacheFile.c_str()) != 0) std::remove(temporary.c_str());
}

}  // namespace

SystemFonts askFontconfig() {
  SystemFonts fonts;
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (config == nullptr) {
    fonts.error = "fontconfig could not be initialised";
    return fonts;
  }
  int regularWeight = 0;
  int boldWeight = 0;
  const std::optional<FontFace> regular = matchFont(config, FC_WEIGHT_REGULAR, &regularWeight);
  const std::optional<FontFace> bold = matchFont(config, FC_WEIGHT_BOLD, &boldWeight);
  FcConfigDestroy(config);
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
  if (!cacheFile.empty()) {
    if (std::optional<SystemFonts> kept = readCache(cacheFile)) return *kept;
  }
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
