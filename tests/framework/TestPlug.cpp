// The recording test plug-in and the MakePlug the framework's factory needs in test executables.
#include "TestPlug.h"

namespace vtest {

TestPlug::TestPlug(const clap_host_t* host, const char* channelIO)
    : vfw::Plugin(vfw::InstanceInfo{nullptr, host}, [channelIO] {
        vfw::Config c;
        c.nParams = 3;
        c.channelIO = channelIO;
        c.plugDoesMidiIn = true;
        c.plugDoesChunks = true;
        c.plugWidth = 400;
        c.plugHeight = 300;
        return c;
      }()) {
  GetParam(0)->InitDouble("Gain", 0.5, 0.0, 1.0, 0.01, "");
  GetParam(1)->InitInt("Steps", 2, 0, 8);
  GetParam(2)->InitDouble("Freq", 1000.0, 20.0, 20000.0, 1.0, "Hz", "", vfw::ParamShape::Exp);
  blockSizes.reserve(4096);
}

void TestPlug::ProcessMidiMsg(const vfw::MidiMsg& msg) {
  if (nMidi < kMaxRecorded) midi[nMidi++] = msg;
}

void TestPlug::OnParamChange(int, vfw::ParamSource, int offset) {
  ++paramChanges;
  lastParamOffset = offset;
}

void TestPlug::ProcessBlock(double** inputs, double** outputs, int nFrames) {
  if (blockSizes.size() < blockSizes.capacity()) blockSizes.push_back(nFrames);
  lastConnected = 0;
  for (int c = 0; c < kMaxOutputChannels; ++c)
    if (IsChannelConnected(vfw::Route::Output, c)) lastConnected |= 1u << c;
  // Channel c carries the constant c + 1, so tests can see where each channel went.
  for (int c = 0; c < kMaxOutputChannels; ++c)
    if (outputs[c])
      for (int i = 0; i < nFrames; ++i) outputs[c][i] = c + 1.0;
  (void)inputs;
}

}  // namespace vtest

vfw::Plugin* vfw::MakePlug(const vfw::InstanceInfo& info) { return new vtest::TestPlug(info.host); }
