// Finding the system's sans-serif faces: fontconfig's answer, kept between runs while nothing
// fontconfig decides by has changed.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct FontFace {
  std::string file;  // empty: none
  int index = 0;     // the face within a collection file
};

struct SystemFonts {
  // Empty when no face was found; `error` then says why.
  FontFace regular;
  // Empty when the system has no true bold for the regular face: it is then emboldened.
  FontFace bold;
  std::string error;
};

// Asks fontconfig for the sans-serif face and its bold. Most of its cost (about 3 ms) is
// fontconfig loading its configuration. Safe on a helper thread: it uses a configuration of
// its own and touches nothing else of the program. Opens libfontconfig at the call, so only
// the process that asks loads it; without it, no face, and `error` says so.
SystemFonts askFontconfig();
// The same with fontconfig's library named by `soname` rather than libfontconfig.so.1.
SystemFonts askFontconfigIn(const char* soname);

// The answer kept in `cacheFile` when the fontconfig configuration, the font folders, the
// locale and the two faces are all as they were when it was kept; otherwise `ask`'s answer,
// kept there for the next run. An empty `cacheFile` keeps nothing. Only a regular file at
// `cacheFile` is read or replaced; a link, a FIFO or a device there is left alone. A cache
// file that cannot be read or written is no error: the program then only starts slower. Safe
// on a helper thread as long as nobody changes the environment meanwhile.
SystemFonts findSystemFonts(const std::string& cacheFile,
                            const std::function<SystemFonts()>& ask = askFontconfig);

// The answer kept in `cacheFile` when nothing fontconfig decides by has changed since it was
// kept: what a start takes without asking. Only files are looked at (no fontconfig), so this
// cannot crash or hang where reading the settings would not. Nothing otherwise.
std::optional<SystemFonts> unchangedFonts(const std::string& cacheFile);

// The answer kept in `cacheFile` whatever has changed since, as long as its faces are still
// regular files: what a search that failed falls back to. Nothing when there is none.
std::optional<SystemFonts> keptFonts(const std::string& cacheFile);

// An answer as three lines of text and back, for the search's child process to hand it over.
// encodeFonts gives an empty text for an answer that has a newline in a name or its error.
std::string encodeFonts(const SystemFonts& fonts);
std::optional<SystemFonts> decodeFonts(std::string_view text);

// A file this program keeps between runs (the font answer, the rendered glyphs), read whole when
// it is a regular file there itself of at most `maxBytes`; nothing otherwise.
std::optional<std::string> readKeptFile(const std::string& path, std::size_t maxBytes);
// Replaces the kept file at `path` whole with `content`, creating its folder; false when it could
// not (the old file, if any, is then as it was). Only a regular file there is ever replaced.
bool writeKeptFile(const std::string& path, std::string_view content);

// ${XDG_CACHE_HOME:-$HOME/.cache}/qor/revaziriv/fonts, where only absolute values count;
// empty when neither gives a folder.
std::string fontCacheFile(const char* xdgCacheHome, const char* home);
