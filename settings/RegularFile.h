// Opening the settings file only when it is a regular file: what standard C++ cannot say alone.
#pragma once

#include <cstdio>
#include <string>

// One source file per system implements these (RegularFilePosix.cpp, RegularFileWin32.cpp).
// Links are followed. Anything but a regular file (a FIFO, a device, a folder) gives null and
// is never waited on, read or changed.

// Opens the file for reading in text mode; null when it is missing, unreadable or not a regular
// file.
std::FILE* openRegularFileForReading(const std::string& path);

// Opens an existing file for writing in text mode without emptying it, at its start. Whether it
// may be written is the file's own permission, tried with a real open for writing as
// fopen(..., "w") would make it, never guessed from the mode bits. Null when it may not, when it
// is missing, and when it is not a regular file.
std::FILE* openRegularFileForWriting(const std::string& path);

// Ends a write made through openRegularFileForWriting: flushes the stream, cuts the file where
// the stream stands, so nothing of longer old contents is left behind, and asks the system to
// put it on the disk. Closes the stream in any case; true when every step succeeded.
bool finishRegularFile(std::FILE* file);
