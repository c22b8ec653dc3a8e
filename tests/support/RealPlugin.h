// Loads the built Vorrel.clap with dlopen, as a DAW would, for tests that go through the real module.
#pragma once

#include "ClapHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vtest {

inline const char* clapPath() { return VORREL_CLAP_PATH; }
inline const char* kPluginId = "com.OskelAudio.Vorrel";

// One library and host per test; instances made from them are destroyed before the library unloads.
class RealPlugin : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(lib.load(clapPath(), error)) << error;
  }
  void TearDown() override { EXPECT_EQ(host.misbehaviours.load(), 0) << "plug-in called the host from a wrong thread"; }

  std::unique_ptr<vhost::Instance> make() {
    auto inst = std::make_unique<vhost::Instance>(lib, host, kPluginId);
    EXPECT_TRUE(inst->ok());
    return inst;
  }

  vhost::Library lib;
  vhost::Host host;
};

}  // namespace vtest
