// The settings file's system calls on POSIX systems.
#include "settings/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <system_error>

namespace {

// The folder that holds a path, open, and the path's last name in it. Calls relative to the
// folder take any path whose parts the system accepts, also one that the name of a temporary
// file beside it makes longer than the system takes whole (PATH_MAX).
class InFolder {
 public:
  explicit InFolder(const std::filesystem::path& path) : name_(path.filename().string()) {
    const std::filesystem::path parent = path.parent_path();
    folder_ = ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  }
  ~InFolder() {
    if (folder_ >= 0) ::close(folder_);
  }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

  int folder() const { return folder_; }
  const char* name() const { return name_.c_str(); }

 private:
  std::string name_;
  int folder_ = -1;
};

bool isRegular(const struct stat& info) { return S_ISREG(info.st_mode); }

// O_NONBLOCK keeps open() from waiting for a writer on a FIFO, or for a device to be ready;
// the fstat afterwards judges what was really opened, so a file swapped for something else
// between the stat and the open is refused as well.
std::FILE* openRegular(const std::filesystem::path& path, int access, const char* mode) {
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

std::FILE* openRegularFileForReading(const std::filesystem::path& path) {
  return openRegular(path, O_RDONLY, "r");
}

std::FILE* openRegularFileForWriting(const std::filesystem::path& path) {
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

bool makeFolders(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return std::filesystem::is_directory(folder, error);
}

std::FILE* createNewFile(const std::filesystem::path& path,
                         std::optional<std::filesystem::perms> permissions) {
  const InFolder at(path);
  if (at.folder() < 0) return nullptr;
  // O_NONBLOCK as above, should a FIFO appear at the name between the check and the open.
  const int descriptor = ::openat(at.folder(), at.name(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK |
                                      O_NOCTTY | O_CLOEXEC,
                                  0666);
  if (descriptor < 0) return nullptr;
  // Bits that cannot be set leave the process defaults; no reason to refuse the save.
  if (permissions) ::fchmod(descriptor, static_cast<mode_t>(*permissions) & 07777);
  std::FILE* file = ::fdopen(descriptor, "w");
  if (file == nullptr) ::close(descriptor);
  return file;
}

bool finishNewFile(std::FILE* file) {
  // Synced before the rename: otherwise some file systems put the new name on the disk before
  // the contents, and a power cut leaves an empty file.
  const bool synced = std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
  return std::fclose(file) == 0 && synced;
}

bool moveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to) {
  const InFolder at(to);
  if (at.folder() < 0 ||
      ::renameat(at.folder(), from.filename().c_str(), at.folder(), at.name()) != 0) {
    return false;
  }
  // The rename lives in the folder. Some file systems cannot sync a folder; the file is in
  // place all the same, so that is no failure of the save.
  ::fsync(at.folder());
  return true;
}

void removeFile(const std::filesystem::path& path) {
  const InFolder at(path);
  // What cannot be removed is left for the next save's cleanup.
  if (at.folder() >= 0) ::unlinkat(at.folder(), at.name(), 0);
}
