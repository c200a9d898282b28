// Opening the settings file only when it is a regular file, with the POSIX calls.
#include "settings/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isRegular(const struct stat& info) { return S_ISREG(info.st_mode); }

// O_NONBLOCK keeps open() from waiting for a writer on a FIFO, or for a device to be ready;
// the fstat afterwards judges what was really opened, so a file swapped for something else
// between the stat and the open is refused as well.
std::FILE* openRegular(const std::string& path, int access, const char* mode) {
  struct stat info {};
  // A stat first, so that a device is not even opened.
  if (::stat(path.c_str(), &info) != 0 || !isRegular(info)) return nullptr;
  const int descriptor = ::open(path.c_str(), access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) return nullptr;
  if (::fstat(descriptor, &info) != 0 || !isRegular(info)) {
    ::close(descriptor);
    return nullptr;
  }
  std::FILE* file = ::fdopen(descriptor, mode);
  if (file == nullptr) ::close(descriptor);
  return file;
}

}  // namespace

std::FILE* openRegularFileForReading(const std::string& path) {
  return openRegular(path, O_RDONLY, "r");
}

std::FILE* openRegularFileForWriting(const std::string& path) {
  // fdopen never empties the file; O_WRONLY without O_CREAT never makes one.
  return openRegular(path, O_WRONLY, "w");
}

bool finishRegularFile(std::FILE* file) {
  bool finished = std::fflush(file) == 0;
  const long end = std::ftell(file);
  const int descriptor = ::fileno(file);
  finished = finished && end >= 0 && ::ftruncate(descriptor, end) == 0;
  finished = finished && ::fsync(descriptor) == 0;
  return std::fclose(file) == 0 && finished;
}
