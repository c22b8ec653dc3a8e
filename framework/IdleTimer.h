// One thread per instance that calls a function about every 20 ms until stopped.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vfw {

class IdleTimer {
 public:
  static constexpr int kPeriodMs = 20;

  IdleTimer() = default;
  IdleTimer(const IdleTimer&) = delete;
  IdleTimer& operator=(const IdleTimer&) = delete;
  ~IdleTimer() { Stop(); }

  void Start(std::function<void()> tick);
  // Returns once the thread has ended; a tick in progress finishes first. Safe to call twice.
  void Stop();
  bool Running() const { return thread.joinable(); }

 private:
  std::thread thread;
  std::mutex mutex;  // guards stop, only between the owner and the timer thread
  std::condition_variable wake;
  bool stop = false;
};

}  // namespace vfw
