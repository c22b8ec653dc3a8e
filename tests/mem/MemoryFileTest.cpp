// Memory files of every version from hand-built bytes, the frozen copy, and the atomic save path.
#include "Directories.h"
#include "MemoryFile.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

using namespace vorrel::mem;
using namespace vorrel::memfmt;
namespace fs = std::filesystem;

namespace {

struct TempDir {
  fs::path path;
  TempDir() {
    char tmpl[] = "/tmp/vorrel-mem-XXXXXX";
    path = ::mkdtemp(tmpl);
  }
  ~TempDir() { fs::remove_all(path); }
};

void put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void put64(std::vector<uint8_t>& b, uint64_t v) {
  for (int i = 0; i < 8; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void putD(std::vector<uint8_t>& b, double d) {
  uint64_t v;
  std::memcpy(&v, &d, 8);
  put64(b, v);
}
void putF(std::vector<uint8_t>& b, float f) {
  uint32_t v;
  std::memcpy(&v, &f, 4);
  put32(b, v);
}

// A file image written by hand, part by part, in the order of the format table.
std::vector<uint8_t> image(uint32_t version) {
  std::vector<uint8_t> b;
  put32(b, 0x4F41564D);
  put32(b, version);
  put64(b, 123456789);
  put64(b, 40);
  for (int i = 0; i < 40; ++i) putD(b, i * 0.5);
  putD(b, 9.5);
  putD(b, 150);
  if (version >= 2) {
    for (int i = 0; i < 144; ++i) putF(b, i * 0.125f);
    for (int i = 0; i < 144; ++i) put32(b, 1000 + i);
  }
  if (version >= 3) {
    const char name[40] = "Sunday";
    b.insert(b.end(), name, name + 40);
    put64(b, 777);
  }
  if (version >= 4) put64(b, 4444);
  if (version >= 5) putD(b, 3.25);
  return b;
}

struct Loaded {
  MemoryFileHeader h{};
  MemoryFileBodyV1 body{};
  MemoryCartV1 cart{};
  MemoryNameV3 name{};
  MemoryYours yours{};
  bool ok = false;
};

Loaded decode(const std::vector<uint8_t>& b) {
  Loaded l;
  l.ok = decodeMemoryFile(b.data(), b.size(), l.h, l.body, l.cart, &l.name, &l.yours);
  return l;
}

}  // namespace

TEST(MemoryFile, EveryVersionLoadsThePartsItHas) {
  for (uint32_t v = 1; v <= 5; ++v) {
    const auto bytes = image(v);
    ASSERT_EQ(bytes.size(), fileLengthFor(v));
    const Loaded l = decode(bytes);
    ASSERT_TRUE(l.ok) << v;
    EXPECT_EQ(l.h.version, v);
    EXPECT_EQ(l.h.savedAt, 123456789u);
    EXPECT_EQ(l.body.modeWeights[39], 19.5);
    EXPECT_EQ(l.body.forgetDays, 9.5);
    EXPECT_EQ(l.body.engravePct, 150.0);
    EXPECT_EQ(l.cart.ink[11][11], v >= 2 ? 143 * 0.125f : 0.0f) << v;
    EXPECT_EQ(l.cart.touchedHour[0][1], v >= 2 ? 1001u : 0u);
    EXPECT_STREQ(l.name.text, v >= 3 ? "Sunday" : "");
    EXPECT_EQ(l.name.namedAt, v >= 3 ? 777u : 0u);
    EXPECT_EQ(l.yours.lastCarved, v >= 4 ? 4444u : 0u);
    EXPECT_EQ(l.yours.yoursSeconds, v >= 5 ? 3.25 : 0.0);
  }
}

TEST(MemoryFile, WrongVersionsAndShortFilesAreRefusedWhole) {
  for (uint32_t v : {0u, 6u, 0xFFFFFFFFu}) {
    auto b = image(5);
    b[4] = static_cast<uint8_t>(v);
    b[5] = b[6] = b[7] = static_cast<uint8_t>(v >> 8);
    EXPECT_FALSE(decode(b).ok) << v;
  }
  auto cut = image(5);
  cut.resize(1000);
  MemoryFileHeader h{};
  h.version = 99;
  MemoryFileBodyV1 body{};
  body.forgetDays = 42;
  MemoryCartV1 cart{};
  cart.ink[0][0] = 5;
  EXPECT_FALSE(decodeMemoryFile(cut.data(), cut.size(), h, body, cart, nullptr, nullptr));
  EXPECT_EQ(h.version, 99u);  // outputs untouched
  EXPECT_EQ(body.forgetDays, 42.0);
  EXPECT_EQ(cart.ink[0][0], 5.0f);
  auto magic = image(5);
  magic[0] ^= 1;
  EXPECT_FALSE(decode(magic).ok);
  EXPECT_FALSE(decode({}).ok);
  auto extra = image(2);
  extra.resize(extra.size() + 30, 0xAB);  // bytes after the version's last part are ignored
  EXPECT_TRUE(decode(extra).ok);
}

TEST(MemoryFile, AFortyCharacterNameLosesItsLastCharacter) {
  auto b = image(5);
  std::memset(b.data() + 1512, 'n', 40);
  const Loaded l = decode(b);
  ASSERT_TRUE(l.ok);
  EXPECT_EQ(std::strlen(l.name.text), 39u);
}

TEST(MemoryFile, SaveWritesVersionFiveAndRoundTripsEveryBit) {
  TempDir dir;
  const std::string nested = (dir.path / "a" / "b" / "c").string();
  const auto want = decode(image(5));
  ASSERT_TRUE(saveMemoryFile(nested, "memory.bin", want.body, want.cart, 123456789, &want.name, &want.yours));
  for (const char* level : {"a", "a/b", "a/b/c"}) {
    struct stat st {};
    ASSERT_EQ(::stat((dir.path / level).c_str(), &st), 0) << level;
    EXPECT_EQ(st.st_mode & 0777, 0755u) << level;
  }
  const fs::path file = fs::path(nested) / "memory.bin";
  std::ifstream in(file, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, image(5));  // byte for byte the hand-built image
  Loaded l;
  ASSERT_TRUE(loadMemoryFile(file.string(), l.h, l.body, l.cart, &l.name, &l.yours));
  EXPECT_EQ(std::memcmp(&l.body, &want.body, sizeof l.body), 0);
  EXPECT_EQ(std::memcmp(&l.cart, &want.cart, sizeof l.cart), 0);
  EXPECT_EQ(std::memcmp(&l.name, &want.name, sizeof l.name), 0);
  EXPECT_EQ(std::memcmp(&l.yours, &want.yours, sizeof l.yours), 0);
  for (const auto& e : fs::directory_iterator(nested)) EXPECT_EQ(e.path().filename(), "memory.bin");
}

TEST(MemoryFile, NullNameAndYoursWriteZeros) {
  TempDir dir;
  MemoryFileBodyV1 body{};
  MemoryCartV1 cart{};
  ASSERT_TRUE(saveMemoryFile(dir.path.string(), "m.bin", body, cart, 1, nullptr, nullptr));
  std::ifstream in(dir.path / "m.bin", std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 1576u);
  for (size_t i = 1512; i < 1576; ++i) EXPECT_EQ(bytes[i], 0) << i;
  EXPECT_FALSE(saveMemoryFile("/proc/no-such-place", "m.bin", body, cart, 1, nullptr, nullptr));
}

TEST(SealedCopy, VersionTwoRoundTripsAndOnlyKnownShapesAreRead) {
  SealedMemory s{};
  s.sealedAt = 0x1122334455667788ull;
  for (int i = 0; i < 40; ++i) s.modeWeights[i] = i * 0.25;
  s.cart.ink[3][4] = 2.5f;
  s.cart.touchedHour[5][6] = 99;
  const auto bytes = encodeSealed(s);
  ASSERT_EQ(bytes.size(), 1488u);
  SealedMemory back{};
  ASSERT_TRUE(decodeSealed(bytes.data(), bytes.size(), back));
  EXPECT_EQ(back.present, 1);
  EXPECT_EQ(back.sealedAt, s.sealedAt);
  EXPECT_EQ(std::memcmp(back.modeWeights, s.modeWeights, sizeof s.modeWeights), 0);
  EXPECT_EQ(std::memcmp(&back.cart, &s.cart, sizeof s.cart), 0);
  auto v1 = bytes;
  v1[0] = 1;  // length 1488 with version 1: refused
  SealedMemory untouched{};
  untouched.sealedAt = 5;
  EXPECT_FALSE(decodeSealed(v1.data(), v1.size(), untouched));
  EXPECT_EQ(untouched.sealedAt, 5u);
  std::vector<uint8_t> old(bytes.begin(), bytes.begin() + 336);
  old[0] = 1;
  SealedMemory fromOld{};
  ASSERT_TRUE(decodeSealed(old.data(), old.size(), fromOld));
  EXPECT_EQ(fromOld.modeWeights[39], 39 * 0.25);
  EXPECT_EQ(fromOld.cart.ink[3][4], 0.0f);
  EXPECT_FALSE(decodeSealed(bytes.data(), 1487, untouched));
}

TEST(CrashSafety, AKilledSaverNeverLeavesABrokenFile) {
  TempDir dir;
  const std::string path = (dir.path / "memory.bin").string();
  MemoryFileBodyV1 body{};
  MemoryCartV1 cart{};
  ASSERT_TRUE(saveMemoryFile(dir.path.string(), "memory.bin", body, cart, 0, nullptr, nullptr));
  std::mt19937 rng(17);
  for (int round = 0; round < 12; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      MemoryFileBodyV1 b{};
      MemoryCartV1 c{};
      for (uint64_t i = 1;; ++i) {
        b.modeWeights[0] = static_cast<double>(i);
        saveMemoryFile(dir.path.string(), "memory.bin", b, c, i, nullptr, nullptr);
      }
    }
    ::usleep(2000 + rng() % 20000);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    Loaded l;
    ASSERT_TRUE(loadMemoryFile(path, l.h, l.body, l.cart, nullptr, nullptr)) << round;
    EXPECT_EQ(l.body.modeWeights[0], static_cast<double>(l.h.savedAt));
  }
}

TEST(CrashSafety, FourThreadsSavingAtOnceLeaveOneCompleteFile) {
  TempDir dir;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&dir, t] {
      MemoryFileBodyV1 b{};
      MemoryCartV1 c{};
      for (int i = 0; i < 60; ++i) {
        b.modeWeights[1] = t * 1000 + i;
        EXPECT_TRUE(saveMemoryFile(dir.path.string(), "memory.bin", b, c, static_cast<uint64_t>(t * 1000 + i), nullptr,
                                   nullptr));
      }
    });
  }
  for (auto& th : threads) th.join();
  Loaded l;
  ASSERT_TRUE(loadMemoryFile((dir.path / "memory.bin").string(), l.h, l.body, l.cart, nullptr, nullptr));
  EXPECT_EQ(l.body.modeWeights[1], static_cast<double>(l.h.savedAt));
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir.path)) files += e.is_regular_file();
  EXPECT_EQ(files, 1);  // no temporaries left behind
}

TEST(Directories, FollowTheXdgVariables) {
  const char* oldData = std::getenv("XDG_DATA_HOME");
  const std::string keep = oldData ? oldData : "";
  ::setenv("XDG_DATA_HOME", "/x/data", 1);
  EXPECT_EQ(defaultStoreDir(), "/x/data/OskelAudio/Vorrel");
  ::unsetenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (home) {
    EXPECT_EQ(defaultStoreDir(), std::string(home) + "/.local/share/OskelAudio/Vorrel");
  }
  if (!keep.empty()) ::setenv("XDG_DATA_HOME", keep.c_str(), 1);
}
