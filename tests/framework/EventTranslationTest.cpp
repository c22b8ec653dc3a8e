// CLAP events through our layer: note events become MIDI, parameter events split the block, outputs map to channels.
#include "ClapHost.h"
#include "TestPlug.h"

#include <gtest/gtest.h>

#include <memory>

using vhost::AudioBuffers;
using vhost::InputEvents;
using vhost::OutputEvents;
using vtest::TestPlug;

namespace {

class LayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plug = std::make_unique<TestPlug>(host.clap());
    clap = plug->ClapPlugin();
    ASSERT_TRUE(clap->init(clap));
  }
  void TearDown() override {
    if (plug->IsActive()) clap->deactivate(clap);
    plug->StopIdleTimer();
  }
  void activate(uint32_t maxFrames = 512) {
    ASSERT_TRUE(clap->activate(clap, 48000.0, 1, maxFrames));
    ASSERT_TRUE(clap->start_processing(clap));
  }
  clap_process_status run(uint32_t frames, AudioBuffers& buf, const clap_audio_buffer_t* inputs = nullptr,
                          uint32_t nInputs = 0) {
    clap_process_t pr{};
    pr.frames_count = frames;
    pr.steady_time = -1;
    pr.audio_outputs = buf.ports();
    pr.audio_outputs_count = buf.portCount();
    pr.audio_inputs = inputs;
    pr.audio_inputs_count = nInputs;
    pr.in_events = in.list();
    pr.out_events = out.list();
    return clap->process(clap, &pr);
  }

  vhost::Host host;
  std::unique_ptr<TestPlug> plug;
  const clap_plugin_t* clap = nullptr;
  InputEvents in;
  OutputEvents out;
};

}  // namespace

TEST_F(LayerTest, NoteEventsBecomeMidiWithAudibleVelocities) {
  activate();
  AudioBuffers buf;
  buf.configure({2}, 512, false);
  in.addNote(CLAP_EVENT_NOTE_ON, 0, 60, 0, 0.001);  // would round to 0, a note-off to any MIDI reader
  in.addNote(CLAP_EVENT_NOTE_ON, 0, 61, 3, 0.5);
  in.addNote(CLAP_EVENT_NOTE_ON, 0, 62, -1, 1.0);  // wildcard channel
  in.addNote(CLAP_EVENT_NOTE_OFF, 0, 60, 0, 0.7);
  in.addNote(CLAP_EVENT_NOTE_ON, 0, -1, 0, 1.0);  // wildcard key: no MIDI note to name
  in.addNote(CLAP_EVENT_NOTE_OFF, 0, -1, -1, 0.0);
  in.addNote(CLAP_EVENT_NOTE_ON, 0, 64, 16, 1.0);  // no such channel
  in.addNote(CLAP_EVENT_NOTE_CHOKE, 0, 60, 0, 0.0);
  in.addMidi(0, 0xB0, 64, 127);
  ASSERT_EQ(run(512, buf), CLAP_PROCESS_CONTINUE);
  ASSERT_EQ(plug->nMidi, 5);
  EXPECT_EQ(plug->midi[0].status, 0x90);
  EXPECT_EQ(plug->midi[0].data2, 1);
  EXPECT_EQ(plug->midi[1].status, 0x93);
  EXPECT_EQ(plug->midi[1].data2, 64);  // lround(63.5)
  EXPECT_EQ(plug->midi[2].status, 0x90);
  EXPECT_EQ(plug->midi[2].data2, 127);
  EXPECT_EQ(plug->midi[3].status, 0x80);
  EXPECT_EQ(plug->midi[3].data2, 0);
  EXPECT_EQ(plug->midi[4].status, 0xB0);
  EXPECT_EQ(plug->midi[4].data1, 64);
}

TEST_F(LayerTest, ParameterEventsApplyAtTheirPositionAndForeignSpacesAreIgnored) {
  activate();
  AudioBuffers buf;
  buf.configure({2}, 512, false);
  in.addParam(100, 0, 0.25);
  in.addParam(300, 2, 5000.0, nullptr);
  in.addParam(300, 1, 7.0, nullptr, 0x1234);  // another event space
  in.addParam(400, 99, 1.0);                  // no such parameter
  ASSERT_EQ(run(512, buf), CLAP_PROCESS_CONTINUE);
  EXPECT_EQ(plug->GetParam(0)->Value(), 0.25);
  EXPECT_EQ(plug->GetParam(2)->Value(), 5000.0);
  EXPECT_EQ(plug->GetParam(1)->Value(), 2.0);
  EXPECT_EQ(plug->paramChanges, 2);
  EXPECT_EQ(plug->blockSizes, (std::vector<int>{100, 200, 100, 112}));
}

TEST_F(LayerTest, FlushWhileStoppedMatchesEventsWhileProcessing) {
  const double values[] = {-5.0, 0.0, 0.333, 1.0, 7.5, 1e300};
  InputEvents events;
  for (double v : values) {
    for (uint32_t id = 0; id < 3; ++id) events.addParam(0, id, v);
  }
  clap_plugin_params_t const* params =
      static_cast<const clap_plugin_params_t*>(clap->get_extension(clap, CLAP_EXT_PARAMS));
  params->flush(clap, events.list(), out.list());
  double flushed[3];
  for (int i = 0; i < 3; ++i) flushed[i] = plug->GetParam(i)->Value();

  TestPlug other(host.clap());
  const clap_plugin_t* oc = other.ClapPlugin();
  ASSERT_TRUE(oc->init(oc));
  ASSERT_TRUE(oc->activate(oc, 44100.0, 1, 64));
  AudioBuffers buf;
  buf.configure({2}, 64, false);
  clap_process_t pr{};
  pr.frames_count = 64;
  pr.audio_outputs = buf.ports();
  pr.audio_outputs_count = 1;
  pr.in_events = events.list();
  pr.out_events = out.list();
  ASSERT_EQ(oc->process(oc, &pr), CLAP_PROCESS_CONTINUE);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(other.GetParam(i)->Value(), flushed[i]) << i;
  EXPECT_EQ(flushed[1], 8.0);
  oc->deactivate(oc);
}

