// Presets through the real Vorrel.clap: Program Change, the host's preset browser and preset-load, vorrel-host.
#include "Directories.h"
#include "Params.h"
#include "PresetIndex.h"
#include "RealPlugin.h"
#include "UserLibraryFile.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

using vtest::RealPlugin;

namespace {

std::string libraryPath() { return vorrel::mem::defaultConfigDir() + "/presets.txt"; }

// A library of one preset, "Mine", written by an older build: 15 values (Bar body, cutoff 555 Hz) and no extras.
void writeLibrary() {
  ASSERT_TRUE(vorrel::writeLibraryFile(libraryPath(), "p1 62 0 55 0 8 2 143 30 12 25 12 400 70 900 555\tMine\n"));
}

class PresetClap : public RealPlugin {
 protected:
  void SetUp() override {
    writeLibrary();
    RealPlugin::SetUp();
  }
  void TearDown() override {
    RealPlugin::TearDown();
    std::filesystem::remove(libraryPath());
  }

  // Running, so MIDI reaches the plug-in; the idle timer does the rest.
  static void start(vhost::Instance& inst) {
    ASSERT_TRUE(inst.activate(48000, 1, 256));
    ASSERT_TRUE(inst.startProcessing());
  }
  static void program(vhost::Instance& inst, int n) {
    vhost::AudioBuffers buffers;
    buffers.configure({2}, 256, false);
    vhost::InputEvents in;
    vhost::OutputEvents out;
    in.addMidi(0, 0xC0, static_cast<uint8_t>(n), 0);
    inst.process(buffers, 256, in, out);
  }
  static bool waitFor(const vhost::Instance& inst, int param, double v) {
    for (int i = 0; i < 500 && inst.paramValue(param) != v; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return inst.paramValue(param) == v;
  }
};

}  // namespace

TEST_F(PresetClap, ProgramChangeRecallsFactoryThenUserPresets) {
  auto inst = make();
  start(*inst);
  program(*inst, 84);
  ASSERT_TRUE(waitFor(*inst, kCutoff, 780));
  EXPECT_EQ(inst->paramValue(kBody), 5);
  EXPECT_EQ(inst->paramValue(kExciter), 5);
  EXPECT_EQ(inst->paramValue(kSustain), 75);
  EXPECT_EQ(inst->paramValue(kForget), 7);
  vhost::InputEvents in;
  vhost::OutputEvents out;
  in.addParam(0, kVerbMix, 80);
  inst->flushParams(in, out);
  program(*inst, 85);
  ASSERT_TRUE(waitFor(*inst, kCutoff, 555));
  EXPECT_EQ(inst->paramValue(kBody), 8);
  EXPECT_EQ(inst->paramValue(kVerbMix), 24);  // what the preset does not store is the default
}

TEST_F(PresetClap, BrowsedAndLoadedLikeTheEditorDoes) {
  ASSERT_NE(lib.entry()->get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID), nullptr);
  ASSERT_EQ(lib.entry()->get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT),
            lib.entry()->get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID));
  // No instance exists while the host indexes.
  std::vector<vhost::IndexedPreset> index;
  std::string error;
  ASSERT_TRUE(vhost::indexPresets(lib, index, error)) << error;
  ASSERT_EQ(index.size(), 86u);
  const auto& worn = index[1];
  EXPECT_EQ(worn.name, "Worn threshold");
  EXPECT_EQ(worn.loadKey, "Worn threshold");
  EXPECT_EQ(worn.category, "Keys");
  EXPECT_EQ(worn.description, "le pas de porte creus\xC3\xA9");
  EXPECT_EQ(worn.kind, uint32_t{CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN});
  EXPECT_EQ(worn.pluginIds, std::vector<std::string>{"clap:com.OskelAudio.Vorrel"});
  EXPECT_EQ(index[84].name, "Substation");
  EXPECT_EQ(index[84].category, "Textures");
  const auto& mine = index[85];
  EXPECT_EQ(mine.name, "Mine");
  EXPECT_EQ(mine.category, "Yours");
  EXPECT_EQ(mine.kind, uint32_t{CLAP_PRESET_DISCOVERY_LOCATION_FILE});
  EXPECT_EQ(mine.location, libraryPath());

  auto loaded = make();
  auto played = make();
  start(*played);
  const int asked = host.callbackRequests.load();
  ASSERT_TRUE(vhost::loadPreset(*loaded, worn.kind, worn.location, worn.loadKey));
  EXPECT_GT(host.callbackRequests.load(), asked);  // the host is told, as for a recall from the editor
  program(*played, 1);
  ASSERT_TRUE(waitFor(*played, kBodyDecay, 596));
  for (uint32_t i = 0; i < kNumParams; ++i) EXPECT_EQ(loaded->paramValue(i), played->paramValue(i)) << i;

  EXPECT_FALSE(vhost::loadPreset(*loaded, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, "", "worn threshold"));
  ASSERT_TRUE(vhost::loadPreset(*loaded, mine.kind, mine.location, mine.loadKey));
  EXPECT_EQ(loaded->paramValue(kCutoff), 555);
  EXPECT_FALSE(vhost::loadPreset(*loaded, mine.kind, mine.location, "Nobody"));
  host.pump(loaded->get());
}

