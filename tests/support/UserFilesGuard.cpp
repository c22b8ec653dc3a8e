// Before the suite: puts a sentinel memory segment, memory.bin and presets.txt where the user's would be (under
// the environment ctest runs in), keeping any that exist; after it: checks all are byte-identical and removes the
// sentinels. `user_files_guard place|check RECORD`.
#include "Directories.h"
#include "MachineMemory.h"
#include "MemoryFile.h"

#include <boost/interprocess/shared_memory_object.hpp>

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

using namespace vorrel::mem;

namespace {

const std::string kShm = "/dev/shm/";

bool readAll(const std::string& path, std::string& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  out.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return true;
}

std::string hashOf(const std::string& path) {
  std::string bytes;
  return readAll(path, bytes) ? std::to_string(bytes.size()) + ":" + std::to_string(std::hash<std::string>{}(bytes))
                              : "absent";
}

// A segment some running process still has a slot in: its heartbeats change its bytes, and it flushes memory.bin.
bool liveSegment(const std::string& path) {
  std::string bytes;
  if (!readAll(path, bytes) || bytes.size() < sizeof(MachineSegment)) return false;
  const auto* seg = reinterpret_cast<const MachineSegment*>(bytes.data());
  for (const auto& s : seg->slots)
    if (s.live == 1 && s.pid > 0 && (::kill(static_cast<pid_t>(s.pid), 0) == 0 || errno == EPERM)) return true;
  return false;
}

// Writes a sentinel, noting first every directory level it has to create, deepest last.
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::ostream& record) {
  const std::string dir = path.substr(0, path.rfind('/'));
  for (size_t pos = 1; pos <= dir.size(); ++pos)
    if ((pos == dir.size() || dir[pos] == '/') && ::access(dir.substr(0, pos).c_str(), F_OK) != 0)
      record << "dir " << dir.substr(0, pos) << " -\n";
  ensureDirRecursive(dir);
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f.flush());
}

int place(const std::string& record) {
  std::ofstream out(record, std::ios::trunc);
  if (!out) {
    std::fprintf(stderr, "cannot write %s: nothing placed\n", record.c_str());
    return 1;
  }
  const std::string store = defaultStoreDir(), config = defaultConfigDir();
  const std::string segment = userSegmentName(), segPath = kShm + segment;
  const bool live = liveSegment(segPath) || liveSegment(kShm + kLegacySegmentName);
  if (!store.empty()) {
    const std::string path = store + "/memory.bin";
    if (::access(path.c_str(), F_OK) == 0) {
      out << (live ? "live " : "keep ") << path << " " << hashOf(path) << "\n";
    } else {
      MemoryFileBodyV1 body{};
      MemoryCartV1 cart{};
      body.modeWeights[3] = 2.5;  // a memory nobody would mistake for the user's first run
      body.forgetDays = 9.0;
      body.engravePct = 77.0;
      cart.ink[2][5] = 1.5f;
      // Where none can be written (no home), its absence is what must hold.
      const bool made =
          writeFile(path, vorrel::memfmt::encodeMemoryFile(body, cart, 1700000000, nullptr, nullptr), out);
      out << (made ? "made " : "keep ") << path << " " << hashOf(path) << "\n";
    }
  }
  if (!config.empty()) {
    const std::string path = config + "/presets.txt";
    if (::access(path.c_str(), F_OK) == 0) {
      out << "keep " << path << " " << hashOf(path) << "\n";
    } else {
      const bool made = writeFile(path, {}, out);
      out << (made ? "made " : "keep ") << path << " " << hashOf(path) << "\n";
    }
  }
  if (::access(segPath.c_str(), F_OK) == 0) {
    out << (live ? "live " : "keep ") << segPath << " " << hashOf(segPath) << "\n";
  } else {
    // A real segment, as the user's first instance would make it: a test that opened it would change its slots.
    const uint64_t now = static_cast<uint64_t>(std::time(nullptr));
    MachineMemory m(segment, store);
    const bool made = m.open(now);
    m.close(now);
    out << (made ? "made " : "keep ") << segPath << " " << hashOf(segPath) << "\n";
  }
  const std::string legacy = kShm + kLegacySegmentName;
  if (::access(legacy.c_str(), F_OK) == 0) out << (live ? "live " : "keep ") << legacy << " " << hashOf(legacy) << "\n";
  return out.flush() ? 0 : 1;
}

int check(const std::string& record) {
  std::ifstream in(record);
  if (!in) {
    std::fprintf(stderr, "no record %s: the placing test did not run\n", record.c_str());
    return 1;
  }
  int changed = 0;
  std::vector<std::string> dirs;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream l(line);
    std::string how, path, was;
    l >> how >> path >> was;
    if (how == "dir") {
      dirs.push_back(path);
      continue;
    }
    const std::string now = hashOf(path);
    if (how == "live") {
      std::printf("not compared (a running instance uses it): %s\n", path.c_str());
      continue;
    }
    if (now != was) {
      std::printf("CHANGED by the suite: %s (%s -> %s)\n", path.c_str(), was.c_str(), now.c_str());
      ++changed;
    } else {
      std::printf("unchanged: %s\n", path.c_str());
    }
    if (how != "made") continue;
    if (path.rfind(kShm, 0) == 0) {
      boost::interprocess::shared_memory_object::remove(path.substr(kShm.size()).c_str());
    } else {
      std::remove(path.c_str());
    }
  }
  // The directories the sentinels needed, deepest first, when nothing else came to live in them.
  for (auto d = dirs.rbegin(); d != dirs.rend(); ++d) ::rmdir(d->c_str());
  std::remove(record.c_str());
  return changed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string mode = argv[1];
  return mode == "place" ? place(argv[2]) : mode == "check" ? check(argv[2]) : 2;
}
