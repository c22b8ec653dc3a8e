// Block processing inside a Vorrel object: panel notes, MPE pressure, the pedal, controllers and the three buses.
#include "DirectVorrel.h"

#include <cmath>

using vorrel::mem::InkEvent;
using vtest::DirectVorrel;

namespace {

UiNoteEvent panel(int kind, int note, float value) {
  return UiNoteEvent{static_cast<uint32_t>(kind) | (static_cast<uint32_t>(note) << 8), value};
}

int heldVoices(const vorrel::dsp::VorrelEngine& e) {
  int n = 0;
  for (int i = 0; i < vorrel::dsp::kNumVoices; ++i) n += e.voice(i).active && e.voice(i).held;
  return n;
}

}  // namespace

TEST(ShellPlay, PanelNoteWithStrengthZeroPlaysVelocityOne) {
  DirectVorrel v;
  v.plug->StopIdleTimer();  // the test reads the engrave ring itself
  ASSERT_TRUE(v.plug->pushPanelNote(panel(0, 60, 0.0f)));
  v.block();
  EXPECT_EQ(v.engine().voice(0).velocity, 1);
  EXPECT_EQ(v.plug->noteOnCount(), 1);
  for (int i = 0; i < 93; ++i) v.block();
  ASSERT_TRUE(v.plug->pushPanelNote(panel(0, 64, 1.0f)));
  v.block();
  InkEvent e;
  ASSERT_TRUE(v.plug->popInk(e));
  EXPECT_EQ(e.interval, 4.0);
  EXPECT_NEAR(e.heldSeconds, 94 * 512 / 48000.0, 1e-12);
  EXPECT_NEAR(e.weight, e.heldSeconds / 127.0, 1e-12);
  EXPECT_FALSE(v.plug->popInk(e));
}

TEST(ShellPlay, MpeModeIntegratesPressureOfTheLastNoteOnly) {
  DirectVorrel v;
  v.plug->StopIdleTimer();  // the test reads the engrave ring itself
  v.plug->setVelocityLengthMode(false);
  v.midi(0x92, 60, 100);
  v.midi(0xD2, 127, 0);  // channel pressure, channel 2: counts
  v.block();
  for (int i = 0; i < 46; ++i) v.block();
  v.midi(0xD3, 0, 0);   // another channel: ignored
  v.midi(0xA2, 61, 0);  // poly pressure on another note: ignored
  v.midi(0x82, 60, 0);
  v.block();
  v.midi(0x92, 62, 100);
  v.block();
  InkEvent e;
  ASSERT_TRUE(v.plug->popInk(e));
  EXPECT_NEAR(e.weight, 47 * 512 / 48000.0, 1e-9);  // full pressure for the whole held time
}

TEST(ShellPlay, VelocityModeIgnoresPressure) {
  DirectVorrel v;
  v.plug->StopIdleTimer();  // the test reads the engrave ring itself
  v.midi(0x90, 60, 127);
  v.midi(0xD0, 0, 0);
  v.block();
  for (int i = 0; i < 10; ++i) v.block();
  v.midi(0x90, 61, 127);
  v.block();
  InkEvent e;
  ASSERT_TRUE(v.plug->popInk(e));
  EXPECT_NEAR(e.weight, 11 * 512 / 48000.0, 1e-9);
}

TEST(ShellPlay, AFullEngraveRingDropsNewEvents) {
  DirectVorrel v;
  v.plug->StopIdleTimer();  // the test reads the engrave ring itself
  for (int i = 0; i < 70; ++i) {
    v.midi(0x90, 40 + i % 30, 100);
    v.block(16);
  }
  InkEvent e;
  int n = 0;
  while (v.plug->popInk(e)) ++n;
  EXPECT_EQ(n, 64);  // 69 events made, 64 kept
}

TEST(ShellPlay, PedalHoldsNoteOffsAndVelocityZero) {
  DirectVorrel v;
  v.midi(0xB0, 64, 64);  // 64 counts as down
  v.midi(0x90, 60, 100);
  v.midi(0x90, 64, 100);
  v.block();
  v.midi(0x80, 60, 0);
  v.midi(0x90, 64, 0);  // velocity 0: a note-off, held by the pedal too
  v.block();
  EXPECT_EQ(heldVoices(v.engine()), 2);
  v.midi(0xB0, 64, 63);  // 63 counts as up: releases both
  v.block();
  EXPECT_EQ(heldVoices(v.engine()), 0);
  v.midi(0x90, 67, 100);
  v.midi(0x90, 67, 0);
  v.block();
  EXPECT_EQ(heldVoices(v.engine()), 0);
}

