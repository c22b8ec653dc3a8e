// The library of saved memories and backups: file names, listing, and the operations that save, load or
// replace the live memory from it. Control thread only; all file work, no instance lock.
#pragma once

#include "MachineMemory.h"
#include "MemoryState.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorrel::mem {

// defaultStoreDir() + "/memories".
std::string memoriesDir();
// "/", ":" and backslash become "-", then ".bin"; nothing else changes.
std::string memFileName(const std::string& name);
// Stems of the entries longer than 4 characters that end in ".bin", ascending by bytes; empty when unreadable.
std::vector<std::string> listMemoryNames(const std::string& dir);
// What the memory menu lists: listMemoryNames of dir, after sweeping the temporaries of dead writers there,
// plus the files kept aside beside memory.bin in dir's parent ("memory.unreadable-..." and
// "memory.never-loaded-...", listed by their stems), ascending by bytes.
std::vector<std::string> listLibrary(const std::string& dir);
// The file a listed name loads from or deletes: dir's own file, else a kept-aside file of that stem.
std::string libraryFile(const std::string& dir, const std::string& name);
// "Backup %Y-%m-%d %Hh%M" in local time.
std::string backupBaseName(uint64_t now);
// The file stem to save `name` under: its own file, unless that holds a memory of another name, then the
// first " (n)" that is free or holds this same name.
std::string saveStemFor(const std::string& dir, const std::string& name);
// True when the record carries nothing worth a backup: no name, never carved, every weight <= 1e-12.
bool nothingToKeep(const MemoryState& state);
// A name record of at most 39 bytes, cut before a partial UTF-8 character.
MemoryNameV3 nameRecord(const std::string& name, uint64_t now);

// Writes a dated backup of state into dir, its own name and share kept inside. True when one was written and
// synced, or when there is nothing to keep.
bool backupState(const MemoryState& state, const std::string& dir, uint64_t now);
// Writes a dated backup of the live memory into dir. True when one was written and synced, or when there
// is nothing to keep; false when the memory cannot be read or the file cannot be written.
bool backupLiveMemory(MachineMemory& memory, const std::string& dir, uint64_t now);
// Saves the live memory into the library and names it; false changes nothing.
bool saveMemoryAs(MachineMemory& memory, const std::string& dir, const std::string& name, uint64_t now);
// Replaces the live memory by the library file of that name, after a backup; false changes nothing.
// backupRefused (when given) tells a refused backup from a missing file or a busy memory.
bool loadLibraryMemory(MachineMemory& memory, const std::string& dir, const std::string& name, uint64_t now,
                       bool* backupRefused = nullptr);
// Replaces the live memory by shipped memory number index (0..8), after a backup, keeping the settings.
bool loadShippedMemory(MachineMemory& memory, const std::string& dir, int index, uint64_t now,
                       bool* backupRefused = nullptr);
// Removes the library file of that name; false when there was none.
bool deleteLibraryMemory(const std::string& dir, const std::string& name);

}  // namespace vorrel::mem
