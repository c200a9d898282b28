// Replacing a file's contents so that a failure part-way never leaves it truncated.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>

// Creates the file's missing folders, lets `writeContent` write the new contents into a
// temporary file (text mode) beside it, syncs it, and renames that over the file, syncing the
// folder afterwards (see moveIntoPlace). If the folders cannot be made, the temporary file
// cannot be opened, `writeContent` returns false, or flushing, syncing, closing or renaming
// fails, the temporary file is removed, the old file is left as it was, and the result is false.
//
// Symbolic links are followed, so the file they point to is replaced and the links stay; a link
// to a file that does not exist yet creates that file. Only a regular file is replaced, and only
// when its own permission lets it be opened for writing: anything else at the path (a device, a
// FIFO, a folder) and a read-only file get nothing written and give false. When the replace
// itself is impossible (no temporary file can be made or renamed beside it) but the file may be
// written, it is written in place, then flushed, cut to its new length and synced; a file that
// does not exist yet is then made at its own name. Each save
// also removes the temporary files of earlier saves that were killed before their rename (only
// regular files named as its own, a minute old or more). An empty path writes nothing and gives
// false.
bool replaceFile(const std::filesystem::path& path,
                 const std::function<bool(std::FILE*)>& writeContent);
