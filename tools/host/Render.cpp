// The render loop: events placed at their frame inside each block, buffers copied out after each call.
#include "Render.h"

#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace vhost {

bool render(Instance& inst, const std::vector<TimedMidi>& midi, const RenderOptions& opts, RenderResult& result,
            std::string& error) {
  result = RenderResult{};
  if (inst.audioConfigCount() > 0 && !inst.selectAudioConfig(opts.configIndex)) {
    error = "audio-ports configuration " + std::to_string(opts.configIndex) + " was refused";
    return false;
  }
  const uint32_t block = std::max<uint32_t>(1, opts.blockSize);
  inst.setRenderMode(opts.offline);  // a plug-in without the extension simply does not hear of it
  if (!inst.activate(opts.sampleRate, 1, block)) {
    error = "activate failed";
    return false;
  }
  std::vector<uint32_t> channelsPerPort;
  for (const auto& p : inst.audioPorts(false)) {
    channelsPerPort.push_back(p.channels);
    result.portNames.push_back(p.name);
  }
  AudioBuffers buffers;
  buffers.configure(channelsPerPort, block, opts.use64);
  size_t totalChannels = 0;
  for (uint32_t c : channelsPerPort) totalChannels += c;

  const double lastEvent = midi.empty() ? 0.0 : midi.back().seconds;
  const auto totalFrames = static_cast<uint64_t>(std::ceil((lastEvent + opts.tailSeconds) * opts.sampleRate));
  result.channels.assign(totalChannels, std::vector<float>());
  for (auto& ch : result.channels) ch.reserve(totalFrames);

  inst.startProcessing();
  InputEvents in;
  OutputEvents out;
  size_t next = 0;
  bool first = true;
  const auto started = std::chrono::steady_clock::now();
  for (uint64_t pos = 0; pos < totalFrames; pos += block) {
    if (opts.pace > 0.0)  // a bounce at a chosen multiple of real time
      std::this_thread::sleep_until(
          started + std::chrono::duration<double>(static_cast<double>(pos) / (opts.sampleRate * opts.pace)));
    const auto frames = static_cast<uint32_t>(std::min<uint64_t>(block, totalFrames - pos));
    in.clear();
    out.clear();
    if (first) {
      for (const auto& [id, value] : opts.params) in.addParam(0, id, value);
      first = false;
    }
    while (next < midi.size()) {
      const auto at = static_cast<uint64_t>(std::llround(midi[next].seconds * opts.sampleRate));
      if (at >= pos + frames) break;
      in.addMidi(static_cast<uint32_t>(at > pos ? at - pos : 0), midi[next].status, midi[next].data1, midi[next].data2);
      ++next;
    }
    if (inst.process(buffers, frames, in, out) == CLAP_PROCESS_ERROR) {
      error = "process returned an error";
      inst.deactivate();
      return false;
    }
    size_t ch = 0;
    for (uint32_t p = 0; p < buffers.portCount(); ++p)
      for (uint32_t c = 0; c < channelsPerPort[p]; ++c, ++ch)
        for (uint32_t i = 0; i < frames; ++i)
          result.channels[ch].push_back(static_cast<float>(buffers.sample(p, c, i)));
    inst.host().pump(inst.get());
  }
  inst.stopProcessing();
  result.cpuSeconds = inst.processCpuSeconds();
  result.audioSeconds = static_cast<double>(totalFrames) / opts.sampleRate;
  inst.deactivate();
  return true;
}

bool writeWav(const std::string& path, const RenderResult& r, size_t first, size_t count, double sampleRate,
              std::string& error) {
  if (count == 0 || first + count > r.channels.size()) {
    error = "no such channels";
    return false;
  }
  SF_INFO info{};
  info.samplerate = static_cast<int>(std::lround(sampleRate));
  info.channels = static_cast<int>(count);
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) {
    error = std::string("cannot write ") + path + ": " + sf_strerror(nullptr);
    return false;
  }
  const size_t frames = r.channels[first].size();
  std::vector<float> interleaved(frames * count);
  for (size_t i = 0; i < frames; ++i)
    for (size_t c = 0; c < count; ++c) interleaved[i * count + c] = r.channels[first + c][i];
  const sf_count_t wrote = sf_writef_float(f, interleaved.data(), static_cast<sf_count_t>(frames));
  sf_close(f);
  if (wrote != static_cast<sf_count_t>(frames)) {
    error = "short write to " + path;
    return false;
  }
  return true;
}

}  // namespace vhost
