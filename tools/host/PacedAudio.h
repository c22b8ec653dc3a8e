// Blocks at their real-time pace on the host's audio thread, as a sound card asks for them, and a count of the
// blocks whose processing ended after their deadline (what a real host reports as an xrun).
#pragma once

#include "ClapHost.h"
#include "Events.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace vhost {

class PacedAudio {
 public:
  // The instances must be active and processing, with blockFrames within their activation's range; their sound is
  // dropped. fifoPriority > 0 asks for SCHED_FIFO on the audio thread while it runs, as JACK's clients have.
  PacedAudio(Host& host, std::vector<Instance*> instances, double sampleRate, uint32_t blockFrames,
             int fifoPriority = 0);
  ~PacedAudio();
  PacedAudio(const PacedAudio&) = delete;
  PacedAudio& operator=(const PacedAudio&) = delete;

  void start();
  void stop();
  // Read from any thread; written by the audio thread while running.
  uint64_t blocks() const { return blockCount.load(); }
  uint64_t lateBlocks() const { return lateCount.load(); }
  double worstLateMs() const { return worstLate.load(); }
  // Whether the audio thread got SCHED_FIFO on the last start.
  bool realtime() const { return gotFifo.load(); }

 private:
  void loop();

  Host& hostRef;
  std::vector<Instance*> insts;  // processed in this order each block, on the audio thread
  double rate;
  uint32_t frames;
  int priority;
  std::vector<std::unique_ptr<AudioBuffers>> outs;  // one per instance; the audio thread's while running
  InputEvents noEvents;
  OutputEvents dropped;
  std::thread launcher;  // waits in Host::audio().run while the loop runs there
  std::atomic<bool> running{false};
  std::atomic<uint64_t> blockCount{0};
  std::atomic<uint64_t> lateCount{0};
  std::atomic<double> worstLate{0.0};  // ms past the deadline of the latest block
  std::atomic<bool> gotFifo{false};
};

}  // namespace vhost
