// The wrapped calls behind SystemCallSpy.h.
#include "tests/support/SystemCallSpy.h"

#ifndef _WIN32
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

extern "C" {
int __real_fclose(std::FILE* file);
int __real_fsync(int descriptor);
int __real_rename(const char* from, const char* to);
int __wrap_fclose(std::FILE* file);
int __wrap_fsync(int descriptor);
int __wrap_rename(const char* from, const char* to);
int __real_renameat(int fromFolder, const char* from, int toFolder, const char* to);
int __wrap_renameat(int fromFolder, const char* from, int toFolder, const char* to);
}

namespace {

std::string closeToFail;
bool renameToFail = false;
std::function<void(const std::string&)> syncWatcher;
std::function<void(const std::string&, const std::string&)> renameWatcher;

std::string nameOf(int descriptor) {
  char name[4096];
  const std::string link = "/proc/self/fd/" + std::to_string(descriptor);
  const ssize_t length = ::readlink(link.c_str(), name, sizeof name);
  return length > 0 ? std::string(name, static_cast<std::size_t>(length)) : std::string();
}

}  // namespace

namespace spy {

void failCloseOfFileNamed(std::string part) { closeToFail = std::move(part); }
void failNextRename() { renameToFail = true; }
void watchSyncs(std::function<void(const std::string&)> watcher) {
  syncWatcher = std::move(watcher);
}
void watchRenames(std::function<void(const std::string&, const std::string&)> watcher) {
  renameWatcher = std::move(watcher);
}

}  // namespace spy

int __wrap_fclose(std::FILE* file) {
  if (!closeToFail.empty() && file != nullptr &&
      nameOf(::fileno(file)).find(closeToFail) != std::string::npos) {
    closeToFail.clear();
    __real_fclose(file);
    errno = EIO;
    return EOF;
  }
  return __real_fclose(file);
}

int __wrap_fsync(int descriptor) {
  if (syncWatcher) syncWatcher(nameOf(descriptor));
  return __real_fsync(descriptor);
}

// Shows a rename to the watcher; true when it is to fail.
static bool failsRename(const std::string& from, const std::string& to) {
  if (renameWatcher) renameWatcher(from, to);
  if (!std::exchange(renameToFail, false)) return false;
  errno = EXDEV;
  return true;
}

int __wrap_rename(const char* from, const char* to) {
  return failsRename(from, to) ? -1 : __real_rename(from, to);
}

// The names joined to their folders' paths.
int __wrap_renameat(int fromFolder, const char* from, int toFolder, const char* to) {
  return failsRename(nameOf(fromFolder) + '/' + from, nameOf(toFolder) + '/' + to)
             ? -1
             : __real_renameat(fromFolder, from, toFolder, to);
}
#endif
