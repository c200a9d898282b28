// The settings file's system calls on Windows, each in its wide-character form.
#include "settings/RegularFile.h"

#include <windows.h>

#include <accctrl.h>
#include <aclapi.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <string>
#include <system_error>

namespace {

// Read, write, run and delete, without changing rights or owner: what the folder properties
// call "Modify".
constexpr DWORD kModify = FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE;

// Adds an allowing entry for the local Users group, inherited by everything made inside, to
// the folder's own entries. Named by its well-known SID, since the group's name is translated.
// A failure leaves the folder as the system made it.
void letUsersModify(const std::filesystem::path& folder) {
  PACL entries = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &entries, nullptr, &descriptor) != ERROR_SUCCESS) {
    return;
  }
  BYTE users[SECURITY_MAX_SID_SIZE];
  DWORD usersSize = sizeof users;
  if (CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &usersSize)) {
    EXPLICIT_ACCESSW access{};
    access.grfAccessPermissions = kModify;
    access.grfAccessMode = GRANT_ACCESS;
    access.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    access.Trustee.ptstrName = reinterpret_cast<LPWSTR>(users);
    PACL updated = nullptr;
    if (SetEntriesInAclW(1, &access, entries, &updated) == ERROR_SUCCESS) {
      std::wstring name = folder.native();
      SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, updated, nullptr);
      LocalFree(updated);
    }
  }
  LocalFree(descriptor);
}

bool isRegular(const struct _stat& info) { return (info.st_mode & _S_IFMT) == _S_IFREG; }

// Windows never waits in an open for a writer; the _fstat afterwards judges what was really
// opened (NUL and CON are character devices), so a file swapped for something else between
// the _wstat and the _wopen is refused as well.
std::FILE* openRegular(const std::filesystem::path& path, int access, const char* mode) {
  struct _stat info {};
  // A _wstat first, so that a device is not even opened.
  if (::_wstat(path.c_str(), &info) != 0 || !isRegular(info)) return nullptr;
  const int descriptor = ::_wopen(path.c_str(), access | _O_TEXT | _O_NOINHERIT);
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

std::FILE* openRegularFileForReading(const std::filesystem::path& path) {
  return openRegular(path, _O_RDONLY, "r");
}

std::FILE* openRegularFileForWriting(const std::filesystem::path& path) {
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

bool makeFolders(const std::filesystem::path& folder) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return true;
  const std::filesystem::path parent = folder.parent_path();
  if (!parent.empty() && parent != folder && !makeFolders(parent)) return false;
  if (CreateDirectoryW(folder.c_str(), nullptr)) {
    letUsersModify(folder);
    return true;
  }
  // Another instance may have made it a moment ago.
  return std::filesystem::is_directory(folder, error);
}

std::FILE* createNewFile(const std::filesystem::path& path,
                         std::optional<std::filesystem::perms> permissions) {
  const int descriptor = ::_wopen(path.c_str(),
                                  _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT | _O_NOINHERIT,
                                  _S_IREAD | _S_IWRITE);
  if (descriptor < 0) return nullptr;
  // Only the read-only attribute is kept; a failure leaves the file writable, which is no
  // reason to refuse the save.
  std::error_code ignored;
  if (permissions) std::filesystem::permissions(path, *permissions, ignored);
  std::FILE* file = ::_fdopen(descriptor, "w");
  if (file == nullptr) ::_close(descriptor);
  return file;
}

bool finishNewFile(std::FILE* file) {
  // _commit is FlushFileBuffers: the contents reach the disk before the name moves.
  const bool flushed = std::fflush(file) == 0 && ::_commit(::_fileno(file)) == 0;
  return std::fclose(file) == 0 && flushed;
}

bool moveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to) {
  // Write-through: the call returns once the move itself is on the disk.
  return MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void removeFile(const std::filesystem::path& path) {
  // What cannot be removed is left for the next save's cleanup.
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}
