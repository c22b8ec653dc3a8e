// The panel's frame reads while the audio and control threads run: lock-free and race-free under ThreadSanitizer.
#include "BuildState.h"
#include "DirectVorrel.h"
#include "PanelSource.h"

#include <atomic>
#include <thread>

TEST(PanelThreads, FramesWhileTheInstancePlaysAndIdles) {
  vtest::DirectVorrel v(1, 48000.0, 64);
  std::atomic<bool> done{false};
  std::thread audio([&] {
    for (int b = 0; b < 3000; ++b) {
      if (b % 7 == 0) v.midi(0x90, static_cast<uint8_t>(48 + b % 24), 100);
      v.block(64);
    }
    done.store(true);
  });
  // The framework's timer thread runs OnIdle meanwhile; this one automates a parameter as a host would.
  std::thread control([&] {
    while (!done.load()) {
      v.plug->GetParam(kImprint)->Set(static_cast<double>(v.plug->noteOnCount() % 100));
      std::this_thread::yield();
    }
  });
  VorrelPanelSource source(*v.plug);
  vrui::PanelView view;
  int frames = 0;
  while (!done.load()) {
    vrui::PanelState s;
    ASSERT_TRUE(vrui::buildState(source, view, s));
    EXPECT_GE(s.paramNorm[kImprint], 0.0f);
    EXPECT_LE(s.paramNorm[kImprint], 1.0f);
    ++frames;
  }
  audio.join();
  control.join();
  EXPECT_GT(frames, 0);
}
