// A dedicated thread that runs the host's audio-thread calls one at a time, as a real host's engine would.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vhost {

class AudioThread {
 public:
  AudioThread();
  ~AudioThread();
  AudioThread(const AudioThread&) = delete;
  AudioThread& operator=(const AudioThread&) = delete;

  // Runs fn on the audio thread and waits for it to finish.
  void run(const std::function<void()>& fn);
  std::thread::id id() const { return threadId; }

 private:
  std::thread thread;
  std::thread::id threadId;
  std::mutex mutex;  // guards task, done and stop between the caller and the audio thread
  std::condition_variable wake;
  const std::function<void()>* task = nullptr;
  bool done = false;
  bool stop = false;
};

}  // namespace vhost
