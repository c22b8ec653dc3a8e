// The entry point, factory and descriptor of the real Vorrel.clap, and instance life cycles.
#include "RealPlugin.h"

#include <dlfcn.h>
#include <cstdio>
#include <cstring>
#include <string>

using vtest::RealPlugin;

TEST_F(RealPlugin, DescriptorAndFeatures) {
  const clap_plugin_factory_t* f = lib.factory();
  ASSERT_EQ(f->get_plugin_count(f), 1u);
  const clap_plugin_descriptor_t* d = f->get_plugin_descriptor(f, 0);
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->id, "com.OskelAudio.Vorrel");
  EXPECT_STREQ(d->name, "Vorrel");
  EXPECT_STREQ(d->vendor, "OskelAudio");
  EXPECT_STREQ(d->url, "");
  EXPECT_STREQ(d->manual_url, "");
  EXPECT_STREQ(d->support_url, "");
  EXPECT_STREQ(d->version, "1.0.1");
  EXPECT_STREQ(d->description, "The modal synth that remembers - what you play engraves the instrument");
  EXPECT_EQ(d->clap_version.major, 1u);
  EXPECT_EQ(d->clap_version.minor, 2u);
  EXPECT_EQ(d->clap_version.revision, 10u);
  ASSERT_NE(d->features, nullptr);
  EXPECT_STREQ(d->features[0], "instrument");
  EXPECT_STREQ(d->features[1], "synthesizer");
  EXPECT_EQ(d->features[2], nullptr);
  EXPECT_EQ(lib.entry()->clap_version.minor, 2u);
}

TEST_F(RealPlugin, FactoryRefusesWhatIsNotOurs) {
  const clap_plugin_factory_t* f = lib.factory();
  EXPECT_EQ(f->get_plugin_descriptor(f, 1), nullptr);
  EXPECT_EQ(f->create_plugin(f, host.clap(), "com.OskelAudio.Vorrel "), nullptr);
  EXPECT_EQ(f->create_plugin(f, host.clap(), "com.OskelAudio.Vorre"), nullptr);
  EXPECT_EQ(f->create_plugin(f, host.clap(), nullptr), nullptr);
  EXPECT_EQ(f->create_plugin(f, nullptr, vtest::kPluginId), nullptr);
  EXPECT_EQ(lib.entry()->get_factory("clap.plugin-factory-x"), nullptr);
  EXPECT_EQ(lib.entry()->get_factory(nullptr), nullptr);
}

TEST_F(RealPlugin, InstancePointsAtTheFactoryDescriptor) {
  auto a = make();
  auto b = make();  // two alive at once
  const clap_plugin_descriptor_t* d = lib.factory()->get_plugin_descriptor(lib.factory(), 0);
  EXPECT_EQ(a->get()->desc, d);
  EXPECT_EQ(b->get()->desc, d);
  EXPECT_NE(a->get(), b->get());
}

TEST_F(RealPlugin, RepeatedInitAndDeinitKeepTheDescriptorWhileInstancesLive) {
  const clap_plugin_entry_t* e = lib.entry();
  ASSERT_TRUE(e->init(vtest::clapPath()));  // a second init: count 2
  auto inst = make();
  e->deinit();
  e->deinit();  // count 0, but an instance still points at the descriptor
  EXPECT_STREQ(inst->get()->desc->id, "com.OskelAudio.Vorrel");
  inst.reset();
  ASSERT_TRUE(e->init(vtest::clapPath()));  // back to 1 for the library's own deinit
  EXPECT_NE(lib.factory()->get_plugin_descriptor(lib.factory(), 0), nullptr);
}

TEST_F(RealPlugin, HundredCreateDestroyCycles) {
  for (int i = 0; i < 100; ++i) {
    vhost::Instance inst(lib, host, vtest::kPluginId);
    ASSERT_TRUE(inst.ok());
    if (i % 10 == 0) {
      ASSERT_TRUE(inst.activate(48000, 1, 256));
      inst.deactivate();
    }
  }
}

TEST(Module, ExportsOnlyClapEntry) {
  const std::string cmd = std::string("nm -D --defined-only '") + vtest::clapPath() + "'";
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  char line[512];
  std::string symbols;
  int count = 0;
  while (std::fgets(line, sizeof line, p)) {
    std::string s(line);
    const auto sp = s.rfind(' ');
    std::string name = s.substr(sp + 1);
    if (!name.empty() && name.back() == '\n') name.pop_back();
    if (name.empty()) continue;
    symbols += name + " ";
    ++count;
  }
  ASSERT_EQ(pclose(p), 0);
  EXPECT_EQ(count, 1) << symbols;
  EXPECT_EQ(symbols, "clap_entry ");
}

TEST(Module, LoadsWithBindNowAndScansRepeatedly) {
  // Hosts scan many plug-ins, often several times: every symbol resolves at load, and load, list, unload repeats.
  for (int i = 0; i < 5; ++i) {
    void* dl = dlopen(vtest::clapPath(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(dl, nullptr) << dlerror();
    auto* entry = static_cast<const clap_plugin_entry_t*>(dlsym(dl, "clap_entry"));
    ASSERT_NE(entry, nullptr);
    ASSERT_TRUE(entry->init(vtest::clapPath()));
    auto* f = static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
    ASSERT_NE(f, nullptr);
    ASSERT_NE(f->get_plugin_descriptor(f, 0), nullptr);
    entry->deinit();
    dlclose(dl);
  }
}
