// Vorrel.lv2 as hosts load it (lilv over a private LV2_PATH), held against Vorrel.clap loaded by our CLAP host:
// the description, the sound, the state, the presets and the machine memory must be the same program's.
#include "FactoryPresets.h"
#include "Lv2Host.h"
#include "Lv2Path.h"
#include "MachineMemory.h"
#include "Directories.h"
#include "Params.h"
#include "RealPlugin.h"
#include "Render.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

using vtest::RealPlugin;

namespace {

constexpr const char* kUri = "urn:oskelaudio:vorrel";

class Lv2Bundle : public RealPlugin {
 protected:
  void SetUp() override {
    RealPlugin::SetUp();
    vtest::usePrivateLv2Path();
    world = std::make_unique<lv2h::World>();
    plugin = world->plugin(kUri);
    ASSERT_NE(plugin, nullptr) << "lilv did not discover Vorrel.lv2";
  }
  std::unique_ptr<lv2h::Instance> makeLv2(uint32_t maxBlock = 512, bool optional = true) {
    auto inst = std::make_unique<lv2h::Instance>(*world, plugin, 48000.0, maxBlock, optional);
    EXPECT_TRUE(inst->ok());
    return inst;
  }
  static bool saveClap(vhost::Instance& inst, std::vector<uint8_t>& bytes) { return inst.saveState(bytes); }

  std::unique_ptr<lv2h::World> world;
  const LilvPlugin* plugin = nullptr;
};

}  // namespace

TEST_F(Lv2Bundle, DescriptionEqualsTheClapParametersPortsAndPresets) {
  const auto ports = lv2h::listPorts(*world, plugin);
  ASSERT_EQ(ports.size(), 1u + 6u + kNumParams);
  EXPECT_EQ(ports[0].kind, lv2h::PortInfo::Kind::Atom);
  EXPECT_TRUE(ports[0].input);

  auto clap = make();
  ASSERT_TRUE(clap->selectAudioConfig(2));
  const auto clapPorts = clap->audioPorts(false);
  ASSERT_EQ(clapPorts.size(), 3u);
  for (uint32_t c = 0; c < 6; ++c) {
    const auto& p = ports[1 + c];
    EXPECT_EQ(p.kind, lv2h::PortInfo::Kind::Audio);
    EXPECT_FALSE(p.input);
    EXPECT_EQ(p.name, clapPorts[c / 2].name + (c % 2 ? " R" : " L"));
    EXPECT_EQ(p.optional, c >= 2) << p.name;  // Bare and Wear may stay unconnected
  }

  // One row per parameter: the control port says what the CLAP parameter says.
  for (uint32_t i = 0; i < kNumParams; ++i) {
    const auto& port = ports[7 + i];
    clap_param_info_t info{};
    ASSERT_TRUE(clap->paramInfo(i, info));
    SCOPED_TRACE(info.name);
    EXPECT_EQ(port.kind, lv2h::PortInfo::Kind::Control);
    EXPECT_TRUE(port.input);
    EXPECT_EQ(port.name, info.name);
    EXPECT_EQ(port.min, static_cast<float>(info.min_value));
    EXPECT_EQ(port.max, static_cast<float>(info.max_value));
    EXPECT_EQ(port.def, static_cast<float>(info.default_value));
    const bool stepped = info.flags & CLAP_PARAM_IS_STEPPED;
    EXPECT_EQ(port.integer, stepped);
    if (port.enumeration) {
      ASSERT_EQ(port.scalePoints.size(), static_cast<size_t>(info.max_value - info.min_value + 1));
      for (const auto& [value, label] : port.scalePoints) EXPECT_EQ(label, clap->valueToText(i, value));
    } else {
      EXPECT_TRUE(port.scalePoints.empty());
    }
    // Units as the CLAP display shows them ("62.0 %"), exponential knobs as logarithmic ports.
    const std::string shown = clap->valueToText(i, info.default_value);
    const bool percent = shown.size() > 2 && shown.compare(shown.size() - 2, 2, " %") == 0;
    EXPECT_EQ(port.unit == "http://lv2plug.in/ns/extensions/units#pc", percent) << shown;
  }
  EXPECT_EQ(ports[7 + kForget].unit, "d");
  EXPECT_TRUE(ports[7 + kCutoff].logarithmic);
  EXPECT_FALSE(ports[7 + kCutoff + 1].logarithmic);
  EXPECT_EQ(ports[7 + kVoices].enumeration, false);

  const auto presets = lv2h::listPresets(*world, plugin);
  ASSERT_EQ(presets.size(), static_cast<size_t>(vorrel::kNumFactoryPresets));
  for (size_t i = 0; i < presets.size(); ++i) {
    EXPECT_EQ(presets[i].name, vorrel::kFactoryPresets[i].name);
    EXPECT_EQ(presets[i].bank, vorrel::kFactoryPresets[i].category);
  }

  // The version follows the project's.
  LilvNode* minor = lilv_new_uri(world->get(), LV2_CORE__minorVersion);
  LilvNode* micro = lilv_new_uri(world->get(), LV2_CORE__microVersion);
  LilvNodes* minors = lilv_plugin_get_value(plugin, minor);
  LilvNodes* micros = lilv_plugin_get_value(plugin, micro);
  ASSERT_TRUE(minors && micros);
  EXPECT_EQ(lilv_node_as_int(lilv_nodes_get_first(minors)), VORREL_VERSION_MINOR);
  EXPECT_EQ(lilv_node_as_int(lilv_nodes_get_first(micros)), VORREL_VERSION_PATCH);
  lilv_nodes_free(minors);
  lilv_nodes_free(micros);
  lilv_node_free(minor);
  lilv_node_free(micro);
}

