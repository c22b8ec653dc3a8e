// Memory file and frozen-copy encoding; the atomic save path and the version-by-version load.
#include "MemoryFile.h"

#include <cstring>
#include <string>

namespace vorrel::memfmt {
namespace {

class Writer {
 public:
  explicit Writer(std::vector<uint8_t>& out) : bytes(out) {}
  void u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void u64(uint64_t v) {
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void f64(double v) {
    uint64_t b;
    std::memcpy(&b, &v, 8);
    u64(b);
  }
  void f32(float v) {
    uint32_t b;
    std::memcpy(&b, &v, 4);
    u32(b);
  }
  void raw(const void* p, size_t n) {
    const auto* c = static_cast<const uint8_t*>(p);
    bytes.insert(bytes.end(), c, c + n);
  }
  void cart(const MemoryCartV1& c) {
    for (const auto& row : c.ink)
      for (float v : row) f32(v);
    for (const auto& row : c.touchedHour)
      for (uint32_t v : row) u32(v);
  }

 private:
  std::vector<uint8_t>& bytes;
};

class Reader {
 public:
  Reader(const uint8_t* d, size_t n) : data(d), size(n) {}
  bool has(size_t n) const { return n <= size - pos; }
  uint32_t u32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(data[pos + static_cast<size_t>(i)]) << (8 * i);
    pos += 4;
    return v;
  }
  uint64_t u64() {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(data[pos + static_cast<size_t>(i)]) << (8 * i);
    pos += 8;
    return v;
  }
  double f64() {
    const uint64_t b = u64();
    double v;
    std::memcpy(&v, &b, 8);
    return v;
  }
  float f32() {
    const uint32_t b = u32();
    float v;
    std::memcpy(&v, &b, 4);
    return v;
  }
  void raw(void* p, size_t n) {
    std::memcpy(p, data + pos, n);
    pos += n;
  }
  void skip(size_t n) { pos += n; }
  void cart(MemoryCartV1& c) {
    for (auto& row : c.ink)
      for (float& v : row) v = f32();
    for (auto& row : c.touchedHour)
      for (uint32_t& v : row) v = u32();
  }

