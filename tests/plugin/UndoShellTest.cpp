// Undo, redo and A/B on a Vorrel object: the sound, the extras, the pressure mode and the machine's settings.
#include "DirectVorrel.h"
#include "Directories.h"
#include "Engraving.h"
#include "MachineMemory.h"
#include "OwnSegment.h"

#include <cstdlib>
#include <ctime>
#include <thread>

using vtest::DirectVorrel;

namespace {

uint64_t now() { return static_cast<uint64_t>(std::time(nullptr)); }
const std::string kRescan = "params.rescan " + std::to_string(CLAP_PARAM_RESCAN_VALUES);

double weightSum(const vorrel::mem::MemoryState& s) {
  double sum = 0;
  for (double w : s.modeWeights) sum += w;
  return sum;
}

}  // namespace

TEST(Undo, RestoresTheMachineSettingsOfTheTimeAndKeepsWhatWasCarved) {
  if (!vtest::ownSegment()) GTEST_SKIP() << "needs a segment of its own (run through isolated.sh)";
  DirectVorrel v;
  v.plug->StopIdleTimer();  // OnIdle runs here, by hand
  vorrel::mem::MachineMemory other(vorrel::mem::machineSegmentName(), vorrel::mem::defaultStoreDir());
  ASSERT_TRUE(other.open(now()));
  ASSERT_TRUE(v.plug->machineMemory().isOpen());
  ASSERT_TRUE(other.setMachineConfig(20, 80, now()));

  // An edit of both settings, written to the machine as the control thread would.
  v.plug->undoMark();
  v.plug->GetParam(kForget)->Set(30);
  v.plug->GetParam(kEngrave)->Set(150);
  ASSERT_TRUE(other.setMachineConfig(30, 150, now()));
  v.plug->undoPush();

  // Another instance carves meanwhile.
  vorrel::mem::InkEvent ink;
  ink.interval = 7;
  ink.weight = 2;
  ink.heldSeconds = 1;
  ASSERT_TRUE(other.engrave(&ink, 1, vorrel::mem::modePitchClasses(0), now()));
  vorrel::mem::MemoryState carved;
  ASSERT_TRUE(other.load(carved));
  ASSERT_GT(weightSum(carved), 0.0);

  v.plug->uiUndo();
  EXPECT_EQ(v.plug->GetParam(kForget)->Value(), 20.0);
  EXPECT_EQ(v.plug->GetParam(kEngrave)->Value(), 80.0);
  v.plug->OnIdle();
  vorrel::mem::MemoryState after;
  ASSERT_TRUE(other.load(after));
  EXPECT_EQ(after.forgetDays, 20.0);
  EXPECT_EQ(after.engravePct, 80.0);
  EXPECT_EQ(weightSum(after), weightSum(carved));

  v.plug->uiRedo();
  v.plug->OnIdle();
  ASSERT_TRUE(other.load(after));
  EXPECT_EQ(after.forgetDays, 30.0);
  EXPECT_EQ(after.engravePct, 150.0);
  other.close(now());
}

TEST(Undo, CoversSoundExtrasAndPressureModeAndTellsTheHost) {
  DirectVorrel v;
  Vorrel& p = *v.plug;
  p.undoMark();
  p.GetParam(kCutoff)->Set(900);
  p.setTrackExtras(0.9, 1.5, 0.1, 3.0);
  p.setVelocityLengthMode(false);
  p.undoPush();
  ASSERT_TRUE(p.canUndo());

  v.host.clearCalls();
  p.uiUndo();
  Vorrel::UndoSnap now = p.captureSnap();
  EXPECT_EQ(now.values[kCutoff], 2400.0);
  EXPECT_EQ(now.extras[1], 0.0);
  EXPECT_TRUE(now.velocityLengthMode);
  // Not inside a call of the host: the rescan waits for the host's main-thread callback.
  EXPECT_EQ(v.host.countCalls(kRescan), 0);
  v.host.pump(v.clap);
  EXPECT_EQ(v.host.countCalls(kRescan), 1);
  EXPECT_TRUE(p.canRedo());

  // From the editor thread the rescan waits for the host's main-thread callback.
  std::thread editor([&p] { p.uiRedo(); });
  editor.join();
  EXPECT_EQ(v.host.countCalls(kRescan), 1);
  v.host.pump(v.clap);
  EXPECT_EQ(v.host.countCalls(kRescan), 2);
  now = p.captureSnap();
  EXPECT_EQ(now.values[kCutoff], 900.0);
  EXPECT_EQ(now.extras[3], 3.0);
  EXPECT_FALSE(now.velocityLengthMode);
}

