// A fixed single-producer single-consumer ring with free-running 32-bit counters.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

template <typename T, uint32_t N>
class SpscRing {
  static_assert(N > 0 && (N & (N - 1)) == 0, "capacity must be a power of two so the counters wrap cleanly");

 public:
  static constexpr uint32_t kCapacity = N;

  // Producer thread only. False (and nothing written) when full.
  bool push(const T& item) {
    const uint32_t w = writeCount.load(std::memory_order_relaxed);
    const uint32_t r = readCount.load(std::memory_order_acquire);
    if (w - r >= N) return false;
    slots[w % N] = item;
    writeCount.store(w + 1, std::memory_order_release);
    return true;
  }

  // Consumer thread only. False when empty.
  bool pop(T& item) {
    const uint32_t r = readCount.load(std::memory_order_relaxed);
    const uint32_t w = writeCount.load(std::memory_order_acquire);
    if (r == w) return false;
    item = slots[r % N];
    readCount.store(r + 1, std::memory_order_release);
    return true;
  }

  // Either side: how many items wait (a snapshot).
  uint32_t size() const {
    return writeCount.load(std::memory_order_acquire) - readCount.load(std::memory_order_acquire);
  }

 private:
  std::array<T, N> slots{};
  std::atomic<uint32_t> writeCount{0};  // written by the producer only
  std::atomic<uint32_t> readCount{0};   // written by the consumer only
};
