// The per-instance idle timer: steady 20 ms ticks, stoppable without waiting out a period.
#include "IdleTimer.h"

#include <chrono>

namespace vfw {

void IdleTimer::Start(std::function<void()> tick) {
  if (thread.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex);
    stop = false;
  }
  thread = std::thread([this, tick = std::move(tick)] {
    auto next = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> lock(mutex);
    while (!stop) {
      next += std::chrono::milliseconds(kPeriodMs);
      if (wake.wait_until(lock, next, [this] { return stop; })) break;
      lock.unlock();
      tick();
      lock.lock();
      // After a long tick, do not fire a burst to catch up.
      const auto now = std::chrono::steady_clock::now();
      if (next < now) next = now;
    }
  });
}

void IdleTimer::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex);
    stop = true;
  }
  wake.notify_all();
  if (thread.joinable()) thread.join();
}

}  // namespace vfw
