// Files in the store directory, handled safely: reads that never block, replacement through synced temporaries,
// temporaries of dead writers swept away, and files kept aside instead of overwritten.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vorrel::memfmt {

enum class ReadStatus {
  Ok,          // read (bytes may still not form a valid file)
  Missing,     // nothing at the path
  Refused,     // a FIFO, device, directory or socket: never read, never replaced
  Unreadable,  // a regular file we may not read
  Failed,      // an error that may pass (descriptors exhausted, I/O error): try again later
};

// The first cap bytes of a regular file, opened without blocking; fileSize gets its whole length.
ReadStatus readRegularFile(const std::string& path, std::vector<uint8_t>& bytes, size_t cap, uint64_t& fileSize);

// Tells one file's contents from another's: FNV-1a over the bytes and the length; never 0.
uint64_t fingerprint(const uint8_t* data, size_t size, uint64_t fileSize);

// Writes bytes into a new temporary "<fileName>.tmp.<pid>.<n>" in dir, flushed and synced (dir is created
// first). Returns its path, or empty after removing it on any failure.
std::string writeTemporary(const std::string& dir, const std::string& fileName, const std::vector<uint8_t>& bytes);
// Renames the temporary over finalPath; on failure the temporary is removed.
bool renameOver(const std::string& tempPath, const std::string& finalPath);
// Makes renames in dir durable.
void syncDirectory(const std::string& dir);
// Moves the temporary to finalPath only if nothing is there; Taken when a file already holds the name (another
// process may have taken it a moment ago), so the caller can try the next name. The temporary is gone either way.
enum class NewFile { Written, Taken, Failed };
NewFile renameNoReplace(const std::string& tempPath, const std::string& finalPath);
// Removes fileName's temporaries left by writers that died before renaming them (their process is gone); an
// empty fileName stands for every "*.bin" file of dir.
void removeDeadTemporaries(const std::string& dir, const std::string& fileName);
// Moves dir/fileName to a free name "<stem>.<why>-<local time>.bin" beside it; false when it could not.
bool keepAside(const std::string& dir, const std::string& fileName, const char* why, uint64_t now);

}  // namespace vorrel::memfmt
