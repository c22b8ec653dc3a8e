// The memory file (versions 1..5 read, 5 written) and the frozen project copy, serialised field by field.
#pragma once

#include "MemoryState.h"
#include "StoreFiles.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vorrel::memfmt {

using mem::MemoryCartV1;
using mem::MemoryFileBodyV1;
using mem::MemoryFileHeader;
using mem::MemoryNameV3;
using mem::MemoryYours;
using mem::SealedMemory;

constexpr uint32_t kFileMagic = 0x4F41564D;
constexpr uint32_t kFileVersion = 5;
constexpr size_t kFileLength = 1576;
constexpr size_t kSealedLength = 1488;
constexpr size_t kSealedLengthV1 = 336;

// Length a file of each version needs (index = version; 0 for unknown versions).
size_t fileLengthFor(uint32_t version);

// Bytes of a version 5 file.
std::vector<uint8_t> encodeMemoryFile(const MemoryFileBodyV1& body, const MemoryCartV1& cart, uint64_t savedAt,
                                      const MemoryNameV3* name, const MemoryYours* yours);
// Parses file bytes; on failure the outputs are untouched. Parts the version lacks come back zero.
bool decodeMemoryFile(const uint8_t* data, size_t size, MemoryFileHeader& header, MemoryFileBodyV1& body,
                      MemoryCartV1& cart, MemoryNameV3* name, MemoryYours* yours);

// Atomic replace: a uniquely named temporary in the same directory, flushed, synced, renamed over.
bool saveMemoryFile(const std::string& dir, const std::string& fileName, const MemoryFileBodyV1& body,
                    const MemoryCartV1& cart, uint64_t savedAt, const MemoryNameV3* name, const MemoryYours* yours);
// As saveMemoryFile, but a file already under fileName is never replaced: Taken, and nothing is written.
NewFile saveNewMemoryFile(const std::string& dir, const std::string& fileName, const MemoryFileBodyV1& body,
                          const MemoryCartV1& cart, uint64_t savedAt, const MemoryNameV3* name,
                          const MemoryYours* yours);
// Never blocks (a FIFO or device is Refused unread). Ok only for a complete file of a known version; bytes that
// are no memory file give Unreadable. print, when given, gets the file's fingerprint. Outputs change only on Ok.
ReadStatus readMemoryFile(const std::string& path, MemoryFileHeader& header, MemoryFileBodyV1& body, MemoryCartV1& cart,
                          MemoryNameV3* name, MemoryYours* yours, uint64_t* print);
bool loadMemoryFile(const std::string& path, MemoryFileHeader& header, MemoryFileBodyV1& body, MemoryCartV1& cart,
                    MemoryNameV3* name, MemoryYours* yours);

// The frozen copy's payload: version 2, 1488 bytes.
std::vector<uint8_t> encodeSealed(const SealedMemory& sealed);
// Version 2 with 1488 bytes, or version 1 with 336 (zero cart); anything else is refused, out untouched.
bool decodeSealed(const uint8_t* data, size_t size, SealedMemory& out);

}  // namespace vorrel::memfmt
