// The idle timer's rate and stop order, and the hand-overs between editor, timer, main and audio threads.
#include "ClapHost.h"
#include "TestPlug.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using vtest::TestPlug;

TEST(IdleTimer, TicksAboutFiftyTimesASecondAndStopsAtOnce) {
  std::atomic<int> ticks{0};
  vfw::IdleTimer timer;
  timer.Start([&] { ticks.fetch_add(1); });
  std::this_thread::sleep_for(1000ms);
  timer.Stop();
  const int seen = ticks.load();
  // 50 Hz nominal; a loaded CI machine may drop a few ticks, never add many.
  EXPECT_GE(seen, 20);
  EXPECT_LE(seen, 55);
  std::this_thread::sleep_for(60ms);
  EXPECT_EQ(ticks.load(), seen);
  timer.Stop();  // twice is harmless
}

TEST(IdleTimer, APluginsTimerRunsFromInitAndEndsBeforeDestructionCompletes) {
  vhost::Host host;
  auto* plug = new TestPlug(host.clap());
  const clap_plugin_t* clap = plug->ClapPlugin();
  ASSERT_TRUE(clap->init(clap));
  // Two ticks, waited for with a generous deadline: a loaded machine may delay a 20 ms timer a lot.
  for (int i = 0; i < 500 && plug->idleCalls.load() < 2; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_GE(plug->idleCalls.load(), 2);
  plug->StopIdleTimer();
  const int calls = plug->idleCalls.load();
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(plug->idleCalls.load(), calls);
  delete plug;
}

TEST(Handover, ParameterNewsFromManyThreadsWhileTheAudioThreadDrains) {
  vhost::Host host;
  TestPlug plug(host.clap());
  const clap_plugin_t* clap = plug.ClapPlugin();
  ASSERT_TRUE(clap->init(clap));
  ASSERT_TRUE(clap->activate(clap, 48000.0, 1, 64));
  std::thread editor([&] {
    for (int i = 0; i < 2000; ++i) {
      plug.BeginInformHostOfParamChangeFromUI(i % 3);
      plug.SendParameterValueFromUI(i % 3, (i % 100) / 100.0);
      plug.EndInformHostOfParamChangeFromUI(i % 3);
    }
  });
  std::thread timer([&] {
    for (int i = 0; i < 2000; ++i) plug.InformHostOfParamChange(i % 3);
  });
  std::thread sizer([&] {
    for (int i = 0; i < 2000; ++i) plug.EditorResizeFromUI(400 + i % 7, 300 + i % 5, false);
  });
  vhost::AudioBuffers buf;
  buf.configure({2}, 64, false);
  vhost::InputEvents in;
  vhost::OutputEvents out;
  size_t seen = 0;
  auto block = [&] {
    clap_process_t pr{};
    pr.frames_count = 64;
    pr.audio_outputs = buf.ports();
    pr.audio_outputs_count = 1;
    pr.in_events = in.list();
    pr.out_events = out.list();
    clap->process(clap, &pr);
    seen += out.size();
    out.clear();
  };
  host.audio().run([&] {
    clap->start_processing(clap);
    for (int b = 0; b < 3000; ++b) block();
  });
  editor.join();
  timer.join();
  sizer.join();
  // Whatever arrived after the last block goes out with the next one.
  host.audio().run(block);
  EXPECT_GT(seen, 0u);
  EXPECT_GE(plug.GetEditorWidth(), 400);
  EXPECT_LE(plug.GetEditorWidth(), 406);
  clap->deactivate(clap);
}
