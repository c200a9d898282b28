// The settings file's system calls: what standard C++ cannot say or do alone.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>

// One source file per system implements these (RegularFilePosix.cpp, RegularFileWin32.cpp).
// Paths stay std::filesystem::path, wide on Windows, so that any name the system allows works.
// The two opening calls follow links; anything but a regular file (a FIFO, a device, a folder)
// gives them null and is never waited on, read or changed.

// Opens the file for reading in text mode; null when it is missing, unreadable or not a regular
// file.
std::FILE* openRegularFileForReading(const std::filesystem::path& path);

// Opens an existing file for writing in text mode without emptying it, at its start. Whether it
// may be written is the file's own permission, tried with a real open for writing as
// fopen(..., "w") would make it, never guessed from the mode bits. Null when it may not, when it
// is missing, and when it is not a regular file.
std::FILE* openRegularFileForWriting(const std::filesystem::path& path);

// Ends a write made through openRegularFileForWriting: flushes the stream, cuts the file where
// the stream stands, so nothing of longer old contents is left behind, and asks the system to
// put it on the disk. Closes the stream in any case; true when every step succeeded.
bool finishRegularFile(std::FILE* file);

// Creates the folder and the folders above it that are missing. On Windows each folder it makes
// lets the local Users group modify what it holds, inherited by the files and folders made in
// it: the settings folder lies in the machine-wide application-data folder, and every account
// must be able to save there, whichever account happened to make it. False when the folder is
// not there afterwards.
bool makeFolders(const std::filesystem::path& folder);

// Creates a new file for writing in text mode, with `permissions` when given (the file it is to
// replace keeps its own). Null when anything is at the path already, a link included, so a name
// picked in advance never writes through someone else's link. On POSIX the name is made in its
// folder's descriptor, so a path the system takes only part by part works too.
std::FILE* createNewFile(const std::filesystem::path& path,
                         std::optional<std::filesystem::perms> permissions = std::nullopt);

// Ends a write into a file made by createNewFile: flushes the stream, asks the system to put the
// file on the disk, and closes it. True only when every step succeeded: a failed close may
// have lost the last of the contents.
bool finishNewFile(std::FILE* file);

// Puts the file `from` in the place of `to` in one step, replacing what is there, and makes the
// change itself durable (the folder synced on POSIX, write-through on Windows), so that after a
// power cut the name holds the old file or the new one, never an empty one. Both lie in the
// same folder. False when the move failed; `from` is then still there.
bool moveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to);

// Removes a file that createNewFile made, by the same route; a failure is ignored.
void removeFile(const std::filesystem::path& path);