// The same MIDI through both formats gives the same samples, whatever the block length and whichever buses are
// connected. Source 100 plays against the (empty) frozen copy, so what earlier renders engraved is not heard.
TEST_F(Lv2Bundle, DemoPhraseSoundsTheSameAsTheClapBuild) {
  struct Case {
    uint32_t block;
    uint32_t announced;  // the LV2 maximum block length; below block: longer blocks than announced
    bool allBuses;
    double seconds;  // of the demo phrase played
  };
  const Case cases[] = {{512, 512, true, 20.0}, {1000, 256, false, 20.0}, {1, 1, true, 0.6}};
  for (const Case& c : cases) {
    SCOPED_TRACE("block " + std::to_string(c.block));
    std::vector<vhost::TimedMidi> midi;
    for (const auto& m : vhost::demoPhrase())
      if (m.seconds < c.seconds) midi.push_back(m);
    midi.push_back({c.seconds, 0xB0, 123, 0});  // everything still held lets go

    vhost::RenderOptions clapOpts;
    clapOpts.blockSize = c.block;
    clapOpts.configIndex = c.allBuses ? 2 : 0;
    clapOpts.tailSeconds = 0.5;
    clapOpts.params = {{kSource, 100.0}};
    auto clap = make();
    vhost::RenderResult fromClap;
    std::string error;
    ASSERT_TRUE(vhost::render(*clap, midi, clapOpts, fromClap, error)) << error;

    lv2h::RenderOptions lv2Opts;
    lv2Opts.blockSize = c.block;
    lv2Opts.tailSeconds = 0.5;
    lv2Opts.controls = {{"source", 100.0f}};
    auto lv2 = makeLv2(c.announced, c.allBuses);
    vhost::RenderResult fromLv2;
    ASSERT_TRUE(lv2h::render(*lv2, midi, lv2Opts, fromLv2, error)) << error;

    ASSERT_EQ(fromLv2.channels.size(), c.allBuses ? 6u : 2u);
    ASSERT_EQ(fromLv2.channels.size(), fromClap.channels.size());
    double energy = 0.0;
    for (size_t ch = 0; ch < fromLv2.channels.size(); ++ch) {
      ASSERT_EQ(fromLv2.channels[ch].size(), fromClap.channels[ch].size());
      EXPECT_TRUE(fromLv2.channels[ch] == fromClap.channels[ch]) << "channel " << ch;
      for (float s : fromLv2.channels[ch]) energy += double(s) * s;
    }
    EXPECT_GT(energy, 1.0);  // sound, not two silences
  }
}