 private:
  const uint8_t* data;
  size_t size;
  size_t pos = 0;
};

constexpr size_t kHeader = 24, kBody = 336, kCart = 1152, kName = 48;

void writeBody(Writer& w, const MemoryFileBodyV1& b) {
  for (double v : b.modeWeights) w.f64(v);
  w.f64(b.forgetDays);
  w.f64(b.engravePct);
}

void readBody(Reader& r, MemoryFileBodyV1& b) {
  for (double& v : b.modeWeights) v = r.f64();
  b.forgetDays = r.f64();
  b.engravePct = r.f64();
}

}  // namespace

size_t fileLengthFor(uint32_t version) {
  static const size_t kLengths[] = {0, 360, 1512, 1560, 1568, 1576};
  return version >= 1 && version <= 5 ? kLengths[version] : 0;
}

std::vector<uint8_t> encodeMemoryFile(const MemoryFileBodyV1& body, const MemoryCartV1& cart, uint64_t savedAt,
                                      const MemoryNameV3* name, const MemoryYours* yours) {
  std::vector<uint8_t> out;
  out.reserve(kFileLength);
  Writer w(out);
  w.u32(kFileMagic);
  w.u32(kFileVersion);
  w.u64(savedAt);
  w.u64(mem::kModes);
  writeBody(w, body);
  w.cart(cart);
  if (name) {
    w.raw(name->text, sizeof name->text);
    w.u64(name->namedAt);
  } else {
    out.insert(out.end(), kName, 0);
  }
  w.u64(yours ? yours->lastCarved : 0);
  w.f64(yours ? yours->yoursSeconds : 0.0);
  return out;
}

bool decodeMemoryFile(const uint8_t* data, size_t size, MemoryFileHeader& header, MemoryFileBodyV1& body,
                      MemoryCartV1& cart, MemoryNameV3* name, MemoryYours* yours) {
  if (!data) return false;
  Reader r(data, size);
  if (!r.has(kHeader)) return false;
  MemoryFileHeader h;
  h.magic = r.u32();
  h.version = r.u32();
  h.savedAt = r.u64();
  h.modeCount = r.u64();
  if (h.magic != kFileMagic || fileLengthFor(h.version) == 0) return false;
  // Every part the version has must be complete, or nothing is taken.
  if (!r.has(fileLengthFor(h.version) - kHeader)) return false;
  MemoryFileBodyV1 b{};
  MemoryCartV1 c{};
  MemoryNameV3 n{};
  MemoryYours y{};
  readBody(r, b);
  if (h.version > 1) r.cart(c);
  if (h.version > 2) {
    r.raw(n.text, sizeof n.text);
    n.namedAt = r.u64();
  }
  if (h.version > 3) y.lastCarved = r.u64();
  if (h.version > 4) y.yoursSeconds = r.f64();
  n.text[sizeof n.text - 1] = '\0';
  header = h;
  body = b;
  cart = c;
  if (name) *name = n;
  if (yours) *yours = y;
  return true;
}

bool saveMemoryFile(const std::string& dir, const std::string& fileName, const MemoryFileBodyV1& body,
                    const MemoryCartV1& cart, uint64_t savedAt, const MemoryNameV3* name, const MemoryYours* yours) {
  const std::string temp = writeTemporary(dir, fileName, encodeMemoryFile(body, cart, savedAt, name, yours));
  if (temp.empty() || !renameOver(temp, dir + "/" + fileName)) return false;
  syncDirectory(dir);
  return true;
}

NewFile saveNewMemoryFile(const std::string& dir, const std::string& fileName, const MemoryFileBodyV1& body,
                          const MemoryCartV1& cart, uint64_t savedAt, const MemoryNameV3* name,
                          const MemoryYours* yours) {
  const std::string temp = writeTemporary(dir, fileName, encodeMemoryFile(body, cart, savedAt, name, yours));
  if (temp.empty()) return NewFile::Failed;
  const NewFile result = renameNoReplace(temp, dir + "/" + fileName);
  if (result == NewFile::Written) syncDirectory(dir);
  return result;
}

ReadStatus readMemoryFile(const std::string& path, MemoryFileHeader& header, MemoryFileBodyV1& body, MemoryCartV1& cart,
                          MemoryNameV3* name, MemoryYours* yours, uint64_t* print) {
  std::vector<uint8_t> bytes;
  uint64_t size = 0;
  const ReadStatus status = readRegularFile(path, bytes, kFileLength, size);
  if (status != ReadStatus::Ok) return status;
  if (!decodeMemoryFile(bytes.data(), bytes.size(), header, body, cart, name, yours)) return ReadStatus::Unreadable;
  if (print) *print = fingerprint(bytes.data(), bytes.size(), size);
  return ReadStatus::Ok;
}

bool loadMemoryFile(const std::string& path, MemoryFileHeader& header, MemoryFileBodyV1& body, MemoryCartV1& cart,
                    MemoryNameV3* name, MemoryYours* yours) {
  return readMemoryFile(path, header, body, cart, name, yours, nullptr) == ReadStatus::Ok;
}

std::vector<uint8_t> encodeSealed(const SealedMemory& s) {
  std::vector<uint8_t> out;
  out.reserve(kSealedLength);
  Writer w(out);
  w.u32(2);
  w.u32(mem::kModes);
  w.u64(s.sealedAt);
  for (double v : s.modeWeights) w.f64(v);
  w.cart(s.cart);
  return out;
}

bool decodeSealed(const uint8_t* data, size_t size, SealedMemory& out) {
  if (!data || (size != kSealedLength && size != kSealedLengthV1)) return false;
  Reader r(data, size);
  const uint32_t version = r.u32();
  if ((size == kSealedLength && version != 2) || (size == kSealedLengthV1 && version != 1)) return false;
  SealedMemory s{};
  r.skip(4);  // mode count, not read
  s.sealedAt = r.u64();
  for (double& v : s.modeWeights) v = r.f64();
  if (version == 2) r.cart(s.cart);
  s.present = 1;
  out = s;
  return true;
}

}  // namespace vorrel::memfmt