// A line with an unreadable value and two lines of one name keep their Program Change numbers and their own
// sounds; a host's browser gets one load key per line.
TEST_F(PresetClap, EveryLineKeepsItsNumberAndItsOwnLoadKey) {
  ASSERT_TRUE(vorrel::writeLibraryFile(libraryPath(), "p1 inf 0 40\tOdd\np1 10\tTwin\np1 20\tTwin\np1 30\tLast\n"));
  auto inst = make();
  start(*inst);
  program(*inst, 88);
  EXPECT_TRUE(waitFor(*inst, kImprint, 30));
  program(*inst, 87);
  EXPECT_TRUE(waitFor(*inst, kImprint, 20));
  program(*inst, 85);
  EXPECT_TRUE(waitFor(*inst, kCarve, 40));
  EXPECT_EQ(inst->paramValue(kImprint), 62);  // unreadable: the default

  std::vector<vhost::IndexedPreset> index;
  std::string error;
  ASSERT_TRUE(vhost::indexPresets(lib, index, error)) << error;
  ASSERT_EQ(index.size(), 89u);
  EXPECT_NE(index[86].loadKey, index[87].loadKey);
  auto loaded = make();
  ASSERT_TRUE(vhost::loadPreset(*loaded, index[87].kind, index[87].location, index[87].loadKey));
  EXPECT_EQ(loaded->paramValue(kImprint), 20);
  ASSERT_TRUE(vhost::loadPreset(*loaded, index[86].kind, index[86].location, index[86].loadKey));
  EXPECT_EQ(loaded->paramValue(kImprint), 10);
}

// On a new profile there is no library: only what exists is declared, and every declared location crawls; a
// library written later is found at the next crawl.
TEST(PresetDiscoveryFresh, EveryDeclaredLocationCrawls) {
  std::filesystem::remove(libraryPath());
  vhost::Library lib;
  std::string error;
  ASSERT_TRUE(lib.load(vtest::clapPath(), error)) << error;
  std::vector<vhost::IndexedPreset> index;
  ASSERT_TRUE(vhost::indexPresets(lib, index, error)) << error;
  EXPECT_EQ(index.size(), 85u);
  writeLibrary();
  ASSERT_TRUE(vhost::indexPresets(lib, index, error)) << error;
  ASSERT_EQ(index.size(), 86u);
  EXPECT_EQ(index[85].location, libraryPath());
  std::filesystem::remove(libraryPath());
}

TEST(PresetHostTool, ListsWhatABrowserShows) {
  writeLibrary();
  const std::string cmd = std::string(VORREL_HOST_PATH) + " presets " + vtest::clapPath() + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string out;
  char buf[4096];
  while (std::fgets(buf, sizeof buf, p)) out += buf;
  EXPECT_EQ(pclose(p), 0) << out;
  EXPECT_NE(out.find("Worn threshold"), std::string::npos) << out;
  EXPECT_NE(out.find("Plucked & struck"), std::string::npos);
  EXPECT_NE(out.find(libraryPath()), std::string::npos);
  EXPECT_NE(out.find("Mine"), std::string::npos);
  EXPECT_NE(out.find("86 presets"), std::string::npos);
  std::filesystem::remove(libraryPath());
}