TEST_F(Lv2Bundle, StateRoundTripsAndPresetsMatchProgramChange) {
  // Save, restore into a fresh instance through lilv's own Turtle, save again: the same bytes. Program Change
  // moves the sound after the host set its controls, so the host's port values saved along with the chunk are
  // stale: the restored chunk must win over them.
  std::vector<uint8_t> first, second;
  std::string turtle;
  {
    auto a = makeLv2();
    a->setControl("imprint", 33.0f);
    a->setControl("body", 6.0f);
    a->setControl("cutoff", 911.0f);
    a->activate();
    a->run(64, {});
    std::vector<uint8_t> before;
    ASSERT_TRUE(a->saveChunk(before));
    a->run(64, {{0, {0xC0, 27, 0}, 2}});
    for (int i = 0; i < 500 && (first.empty() || first == before); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      ASSERT_TRUE(a->saveChunk(first));
    }
    ASSERT_NE(first, before);
    a->setControl("glide", 120.0f);  // and a host move after it
    a->run(64, {});
    ASSERT_TRUE(a->saveChunk(first));
    turtle = a->saveStateTurtle();
  }
  ASSERT_FALSE(turtle.empty());
  auto b = makeLv2();
  ASSERT_TRUE(b->restoreStateTurtle(turtle));
  b->activate();
  b->run(64, {});  // the port values restored along with the chunk change nothing
  ASSERT_TRUE(b->saveChunk(second));
  EXPECT_EQ(first.size(), 1152u);
  EXPECT_EQ(first, second);
  double glide = 0.0, cutoff = 0.0;
  std::memcpy(&glide, second.data() + 8 + 8 * kGlide, sizeof glide);
  std::memcpy(&cutoff, second.data() + 8 + 8 * kCutoff, sizeof cutoff);
  EXPECT_EQ(glide, 120.0);
  EXPECT_EQ(cutoff, vorrel::kFactoryPresets[27].cutoff);  // the preset's, not the stale port's 911

  // A factory preset applied by lilv leaves the instance as Program Change leaves the CLAP build (and the LV2 one):
  // the same chunk.
  for (int program : {1, 27, 84}) {
    SCOPED_TRACE(program);
    auto lv2 = makeLv2();
    char uri[64];
    std::snprintf(uri, sizeof uri, "%s:preset:%02d", kUri, program);
    ASSERT_TRUE(lv2->applyPreset(uri));
    lv2->activate();
    lv2->run(64, {});
    std::vector<uint8_t> fromLv2;
    ASSERT_TRUE(lv2->saveChunk(fromLv2));

    auto clap = make();
    ASSERT_TRUE(clap->activate(48000, 1, 256));
    ASSERT_TRUE(clap->startProcessing());
    vhost::AudioBuffers buffers;
    buffers.configure({2}, 256, false);
    vhost::InputEvents in;
    vhost::OutputEvents out;
    in.addMidi(0, 0xC0, static_cast<uint8_t>(program), 0);
    clap->process(buffers, 256, in, out);
    std::vector<uint8_t> fromClap;
    for (int i = 0; i < 500; ++i) {  // the idle timer takes the Program Change
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      host.pump(clap->get());
      ASSERT_TRUE(clap->saveState(fromClap));
      if (fromClap == fromLv2) break;
    }
    EXPECT_EQ(fromClap, fromLv2);
    clap->stopProcessing();
    clap->deactivate();

    // And Program Change through the LV2 MIDI input does the same.
    auto pc = makeLv2();
    pc->activate();
    pc->run(64, {{0, {0xC0, static_cast<uint8_t>(program), 0}, 2}});
    std::vector<uint8_t> fromPc;
    for (int i = 0; i < 500; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      ASSERT_TRUE(pc->saveChunk(fromPc));
      if (fromPc == fromLv2) break;
    }
    EXPECT_EQ(fromPc, fromLv2);
  }
}

// Both formats open the one machine memory: an LV2 instance's playing changes what a CLAP instance hears.
TEST_F(Lv2Bundle, ClapAndLv2InstancesShareOneMemory) {
  const auto now = static_cast<uint64_t>(std::time(nullptr));
  vorrel::mem::MachineMemory machine(vorrel::mem::machineSegmentName(), vorrel::mem::defaultStoreDir());
  ASSERT_TRUE(machine.open(now));

  // One long note engraves nothing (no interval), so this instance's own playing cannot move the memory.
  const std::vector<vhost::TimedMidi> one = {{0.0, 0x90, 50, 110}, {1.0, 0x80, 50, 0}};
  vhost::RenderOptions opts;
  opts.tailSeconds = 0.5;
  auto clap = make();
  vhost::RenderResult before, after;
  std::string error;
  ASSERT_TRUE(vhost::render(*clap, one, opts, before, error)) << error;

  auto lv2 = makeLv2();
  EXPECT_EQ(machine.liveSlots(), 3);  // ours, the CLAP instance's and the LV2 instance's
  const uint64_t generation = machine.memoryGeneration();
  vhost::RenderResult played;
  ASSERT_TRUE(lv2h::render(*lv2, vhost::demoPhrase(), {}, played, error)) << error;
  for (int i = 0; i < 300 && machine.memoryGeneration() == generation; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_GT(machine.memoryGeneration(), generation) << "the LV2 instance's idle duties engraved nothing";

  ASSERT_TRUE(vhost::render(*clap, one, opts, after, error)) << error;
  EXPECT_NE(before.channels[0], after.channels[0]) << "the CLAP instance did not hear what the LV2 one engraved";
  machine.close(now);
}
