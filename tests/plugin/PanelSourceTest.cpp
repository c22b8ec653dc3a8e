// A real Vorrel instance seen through the panel's source: parameter texts, its own chip and the track name.
#include "BuildState.h"
#include "PanelSource.h"
#include "Vorrel.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

TEST(PanelSource, AFrameOfARealInstance) {
  Vorrel v(vfw::InstanceInfo{});
  v.GetParam(kBody)->Set(14.0);    // clamped by the parameter to the last body
  v.GetParam(kExciter)->Set(4.4);  // snapped to Saw
  VorrelPanelSource source(v);
  vrui::PanelView view;
  vrui::PanelState s;
  ASSERT_TRUE(vrui::buildState(source, view, s));
  EXPECT_EQ(s.paramText[kImprint], "62.0%");
  EXPECT_NEAR(s.paramNorm[kImprint], 0.62f, 1e-6f);
  EXPECT_EQ(s.paramText[kForget], "7.0 d");
  EXPECT_EQ(s.body, 10);
  EXPECT_EQ(s.exciter, 4);
  EXPECT_EQ(s.presetName, "Init");
  EXPECT_EQ(s.factoryCount, 85);
  EXPECT_TRUE(s.presetEdited);  // Body and Exciter moved away from Init
  EXPECT_EQ(s.lastPc, -1);
  EXPECT_EQ(s.trackName, "Vorrel");
  EXPECT_EQ(s.memStatus, "memory 62%");
  if (s.memoryAttached) {  // an isolated run has its own machine memory; a host that blocks it shows none
    EXPECT_GE(s.instanceCount, 1);
    int own = 0;
    for (const auto& chip : s.chips) own += chip.isSelf ? 1 : 0;
    EXPECT_EQ(own, 1);
  } else {
    EXPECT_EQ(s.memAgeLine, "no machine memory");
  }
}

// Another account's object (here: one readable by all) under the instance's segment name: the panel names it,
// and the idle duties open the memory once the name is free.
TEST(PanelSource, AMemoryThatCannotBeOpenedIsNamedAndRetried) {
  const std::string path = "/dev/shm/" + vorrel::mem::machineSegmentName();
  std::remove(path.c_str());
  {
    std::ofstream trap(path, std::ios::binary);
    trap << std::string(9920, '\1');
  }
  ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
  Vorrel v(vfw::InstanceInfo{});
  v.StopIdleTimer();
  VorrelPanelSource source(v);
  vrui::PanelView view;
  vrui::PanelState s;
  v.OnIdle();
  ASSERT_TRUE(vrui::buildState(source, view, s));
  EXPECT_FALSE(s.memoryAttached);
  EXPECT_EQ(s.memoryFault, static_cast<int>(vorrel::mem::OpenFault::Foreign));
  std::remove(path.c_str());
  for (int i = 0; i < 500 && !source.memoryAttached(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    v.OnIdle();
  }
  ASSERT_TRUE(vrui::buildState(source, view, s));
  EXPECT_TRUE(s.memoryAttached);
  EXPECT_EQ(s.memoryFault, 0);
}
