// The paced block loop: block k is asked for at t0 + k x blockFrames / rate and is late when the processing of all
// instances ends after the next block is due. After a late block the pace starts again from the moment it ended, as
// a sound card's driver restarts after an xrun, so one stall counts once.
#include "PacedAudio.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <chrono>

namespace vhost {

PacedAudio::PacedAudio(Host& host, std::vector<Instance*> instances, double sampleRate, uint32_t blockFrames,
                       int fifoPriority)
    : hostRef(host), insts(std::move(instances)), rate(sampleRate), frames(blockFrames), priority(fifoPriority) {
  for (Instance* inst : insts) {
    std::vector<uint32_t> channels;
    for (const auto& port : inst->audioPorts(false)) channels.push_back(port.channels);
    outs.push_back(std::make_unique<AudioBuffers>());
    outs.back()->configure(channels, frames, false);
  }
}

PacedAudio::~PacedAudio() { stop(); }

void PacedAudio::start() {
  if (running.exchange(true)) return;
  blockCount = 0;
  lateCount = 0;
  worstLate = 0.0;
  launcher = std::thread([this] { hostRef.audio().run([this] { loop(); }); });
}

void PacedAudio::stop() {
  running = false;
  if (launcher.joinable()) launcher.join();
}

void PacedAudio::loop() {
  int oldPolicy = 0;
  sched_param oldParam{};
  pthread_getschedparam(pthread_self(), &oldPolicy, &oldParam);
  bool fifo = false;
  if (priority > 0) {
    sched_param p{};
    p.sched_priority = std::min(priority, sched_get_priority_max(SCHED_FIFO));
    fifo = pthread_setschedparam(pthread_self(), SCHED_FIFO, &p) == 0;
  }
  gotFifo = fifo;
  using Clock = std::chrono::steady_clock;
  const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(frames / rate));
  auto due = Clock::now();
  while (running.load()) {
    std::this_thread::sleep_until(due);
    for (size_t i = 0; i < insts.size(); ++i) {
      dropped.clear();
      insts[i]->process(*outs[i], frames, noEvents, dropped);
    }
    const auto end = Clock::now();
    const auto deadline = due + period;
    blockCount.fetch_add(1);
    if (end > deadline) {
      lateCount.fetch_add(1);
      const double ms = std::chrono::duration<double, std::milli>(end - deadline).count();
      if (ms > worstLate.load()) worstLate = ms;
      due = end;
    } else {
      due = deadline;
    }
  }
  if (fifo) pthread_setschedparam(pthread_self(), oldPolicy, &oldParam);  // the thread serves other calls after
}

}  // namespace vhost
