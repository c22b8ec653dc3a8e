// The audio worker: one task at a time, handed over under a mutex.
#include "AudioThread.h"

namespace vhost {

AudioThread::AudioThread() {
  std::unique_lock<std::mutex> lock(mutex);
  thread = std::thread([this] {
    std::unique_lock<std::mutex> lk(mutex);
    threadId = std::this_thread::get_id();
    wake.notify_all();
    for (;;) {
      wake.wait(lk, [this] { return stop || task != nullptr; });
      if (stop) return;
      const std::function<void()>* fn = task;
      lk.unlock();
      (*fn)();
      lk.lock();
      task = nullptr;
      done = true;
      wake.notify_all();
    }
  });
  wake.wait(lock, [this] { return threadId != std::thread::id(); });
}

AudioThread::~AudioThread() {
  {
    std::lock_guard<std::mutex> lock(mutex);
    stop = true;
  }
  wake.notify_all();
  thread.join();
}

void AudioThread::run(const std::function<void()>& fn) {
  if (std::this_thread::get_id() == threadId) {
    fn();
    return;
  }
  std::unique_lock<std::mutex> lock(mutex);
  task = &fn;
  done = false;
  wake.notify_all();
  wake.wait(lock, [this] { return done; });
}

}  // namespace vhost
