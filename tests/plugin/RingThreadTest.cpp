// The engrave ring and the panel queue under real concurrency: editor, audio and control threads at once.
#include "DirectVorrel.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

TEST(RingThreads, PanelNotesInInkOutWhileTheAudioThreadPlays) {
  vtest::DirectVorrel v(1, 48000.0, 64);
  v.plug->StopIdleTimer();  // the control thread below is the ring's one reader
  std::atomic<bool> audioDone{false};
  std::atomic<int> pushed{0};
  std::atomic<int> inked{0};
  std::thread editor([&] {
    for (int i = 0; i < 3000 && !audioDone.load(); ++i) {
      const int note = 40 + i % 40;
      UiNoteEvent ev{static_cast<uint32_t>((i % 2) | (note << 8)), 0.7f};
      if (v.plug->pushPanelNote(ev)) pushed.fetch_add(1);
      std::this_thread::yield();
    }
  });
  std::thread control([&] {
    vorrel::mem::InkEvent e;
    for (;;) {
      const bool finished = audioDone.load();
      while (v.plug->popInk(e)) {
        EXPECT_GE(e.weight, 0.0);
        EXPECT_LE(e.weight, 2.0);
        inked.fetch_add(1);
      }
      if (finished) break;
      std::this_thread::yield();
    }
  });
  std::thread audio([&] {
    for (int b = 0; b < 4000; ++b) {
      if (b % 9 == 0) v.midi(0x90, static_cast<uint8_t>(50 + b % 20), 90);
      v.block(64);
    }
    audioDone.store(true);
  });
  audio.join();
  editor.join();
  control.join();
  EXPECT_GT(pushed.load(), 0);
  EXPECT_GT(inked.load(), 0);
  EXPECT_GT(v.plug->noteOnCount(), 400);
  EXPECT_EQ(v.plug->sampleClock(), 4000u * 64u);
}

// A bounce: the audio thread plays far faster than the idle timer drains the ring of 64, and nothing is dropped.
TEST(RingThreads, OfflineEveryIntervalIsCarvedWhileTheIdleCallsRunAlongside) {
  if (!std::getenv("VORREL_TEST_PRIVATE_SHM")) GTEST_SKIP() << "needs a private /dev/shm (isolated.sh as root)";
  vtest::DirectVorrel v(1, 48000.0, 64);
  v.plug->StopIdleTimer();
  const clap_plugin_t* clap = v.plug->ClapPlugin();
  const auto* render = static_cast<const clap_plugin_render_t*>(clap->get_extension(clap, CLAP_EXT_RENDER));
  ASSERT_TRUE(render && render->set(clap, CLAP_RENDER_OFFLINE));
  EXPECT_FALSE(render->has_hard_realtime_requirement(clap));
  std::atomic<bool> audioDone{false};
  std::thread control([&] {
    while (!audioDone.load()) {
      v.plug->OnIdle();
      std::this_thread::sleep_for(std::chrono::milliseconds(200));  // a host whose timer lags
    }
  });
  constexpr int kNotes = 3000;
  for (int b = 0; b < kNotes; ++b) {
    v.midi(0x90, static_cast<uint8_t>(40 + (b * 7) % 30), 90);
    v.block(64);
  }
  audioDone.store(true);
  control.join();
  v.plug->OnIdle();
  EXPECT_EQ(v.plug->engravedCount(), kNotes - 1);
}
