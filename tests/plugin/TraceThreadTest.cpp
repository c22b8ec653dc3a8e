// The trace under real concurrency: the audio thread rebuilds it while the idle thread carves and the editor freezes.
#include "DirectVorrel.h"
#include "OwnSegment.h"

#include <atomic>
#include <cstdlib>
#include <thread>

TEST(TraceThreads, FreezesAndSwitchesNeverTearTheTraceWhileTheMemoryIsCarved) {
  if (!vtest::ownSegment()) GTEST_SKIP() << "needs a segment of its own (run through isolated.sh)";
  vtest::DirectVorrel v(3, 48000.0, 64);
  v.plug->StopIdleTimer();  // the control thread below runs the idle duties
  std::atomic<bool> audioDone{false};
  std::thread control([&] {
    while (!audioDone.load()) {
      v.plug->OnIdle();
      std::this_thread::yield();
    }
  });
  std::thread editor([&] {
    for (int i = 0; !audioDone.load(); ++i) {
      v.plug->uiSealFromMachine();
      v.plug->uiSetHearBare(i % 3 == 0);
      v.plug->SendParameterValueFromUI(kSource, (i % 5) / 4.0);
      if (i % 200 == 0) v.plug->uiSaveMemoryAs("threads " + std::to_string(i % 3));
      std::this_thread::yield();
    }
  });
  std::thread audio([&] {
    for (int b = 0; b < 1500; ++b) {
      if (b % 7 == 0) v.midi(0x90, static_cast<uint8_t>(48 + (b / 7) % 2 * 7), 100);
      v.block(64);
      for (double t : v.engine().trace) ASSERT_TRUE(t >= 0.0 && t <= 20.0);
    }
    audioDone.store(true);
  });
  audio.join();
  editor.join();
  control.join();
  v.plug->OnIdle();
  EXPECT_GT(v.plug->engravedCount(), 0);
}
