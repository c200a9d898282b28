// A seam for the tests of code that replaces files (the settings file, the font answer) on POSIX
// systems: the test executable is linked with --wrap=fclose,--wrap=fsync,--wrap=rename,
// --wrap=renameat, so the code's calls come here first and pass on to the real ones unless a
// test asked otherwise. The program itself is built without any of this.
#pragma once

#ifndef _WIN32
#include <functional>
#include <string>

namespace spy {

// The next fclose of a file whose name holds `part` closes it and then reports a failure, as a
// close that lost the last of the contents would.
void failCloseOfFileNamed(std::string part);
// The next rename or renameat fails, changing nothing.
void failNextRename();
// Each fsync from now on is shown to `watcher` with the name its descriptor has at that moment
// (a folder's own path for a folder); an empty watcher stops it.
void watchSyncs(std::function<void(const std::string&)> watcher);
// Each rename from now on is shown to `watcher` with its two names; an empty watcher stops it.
void watchRenames(std::function<void(const std::string&, const std::string&)> watcher);

}  // namespace spy
#endif
