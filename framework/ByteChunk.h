// A growable little-endian byte buffer with bounds-checked reads, used for state chunks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vfw {

class ByteChunk {
 public:
  void PutU8(uint8_t v) { bytes.push_back(v); }
  void PutU32(uint32_t v);
  void PutI32(int32_t v) { PutU32(static_cast<uint32_t>(v)); }
  void PutDouble(double v);
  void PutBytes(const void* data, size_t size);
  void PutZeros(size_t size) { bytes.insert(bytes.end(), size, 0); }

  // Each read returns the position after the value, or -1 (leaving out untouched) when it would pass the end.
  int GetU8(uint8_t& out, int pos) const;
  int GetU32(uint32_t& out, int pos) const;
  int GetI32(int32_t& out, int pos) const;
  int GetDouble(double& out, int pos) const;
  int GetBytes(void* out, size_t size, int pos) const;

  bool Has(int pos, size_t size) const;
  size_t Size() const { return bytes.size(); }
  const uint8_t* Data() const { return bytes.data(); }
  uint8_t* Data() { return bytes.data(); }
  void Resize(size_t size) { bytes.resize(size); }
  void Clear() { bytes.clear(); }

 private:
  std::vector<uint8_t> bytes;
};

}  // namespace vfw
