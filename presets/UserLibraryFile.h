// The user library file presets.txt: reading, atomic replacing, and one change at a time across processes.
#pragma once

#include "UserPreset.h"

#include <functional>
#include <string>
#include <vector>

namespace vorrel {

enum class LibraryRead { Ok, Missing, Unreadable };

// The whole file; Missing only when it does not exist, Unreadable for any other failure (EACCES, EIO, EMFILE).
// The configuration directory + "/presets.txt"; empty when no home directory can be found.
std::string userLibraryPath();

LibraryRead readLibraryFile(const std::string& path, std::string& text);

// Creates the directory levels (0755), writes a temporary file unique to this writer, flushes, syncs and renames
// it over path; on failure the temporary file is removed and path keeps its old contents.
bool writeLibraryFile(const std::string& path, const std::string& text);

// Under an advisory lock on path + ".lock" (one change at a time across processes and instances): rereads the
// library, applies change, and writes it back. False, with the file untouched, when the file exists but cannot
// be read, the lock cannot be had within a few seconds, change declines, or the write fails. On success
// result holds the library as written.
bool changeLibraryFile(const std::string& path, const std::function<bool(std::vector<UserPreset>&)>& change,
                       std::vector<UserPreset>& result);

// The directory part of a path ("." for a bare name).
std::string parentDir(const std::string& path);

}  // namespace vorrel
