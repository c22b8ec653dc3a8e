// A Vorrel object driven through its own CLAP tables by our host pieces, so tests can also look inside it.
#pragma once

#include "ClapHost.h"
#include "Vorrel.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vtest {

class DirectVorrel {
 public:
  explicit DirectVorrel(int buses = 1, double rate = 48000.0, uint32_t maxFrames = 512,
                        const vhost::HostQuirks& quirks = {})
      : host(quirks), plug(std::make_unique<Vorrel>(vfw::InstanceInfo{nullptr, host.clap()})), clap(plug->ClapPlugin()) {
    clap->init(clap);
    plug->SelectLayout(buses - 1);
    clap->activate(clap, rate, 1, maxFrames);
    clap->start_processing(clap);
    buffers.configure(std::vector<uint32_t>(static_cast<size_t>(buses), 2), maxFrames, false);
    frames = maxFrames;
  }
  ~DirectVorrel() {
    clap->deactivate(clap);
    plug->StopIdleTimer();
  }

  // One block with the events queued so far.
  void block(uint32_t n = 0) {
    clap_process_t pr{};
    pr.frames_count = n ? n : frames;
    pr.audio_outputs = buffers.ports();
    pr.audio_outputs_count = buffers.portCount();
    pr.in_events = in.list();
    pr.out_events = out.list();
    clap->process(clap, &pr);
    in.clear();
    out.clear();
  }
  void midi(uint8_t s, uint8_t d1, uint8_t d2) { in.addMidi(0, s, d1, d2); }
  double sample(uint32_t port, uint32_t ch, uint32_t i) const { return buffers.sample(port, ch, i); }
  double rms(uint32_t port, uint32_t ch, uint32_t n = 0) const {
    double s = 0;
    n = n ? n : frames;
    for (uint32_t i = 0; i < n; ++i) s += sample(port, ch, i) * sample(port, ch, i);
    return std::sqrt(s / n);
  }
  const vorrel::dsp::VorrelEngine& engine() const { return plug->engineView(); }

  vhost::Host host;
  std::unique_ptr<Vorrel> plug;
  const clap_plugin_t* clap;
  vhost::AudioBuffers buffers;
  vhost::InputEvents in;
  vhost::OutputEvents out;
  uint32_t frames = 512;
};

}  // namespace vtest
