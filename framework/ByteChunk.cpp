// Little-endian encoding done byte by byte, so the format never depends on the host's layout.
#include "ByteChunk.h"

#include <cstring>
#include <limits>

namespace vfw {

void ByteChunk::PutU32(uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void ByteChunk::PutDouble(double v) {
  uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

void ByteChunk::PutBytes(const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  if (size > 0) bytes.insert(bytes.end(), p, p + size);
}

bool ByteChunk::Has(int pos, size_t size) const {
  if (pos < 0) return false;
  const auto start = static_cast<size_t>(pos);
  return start <= bytes.size() && size <= bytes.size() - start &&
         start + size <= static_cast<size_t>(std::numeric_limits<int>::max());
}

int ByteChunk::GetU8(uint8_t& out, int pos) const {
  if (!Has(pos, 1)) return -1;
  out = bytes[static_cast<size_t>(pos)];
  return pos + 1;
}

int ByteChunk::GetU32(uint32_t& out, int pos) const {
  if (!Has(pos, 4)) return -1;
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(bytes[static_cast<size_t>(pos + i)]) << (8 * i);
  out = v;
  return pos + 4;
}

int ByteChunk::GetI32(int32_t& out, int pos) const {
  uint32_t u = 0;
  const int next = GetU32(u, pos);
  if (next >= 0) out = static_cast<int32_t>(u);
  return next;
}

int ByteChunk::GetDouble(double& out, int pos) const {
  if (!Has(pos, 8)) return -1;
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(bytes[static_cast<size_t>(pos + i)]) << (8 * i);
  std::memcpy(&out, &bits, sizeof out);
  return pos + 8;
}

int ByteChunk::GetBytes(void* out, size_t size, int pos) const {
  if (!Has(pos, size)) return -1;
  if (size > 0) std::memcpy(out, bytes.data() + pos, size);
  return pos + static_cast<int>(size);
}

}  // namespace vfw
