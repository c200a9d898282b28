// Opening the settings file only when it is a regular file, with the Windows C runtime.
#include "settings/RegularFile.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace {

bool isRegular(const struct _stat& info) { return (info.st_mode & _S_IFMT) == _S_IFREG; }

// Windows never waits in an open for a writer; the _fstat afterwards judges what was really
// opened (NUL and CON are character devices), so a file swapped for something else between
// the _stat and the _open is refused as well.
std::FILE* openRegular(const std::string& path, int access, const char* mode) {
  struct _stat info {};
  // A _stat first, so that a device is not even opened.
  if (::_stat(path.c_str(), &info) != 0 || !isRegular(info)) return nullptr;
  const int descriptor = ::_open(path.c_str(), access | _O_TEXT | _O_NOINHERIT);
  if (descriptor < 0) return nullptr;
  if (::_fstat(descriptor, &info) != 0 || !isRegular(info)) {
    ::_close(descriptor);
    return nullptr;
  }
  std::FILE* file = ::_fdopen(descriptor, mode);
  if (file == nullptr) ::_close(descriptor);
  return file;
}

}  // namespace

std::FILE* openRegularFileForReading(const std::string& path) {
  return openRegular(path, _O_RDONLY, "r");
}

std::FILE* openRegularFileForWriting(const std::string& path) {
  // A file with the read-only attribute refuses _O_WRONLY, as it refuses fopen(..., "w").
  // _fdopen never empties the file; _O_WRONLY without _O_CREAT never makes one.
  return openRegular(path, _O_WRONLY, "w");
}

bool finishRegularFile(std::FILE* file) {
  bool finished = std::fflush(file) == 0;
  const long end = std::ftell(file);
  const int descriptor = ::_fileno(file);
  finished = finished && end >= 0 && ::_chsize(descriptor, end) == 0;
  finished = finished && ::_commit(descriptor) == 0;
  return std::fclose(file) == 0 && finished;
}
