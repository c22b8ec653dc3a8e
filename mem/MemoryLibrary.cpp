// File names, listing, backups and the save, load and replace operations of the memory library.
#include "MemoryLibrary.h"

#include "Biographies.h"
#include "Directories.h"
#include "Engraving.h"
#include "MemoryFile.h"
#include "StoreFiles.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace vorrel::mem {
namespace {

constexpr int kLastCopyNumber = 99;
constexpr double kShippedMinutes = 8.0;
constexpr double kEmptyWeight = 1e-12;

bool exists(const std::string& path) {
  struct stat st {};
  // Anything but a clear "not there" counts as taken, so an unreadable entry is never overwritten.
  return ::stat(path.c_str(), &st) == 0 || errno != ENOENT;
}

std::string numbered(const std::string& base, int n) { return n < 2 ? base : base + " (" + std::to_string(n) + ")"; }

// Whether the file at path stores a memory named exactly `name`.
bool holdsName(const std::string& path, const std::string& name) {
  MemoryFileHeader h;
  MemoryFileBodyV1 b;
  MemoryCartV1 c;
  MemoryNameV3 n{};
  MemoryYours y{};
  if (!memfmt::loadMemoryFile(path, h, b, c, &n, &y)) return false;
  n.text[sizeof n.text - 1] = '\0';
  return nameRecord(name, 0).text == std::string(n.text);
}

constexpr const char* kKeptAside[] = {"memory.unreadable-", "memory.never-loaded-"};

bool keptAsideStem(const std::string& stem) {
  for (const char* prefix : kKeptAside)
    if (stem.size() > std::strlen(prefix) && stem.compare(0, std::strlen(prefix), prefix) == 0) return true;
  return false;
}

std::string parentOf(const std::string& dir) {
  const size_t slash = dir.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : dir.substr(0, slash);
}

}  // namespace

std::string memoriesDir() { return defaultStoreDir() + "/memories"; }

std::string memFileName(const std::string& name) {
  std::string out = name;
  for (char& ch : out)
    if (ch == '/' || ch == ':' || ch == '\\') ch = '-';
  return out + ".bin";
}

std::vector<std::string> listMemoryNames(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return names;
  while (const dirent* e = ::readdir(d)) {
    const size_t len = std::strlen(e->d_name);
    if (len > 4 && std::strcmp(e->d_name + len - 4, ".bin") == 0) names.emplace_back(e->d_name, len - 4);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());  // std::string compares as unsigned bytes
  return names;
}

std::vector<std::string> listLibrary(const std::string& dir) {
  memfmt::removeDeadTemporaries(dir, "");  // saves and backups killed before their rename
  std::vector<std::string> names = listMemoryNames(dir);
  for (std::string& stem : listMemoryNames(parentOf(dir)))
    if (keptAsideStem(stem) && !exists(dir + "/" + stem + ".bin")) names.push_back(std::move(stem));
  std::sort(names.begin(), names.end());
  return names;
}

std::string libraryFile(const std::string& dir, const std::string& name) {
  const std::string own = dir + "/" + memFileName(name);
  if (exists(own) || !keptAsideStem(name) || name.find('/') != std::string::npos) return own;
  return parentOf(dir) + "/" + name + ".bin";
}

std::string backupBaseName(uint64_t now) {
  const time_t t = static_cast<time_t>(now);
  tm parts{};
  localtime_r(&t, &parts);
  char text[64];
  if (std::strftime(text, sizeof text, "Backup %Y-%m-%d %Hh%M", &parts) == 0) return "Backup";
  return text;
}

std::string saveStemFor(const std::string& dir, const std::string& name) {
  // "a:b" and "a-b" share one file name; the second must not replace the first.
  const std::string file = memFileName(name);
  const std::string base = file.substr(0, file.size() - 4);
  for (int n = 1; n < kLastCopyNumber; ++n) {
    const std::string path = dir + "/" + numbered(base, n) + ".bin";
    if (!exists(path) || holdsName(path, name)) return numbered(base, n);
  }
  return numbered(base, kLastCopyNumber);
}

bool nothingToKeep(const MemoryState& s) {
  if (s.name.text[0] != '\0' || s.yours.lastCarved != 0) return false;
  return std::all_of(std::begin(s.modeWeights), std::end(s.modeWeights), [](double w) { return w <= kEmptyWeight; });
}