TEST_F(LayerTest, ChannelsMapToHostBuffersIn32And64Bit) {
  ASSERT_TRUE(plug->SelectLayout(1));
  activate();
  for (bool use64 : {false, true}) {
    AudioBuffers buf;
    buf.configure({2, 2, 2}, 512, use64);  // one port more than the chosen layout holds
    buf.fill(-9.0);
    buf.nullChannel(1, 1);
    ASSERT_EQ(run(256, buf), CLAP_PROCESS_CONTINUE);
    EXPECT_EQ(buf.sample(0, 0, 0), 1.0);
    EXPECT_EQ(buf.sample(0, 1, 255), 2.0);
    EXPECT_EQ(buf.sample(1, 0, 17), 3.0);
    EXPECT_EQ(buf.sample(2, 0, 3), 0.0);     // outside the layout: silenced
    EXPECT_EQ(buf.sample(0, 0, 256), -9.0);  // past the block: untouched
    EXPECT_EQ(plug->lastConnected, 0b0111u);
  }
}

TEST_F(LayerTest, LayoutsSelectOnlyWhileDeactivated) {
  EXPECT_TRUE(plug->SelectLayout(1));
  EXPECT_FALSE(plug->SelectLayout(2));
  activate();
  EXPECT_FALSE(plug->SelectLayout(0));
  EXPECT_EQ(plug->ActiveConfigIndex(), 1);
}

TEST_F(LayerTest, InputBuffersAndLongBlocksAreServed) {
  activate(64);
  AudioBuffers ins;
  ins.configure({2}, 200, false);
  ins.fill(0.5);
  AudioBuffers buf;
  buf.configure({2}, 200, false);
  ASSERT_EQ(run(200, buf, ins.ports(), 1), CLAP_PROCESS_CONTINUE);  // longer than activate promised
  EXPECT_EQ(plug->blockSizes, (std::vector<int>{64, 64, 64, 8}));
  EXPECT_EQ(buf.sample(0, 1, 199), 2.0);
}

TEST_F(LayerTest, ChangesFromOtherThreadsReachTheHostThroughTheMainThread) {
  std::thread ui([this] {
    plug->BeginInformHostOfParamChangeFromUI(0);
    plug->SendParameterValueFromUI(0, 0.75);
    plug->EndInformHostOfParamChangeFromUI(0);
  });
  ui.join();
  EXPECT_TRUE(host.callbackPending.load());
  host.pump(clap);
  EXPECT_EQ(host.flushRequests.load(), 1);
  EXPECT_EQ(host.misbehaviours.load(), 0);
  const auto* params = static_cast<const clap_plugin_params_t*>(clap->get_extension(clap, CLAP_EXT_PARAMS));
  InputEvents none;
  params->flush(clap, none.list(), out.list());
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out.get(0)->type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
  EXPECT_EQ(out.get(1)->type, CLAP_EVENT_PARAM_VALUE);
  EXPECT_EQ(reinterpret_cast<const clap_event_param_value_t*>(out.get(1))->value, 0.75);
  EXPECT_EQ(out.get(2)->type, CLAP_EVENT_PARAM_GESTURE_END);
}

TEST_F(LayerTest, GesturesStayBalancedWhenTheyMeetBetweenFlushes) {
  const auto* params = static_cast<const clap_plugin_params_t*>(clap->get_extension(clap, CLAP_EXT_PARAMS));
  InputEvents none;
  const auto flushTypes = [&] {
    out.clear();
    params->flush(clap, none.list(), out.list());
    std::vector<uint16_t> types;
    for (uint32_t i = 0; i < out.size(); ++i) types.push_back(out.get(i)->type);
    return types;
  };
  const uint16_t b = CLAP_EVENT_PARAM_GESTURE_BEGIN, v = CLAP_EVENT_PARAM_VALUE, e = CLAP_EVENT_PARAM_GESTURE_END;
  plug->BeginInformHostOfParamChangeFromUI(0);
  plug->SendParameterValueFromUI(0, 0.2);
  EXPECT_EQ(flushTypes(), (std::vector<uint16_t>{b, v}));
  // A drag released and the next one started before the host flushed: the open gesture ends first.
  plug->EndInformHostOfParamChangeFromUI(0);
  plug->BeginInformHostOfParamChangeFromUI(0);
  plug->SendParameterValueFromUI(0, 0.4);
  EXPECT_EQ(flushTypes(), (std::vector<uint16_t>{e, b, v}));
  plug->SendParameterValueFromUI(0, 0.5);
  plug->EndInformHostOfParamChangeFromUI(0);
  EXPECT_EQ(flushTypes(), (std::vector<uint16_t>{v, e}));
  // Two whole gestures between flushes go out as one.
  for (int i = 0; i < 2; ++i) {
    plug->BeginInformHostOfParamChangeFromUI(0);
    plug->SendParameterValueFromUI(0, 0.1 * i);
    plug->EndInformHostOfParamChangeFromUI(0);
  }
  EXPECT_EQ(flushTypes(), (std::vector<uint16_t>{b, v, e}));
}