// A project that loads starts a fresh history: neither undo nor redo brings back what was there before.
TEST(Undo, LoadingAStateStartsAFreshHistory) {
  DirectVorrel v;
  Vorrel& p = *v.plug;
  p.GetParam(kCutoff)->Set(700);
  vfw::ByteChunk project;
  ASSERT_TRUE(p.SerializeState(project));
  for (double cutoff : {900.0, 1200.0}) {
    p.undoMark();
    p.GetParam(kCutoff)->Set(cutoff);
    p.undoPush();
    p.uiUndo();
    p.uiRedo();  // the next edit is a step of its own
  }
  p.uiUndo();
  ASSERT_TRUE(p.canUndo() && p.canRedo());
  ASSERT_GT(p.UnserializeState(project, 0), 0);
  EXPECT_FALSE(p.canUndo());
  EXPECT_FALSE(p.canRedo());
  p.uiUndo();
  p.uiRedo();
  EXPECT_EQ(p.GetParam(kCutoff)->Value(), 700.0);
}

TEST(AbSlots, EmptySlotKeepsTheSoundAndEachSlotKeepsWhatWasLeft) {
  DirectVorrel v;
  Vorrel& p = *v.plug;
  p.uiAbSwitch(0);  // already on A
  EXPECT_FALSE(p.canUndo());

  p.GetParam(kCutoff)->Set(1000);
  p.uiAbSwitch(1);  // B is empty
  EXPECT_EQ(p.uiAbSlot(), 1);
  EXPECT_EQ(p.GetParam(kCutoff)->Value(), 1000.0);
  EXPECT_TRUE(p.canUndo());

  p.GetParam(kCutoff)->Set(5000);
  p.setTrackExtras(0.2, 0.5, 0.0, 2.0);
  p.uiAbSwitch(0);
  EXPECT_EQ(p.GetParam(kCutoff)->Value(), 1000.0);
  EXPECT_EQ(p.snapshotVoiceParams().stretch, 0.0);
  p.uiAbSwitch(7);  // any other number means B
  EXPECT_EQ(p.GetParam(kCutoff)->Value(), 5000.0);
  EXPECT_EQ(p.snapshotVoiceParams().stretch, 0.5);
}

TEST(Undo, ChangesTheHostCannotSeeMarkTheProjectDirty) {
  DirectVorrel v;
  Vorrel& p = *v.plug;
  const std::string kDirty = "state.mark_dirty";
  v.host.clearCalls();
  p.uiSetTrackName("Strings");
  p.uiSetTrackName("Strings");  // no change, nothing to save
  v.host.pump(v.clap);
  EXPECT_EQ(v.host.countCalls(kDirty), 1);
  p.uiSetProgramChangeEnabled(!p.uiProgramChangeEnabled());
  v.host.pump(v.clap);
  p.uiAbSwitch(1);
  v.host.pump(v.clap);
  p.uiUndo();
  v.host.pump(v.clap);
  EXPECT_EQ(v.host.countCalls(kDirty), 4);
  // From the editor thread, at the host's next main-thread callback.
  std::thread editor([&p] { p.uiRedo(); });
  editor.join();
  EXPECT_EQ(v.host.countCalls(kDirty), 4);
  v.host.pump(v.clap);
  EXPECT_EQ(v.host.countCalls(kDirty), 5);
}

TEST(Undo, PresetNamesTravelCutThroughTheChunkAndComeBackWithUndo) {
  Vorrel a(vfw::InstanceInfo{});
  ASSERT_TRUE(a.savePreset(std::string(70, 'n')));
  vfw::ByteChunk chunk;
  ASSERT_TRUE(a.SerializeState(chunk));
  Vorrel b(vfw::InstanceInfo{});
  ASSERT_GT(b.UnserializeState(chunk, 0), 0);
  EXPECT_EQ(b.uiPresetName(), std::string(63, 'n'));

  b.undoMark();
  ASSERT_TRUE(b.recallPreset(3, true));
  b.undoPush();
  EXPECT_NE(b.uiPresetName(), std::string(63, 'n'));
  b.uiUndo();
  EXPECT_EQ(b.uiPresetName(), std::string(63, 'n'));
}