MemoryNameV3 nameRecord(const std::string& name, uint64_t now) {
  MemoryNameV3 rec{};
  size_t len = std::min(name.size(), sizeof rec.text - 1);
  // Never end on half a UTF-8 character: back off over continuation bytes to the start of the cut one.
  if (len < name.size())
    while (len > 0 && (static_cast<unsigned char>(name[len]) & 0xC0) == 0x80) --len;
  std::memcpy(rec.text, name.data(), len);
  rec.namedAt = now;
  return rec;
}

bool backupLiveMemory(MachineMemory& memory, const std::string& dir, uint64_t now) {
  MemoryState live = defaultState();
  if (memory.isOpen() && !memory.load(live)) return false;
  return backupState(live, dir, now);
}

bool backupState(const MemoryState& live, const std::string& dir, uint64_t now) {
  if (nothingToKeep(live)) return true;
  // Another process backing up in the same minute may take the free name first: a backup never replaces
  // another, it moves on to the next number. The file keeps the memory's own name inside; the library lists it
  // under the backup name.
  const std::string base = backupBaseName(now);
  for (int n = 1; n <= kLastCopyNumber; ++n) {
    const std::string name = numbered(base, n);
    if (exists(dir + "/" + memFileName(name))) continue;
    switch (memfmt::saveNewMemoryFile(dir, memFileName(name), bodyOf(live), live.cart, live.lastUpdate, &live.name,
                                      &live.yours)) {
      case memfmt::NewFile::Written:
        return true;
      case memfmt::NewFile::Taken:
        continue;
      case memfmt::NewFile::Failed:
        return false;
    }
  }
  return false;  // 99 backups in one minute: nothing replaces a memory we could not keep
}

bool saveMemoryAs(MachineMemory& memory, const std::string& dir, const std::string& name, uint64_t now) {
  MemoryState live;
  if (name.empty() || !memory.load(live)) return false;
  const MemoryNameV3 rec = nameRecord(name, now);
  const MemoryYours yours{live.yours.lastCarved, 0.0};
  if (!memfmt::saveMemoryFile(dir, saveStemFor(dir, name) + ".bin", bodyOf(live), live.cart, live.lastUpdate, &rec,
                              &yours))
    return false;
  return memory.setMemoryName(rec, now);
}

bool loadLibraryMemory(MachineMemory& memory, const std::string& dir, const std::string& name, uint64_t now,
                       bool* backupRefused) {
  MemoryFileHeader header;
  MemoryFileBodyV1 body;
  MemoryCartV1 cart;
  if (name.empty() || !memfmt::loadMemoryFile(libraryFile(dir, name), header, body, cart, nullptr, nullptr))
    return false;
  if (!backupLiveMemory(memory, dir, now)) {  // nothing replaces a memory we could not keep
    if (backupRefused) *backupRefused = true;
    return false;
  }
  MemoryState next{};
  setBody(next, body);
  next.cart = cart;
  next.lastUpdate = 0;
  next.name = nameRecord(name, now);
  if (!memory.replaceMemory(next, now)) return false;
  memory.flush(now, true);
  return true;
}

bool loadShippedMemory(MachineMemory& memory, const std::string& dir, int index, uint64_t now, bool* backupRefused) {
  if (index < 0 || index >= kNumBiographies) return false;
  if (!backupLiveMemory(memory, dir, now)) {
    if (backupRefused) *backupRefused = true;
    return false;
  }
  MemoryState live = defaultState();
  if (!memory.load(live)) live = defaultState();
  const Biography& bio = kBiographies[static_cast<size_t>(index)];
  MemoryState next{};
  synthesizeBiography(bio, modePitchClasses(0), live.forgetDays, live.engravePct, now, next.modeWeights, next.cart,
                      kShippedMinutes);
  next.name = nameRecord(bio.name, now);
  next.forgetDays = 0.0;  // "not given": the machine keeps its own settings
  next.engravePct = -1.0;
  if (!memory.replaceMemory(next, now)) return false;
  memory.flush(now, true);
  return true;
}

bool deleteLibraryMemory(const std::string& dir, const std::string& name) {
  if (name.empty()) return false;
  return std::remove(libraryFile(dir, name).c_str()) == 0;
}

}  // namespace vorrel::mem
