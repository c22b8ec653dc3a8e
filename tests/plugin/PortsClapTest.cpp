// Audio-port configurations, bus names, the note port and the tail of the real Vorrel.clap.
#include "RealPlugin.h"

#include <climits>
#include <cmath>

using vtest::RealPlugin;

TEST_F(RealPlugin, AFreshInstanceHasOneStereoOutputNamedByTheFramework) {
  auto inst = make();
  EXPECT_TRUE(inst->audioPorts(true).empty());
  const auto out = inst->audioPorts(false);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].name, "Output");
  EXPECT_EQ(out[0].channels, 2u);
  EXPECT_EQ(out[0].type, "stereo");
  EXPECT_TRUE(out[0].flags & CLAP_AUDIO_PORT_IS_MAIN);
  EXPECT_TRUE(out[0].flags & CLAP_AUDIO_PORT_SUPPORTS_64BITS);
}

TEST_F(RealPlugin, EveryConfigurationCanBeSelectedWhileDeactivated) {
  auto inst = make();
  ASSERT_EQ(inst->audioConfigCount(), 3u);
  const char* names[] = {"Main", "Bare", "Wear"};
  for (uint32_t c = 0; c < 3; ++c) {
    clap_audio_ports_config_t cfg{};
    ASSERT_TRUE(inst->audioConfig(c, cfg));
    EXPECT_EQ(cfg.id, c);
    EXPECT_EQ(cfg.input_port_count, 0u);
    EXPECT_EQ(cfg.output_port_count, c + 1);
    EXPECT_FALSE(cfg.has_main_input);
    EXPECT_TRUE(cfg.has_main_output);
    EXPECT_EQ(cfg.main_output_channel_count, 2u);
    ASSERT_TRUE(inst->selectAudioConfig(c));
    const auto ports = inst->audioPorts(false);
    ASSERT_EQ(ports.size(), c + 1);
    for (uint32_t p = 0; p < ports.size(); ++p) {
      EXPECT_EQ(ports[p].id, p);
      EXPECT_EQ(ports[p].channels, 2u);
      if (c > 0) {
        EXPECT_EQ(ports[p].name, names[p]);
      }
      EXPECT_EQ((ports[p].flags & CLAP_AUDIO_PORT_IS_MAIN) != 0, p == 0);
    }
  }
  clap_audio_ports_config_t cfg{};
  EXPECT_FALSE(inst->audioConfig(3, cfg));
  EXPECT_FALSE(inst->portsConfig->select(inst->get(), 3));
  ASSERT_TRUE(inst->activate(48000, 1, 512));
  EXPECT_FALSE(inst->portsConfig->select(inst->get(), 0));  // not while active
  EXPECT_EQ(inst->audioPorts(false).size(), 3u);
}

TEST_F(RealPlugin, OneMidiInputAndAnEndlessTail) {
  auto inst = make();
  const auto in = inst->notePorts(true);
  ASSERT_EQ(in.size(), 1u);
  EXPECT_STREQ(in[0].name, "MIDI Input");
  EXPECT_EQ(in[0].supported_dialects, static_cast<uint32_t>(CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI));
  EXPECT_EQ(in[0].preferred_dialect, static_cast<uint32_t>(CLAP_NOTE_DIALECT_MIDI));
  EXPECT_TRUE(inst->notePorts(false).empty());
  ASSERT_TRUE(inst->hasTail());
  EXPECT_EQ(inst->tailSamples(), static_cast<uint32_t>(INT_MAX));
}

TEST_F(RealPlugin, ProcessesInEveryConfigurationAndBitDepth) {
  for (uint32_t c = 0; c < 3; ++c) {
    for (bool use64 : {false, true}) {
      auto inst = make();
      ASSERT_TRUE(inst->selectAudioConfig(c));
      ASSERT_TRUE(inst->activate(44100, 1, 333));
      ASSERT_TRUE(inst->startProcessing());
      vhost::AudioBuffers buf;
      buf.configure(std::vector<uint32_t>(c + 1, 2), 333, use64);
      buf.fill(NAN);
      vhost::InputEvents in;
      vhost::OutputEvents out;
      in.addMidi(0, 0x90, 60, 100);
      ASSERT_EQ(inst->process(buf, 333, in, out), CLAP_PROCESS_CONTINUE);
      for (uint32_t p = 0; p <= c; ++p)
        for (uint32_t ch = 0; ch < 2; ++ch) EXPECT_TRUE(std::isfinite(buf.sample(p, ch, 332)));
    }
  }
}

// configurable-audio-ports picks the same layouts audio-ports-config lists: a request names a port and its
// channels (0 = not there); what no layout grants, or a request while active, is refused and changes nothing.
TEST_F(RealPlugin, ConfigurablePortsGiveTheLayoutsOfTheConfigList) {
  auto inst = make();
  const auto* ext = static_cast<const clap_plugin_configurable_audio_ports_t*>(
      inst->get()->get_extension(inst->get(), CLAP_EXT_CONFIGURABLE_AUDIO_PORTS));
  ASSERT_NE(ext, nullptr);
  EXPECT_EQ(inst->get()->get_extension(inst->get(), CLAP_EXT_CONFIGURABLE_AUDIO_PORTS_COMPAT), ext);
  using Req = clap_audio_port_configuration_request_t;
  const auto busesAfter = [&](std::vector<Req> reqs, bool granted) {
    EXPECT_EQ(ext->can_apply_configuration(inst->get(), reqs.data(), static_cast<uint32_t>(reqs.size())), granted);
    EXPECT_EQ(ext->apply_configuration(inst->get(), reqs.data(), static_cast<uint32_t>(reqs.size())), granted);
    return inst->audioPorts(false).size();
  };
  EXPECT_EQ(busesAfter({{false, 2, 2, CLAP_PORT_STEREO, nullptr}}, true), 3u);  // Main + Bare + Wear
  EXPECT_EQ(busesAfter({{false, 0, 2, nullptr, nullptr}}, true), 3u);           // already so: kept
  EXPECT_EQ(busesAfter({{false, 1, 2, nullptr, nullptr}, {false, 2, 0, nullptr, nullptr}}, true), 2u);
  EXPECT_EQ(inst->audioPorts(false)[1].name, "Bare");
  EXPECT_EQ(busesAfter({{false, 1, 0, nullptr, nullptr}}, true), 1u);  // Main alone
  EXPECT_EQ(busesAfter({{false, 0, 1, CLAP_PORT_MONO, nullptr}}, false), 1u);
  EXPECT_EQ(busesAfter({{false, 3, 2, nullptr, nullptr}}, false), 1u);
  EXPECT_EQ(busesAfter({{true, 0, 2, nullptr, nullptr}}, false), 1u);
  EXPECT_EQ(busesAfter({{false, 1, 2, nullptr, nullptr}, {false, 1, 0, nullptr, nullptr}}, false), 1u);
  ASSERT_TRUE(inst->activate(48000, 1, 256));
  EXPECT_EQ(busesAfter({{false, 1, 2, nullptr, nullptr}}, false), 1u);
}
