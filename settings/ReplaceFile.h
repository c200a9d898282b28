// Replacing a file's contents so that a failure part-way never leaves it truncated.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

// Creates the file's missing folders, lets `writeContent` write the new contents into a
// temporary file (text mode) beside it, and renames that over the file. If the folders cannot
// be made, the temporary file cannot be opened, `writeContent` returns false, or flushing,
// closing or renaming fails, the temporary file is removed, the old file is left as it was, and
// the result is false. A symbolic link is followed, so the file it points to is replaced.
// An empty path writes nothing and gives false.
bool replaceFile(const std::string& path, const std::function<bool(std::FILE*)>& writeContent);
