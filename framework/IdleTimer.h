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
  bool Running() const { return mThread.joinable(); }

 private:
  std::thread mThread;
  std::mutex mMutex;  // guards mStop, only between the owner and the timer thread
  std::condition_variable mWake;
  bool mStop = false;
};

}  // namespace vfw