TEST(ShellPlay, AllNotesOffReleasesVoicesAndTwins) {
  DirectVorrel v(3);
  v.midi(0x90, 60, 100);
  v.midi(0x91, 67, 100);
  v.block();
  EXPECT_TRUE(v.engine().twin(0).held);
  v.midi(0xB5, 123, 0);
  v.block();
  EXPECT_EQ(heldVoices(v.engine()), 0);
  EXPECT_FALSE(v.engine().twin(0).held);
  EXPECT_FALSE(v.engine().twin(1).held);
  EXPECT_EQ(v.engine().voice(0).releaseRate, 40.0);
}

TEST(ShellPlay, OneBusRunsNoTwins) {
  DirectVorrel v(1);
  v.midi(0x90, 60, 100);
  v.block();
  EXPECT_FALSE(v.engine().isBareEnabled());
  EXPECT_FALSE(v.engine().twin(0).active);
  EXPECT_GT(v.rms(0, 0), 0.0);
}

TEST(ShellPlay, EmptyMemoryMakesWearSilentAndBareFollowMain) {
  DirectVorrel v(3);
  v.plug->uiSetHearBare(true);  // the machine may remember something: this track hears none of it
  v.midi(0x90, 57, 110);
  v.midi(0x90, 64, 90);
  double mainEnergy = 0;
  for (int b = 0; b < 20; ++b) {
    v.block();
    for (uint32_t i = 0; i < 512; ++i) {
      const double m = v.sample(0, 0, i);
      mainEnergy += m * m;
      EXPECT_NEAR(v.sample(2, 0, i), 0.0, 1e-6);
      EXPECT_NEAR(v.sample(2, 1, i), 0.0, 1e-6);
      EXPECT_NEAR(v.sample(1, 0, i), m, 1e-6);
    }
  }
  EXPECT_GT(mainEnergy, 0.0);
}

TEST(ShellPlay, GoingBackToOneBusTurnsTheTwinsOff) {
  DirectVorrel v(3);
  v.midi(0x90, 60, 100);
  v.block();
  ASSERT_TRUE(v.engine().twin(0).active);
  v.clap->stop_processing(v.clap);
  v.clap->deactivate(v.clap);
  ASSERT_TRUE(v.plug->SelectLayout(0));
  ASSERT_TRUE(v.clap->activate(v.clap, 48000, 1, 512));
  v.clap->start_processing(v.clap);
  v.buffers.configure({2}, 512, false);
  v.midi(0x90, 62, 100);
  v.block();
  EXPECT_FALSE(v.engine().isBareEnabled());
  for (int i = 0; i < vorrel::dsp::kNumVoices; ++i) EXPECT_FALSE(v.engine().twin(i).active);
}

TEST(ShellPlay, ProgramChangeIsStoredAsPending) {
  DirectVorrel v;
  v.plug->StopIdleTimer();  // the idle duties take the pending change; this test reads it first
  EXPECT_EQ(v.plug->pendingProgramChange(), -1);
  v.midi(0xC0, 17, 0);
  v.block();
  EXPECT_EQ(v.plug->pendingProgramChange(), 17);
}

TEST(ShellPlay, ExciterItemsMapToFamilyAndVariant) {
  DirectVorrel v;
  const int family[6] = {0, 1, 2, 3, 1, 1};
  const int variant[6] = {0, 0, 0, 0, 1, 2};
  const int oversampling[3] = {1, 4, 8};
  for (int item = 0; item < 6; ++item) {
    v.plug->GetParam(kExciter)->Set(item);
    v.plug->GetParam(kQuality)->Set(item % 3);
    const auto p = v.plug->snapshotVoiceParams();
    EXPECT_EQ(p.exciterFamily, family[item]);
    EXPECT_EQ(p.exciterVariant, variant[item]);
    EXPECT_EQ(p.oversampling, oversampling[item % 3]);
  }
  v.plug->GetParam(kResonance)->Set(150);
  EXPECT_DOUBLE_EQ(v.plug->snapshotVoiceParams().resonance, 1.5);
  EXPECT_DOUBLE_EQ(v.plug->snapshotVoiceParams().drive, 1.4);
  EXPECT_DOUBLE_EQ(v.plug->snapshotVoiceParams().keyTrack, 0.5);
}
