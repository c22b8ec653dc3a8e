// A small plug-in on our CLAP layer that records what the framework hands it, for testing the layer directly.
#pragma once

#include "Plugin.h"

#include <atomic>
#include <vector>

namespace vtest {

class TestPlug : public vfw::Plugin {
 public:
  static constexpr int kMaxRecorded = 256;

  explicit TestPlug(const clap_host_t* host, const char* channelIO = "0-2 0-2.2");
  ~TestPlug() override { StopIdleTimer(); }

  void ProcessMidiMsg(const vfw::MidiMsg& msg) override;
  void OnParamChange(int idx, vfw::ParamSource source, int offset) override;
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;
  void OnIdle() override { idleCalls.fetch_add(1, std::memory_order_relaxed); }

  // Audio thread writes, the test reads after process returns (the host's hand-over orders them).
  vfw::MidiMsg midi[kMaxRecorded];
  int nMidi = 0;
  int paramChanges = 0;
  int lastParamOffset = -2;
  std::vector<int> blockSizes;  // reserved up front
  uint32_t lastConnected = 0;
  std::atomic<int> idleCalls{0};
};

}  // namespace vtest
