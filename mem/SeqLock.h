// Sequence-counter publication of records in shared memory: atomic counter, word copies as release stores
// and acquire loads (plain moves on x86), so no fence is needed and ThreadSanitizer sees every ordering.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace vorrel::mem {

template <typename T>
std::atomic_ref<T> shared(T& field) {
  return std::atomic_ref<T>(field);
}

// Word-by-word copies into and out of shared memory, as release stores and acquire loads.
template <typename Record>
void storeWords(Record& dst, const Record& src) {
  static_assert(std::is_trivially_copyable_v<Record> && sizeof(Record) % 4 == 0);
  auto* d = reinterpret_cast<uint32_t*>(&dst);
  const auto* from = reinterpret_cast<const uint32_t*>(&src);
  for (size_t i = 0; i < sizeof(Record) / 4; ++i) shared(d[i]).store(from[i], std::memory_order_release);
}

template <typename Record>
void loadWords(Record& src, Record& out) {
  static_assert(std::is_trivially_copyable_v<Record> && sizeof(Record) % 4 == 0);
  auto* from = reinterpret_cast<uint32_t*>(&src);
  auto* to = reinterpret_cast<uint32_t*>(&out);
  for (size_t i = 0; i < sizeof(Record) / 4; ++i) to[i] = shared(from[i]).load(std::memory_order_acquire);
}

// Writer side, one writer at a time (under the lock, or the slot's owner): odd, copy, even.
template <typename Record>
void seqPublish(uint64_t& seq, Record& dst, const Record& src) {
  auto counter = shared(seq);
  const uint64_t s = counter.load(std::memory_order_relaxed);
  counter.store(s + 1, std::memory_order_relaxed);
  // Each release store carries the odd counter with it: a reader that sees a new word sees the odd value.
  storeWords(dst, src);
  counter.store(s + 2, std::memory_order_release);
}

// Reader side, never blocks: false when never written, or torn on every one of the attempts.
template <typename Record>
bool seqRead(uint64_t& seq, Record& src, Record& out, int attempts = 8) {
  auto counter = shared(seq);
  for (int a = 0; a < attempts; ++a) {
    const uint64_t before = counter.load(std::memory_order_acquire);
    if (before == 0) return false;
    if (before & 1) continue;
    Record copy;
    loadWords(src, copy);  // acquire loads keep the second counter read after the copy
    if (counter.load(std::memory_order_relaxed) == before) {
      out = copy;
      return true;
    }
  }
  return false;
}

}  // namespace vorrel::mem
