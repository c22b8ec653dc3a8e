// Undo and redo of every track setting: whole-state snapshots taken around each edit of the editor.
#include "Vorrel.h"

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

static_assert(vorrel::kNumPresetParams == kNumParams);

// Whole milliseconds of the monotonic clock: wall-clock jumps must not join or split undo steps.
double undoNowMs() {
  const auto ns =
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
  return static_cast<double>(ns / 1000000);
}

template <size_t N>
void copyCut(char (&dst)[N], const std::string& src) {
  std::snprintf(dst, N, "%s", src.c_str());
}

template <size_t N>
std::string fromField(const char (&src)[N]) {
  return std::string(src, strnlen(src, N));
}

}  // namespace

void Vorrel::writeParamValues(const double* values, int count) {
  for (int i = 0; i < count && i < NParams(); ++i) GetParam(i)->Set(values[i]);
}

void Vorrel::writeTrackExtras(const vorrel::TrackExtraValues& values) {
  vorrel::TrackExtraValues e = values;
  vorrel::clampTrackExtras(e);
  setTrackExtras(e[0], e[1], e[2], e[3]);
}

void Vorrel::readTrackExtras(vorrel::TrackExtraValues& values) const {
  values[0] = extras.tiltOffset.load(std::memory_order_relaxed);
  values[1] = extras.stretch.load(std::memory_order_relaxed);
  values[2] = extras.selfExcite.load(std::memory_order_relaxed);
  values[3] = extras.drive.load(std::memory_order_relaxed);
}

bool Vorrel::machineSettings(double& forgetDays, double& engravePct) const {
  vorrel::mem::MemoryState state;
  if (!memory.isOpen() || !memory.load(state)) return false;
  forgetDays = state.forgetDays;
  engravePct = state.engravePct;
  return true;
}

Vorrel::UndoSnap Vorrel::captureSnap() const {
  UndoSnap snap;
  for (int i = 0; i < kNumParams; ++i) snap.values[i] = GetParam(i)->Value();
  readTrackExtras(snap.extras);
  snap.forget = GetParam(kForget)->Value();
  snap.engrave = GetParam(kEngrave)->Value();
  machineSettings(snap.forget, snap.engrave);
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    copyCut(snap.presetName, presetName);
    copyCut(snap.trackName, trackName);
    snap.slots[0] = abSlots[0];
    snap.slots[1] = abSlots[1];
    snap.activeSlot = activeAbSlot;
    snap.programChangeEnabled = programChangeEnabled;
  }
  snap.velocityLengthMode = velocityLengthMode.load(std::memory_order_acquire);
  return snap;
}

void Vorrel::applySnap(const UndoSnap& snap) {
  writeParamValues(snap.values, kForget);  // the sound; the machine settings follow below
  GetParam(kForget)->Set(snap.forget);
  GetParam(kEngrave)->Set(snap.engrave);
  OnParamReset(vfw::ParamSource::PresetRecall);
  writeTrackExtras(snap.extras);
  machineSettingsDirty.store(true, std::memory_order_release);
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    presetName = fromField(snap.presetName);
    trackName = fromField(snap.trackName);
    abSlots[0] = snap.slots[0];
    abSlots[1] = snap.slots[1];
    activeAbSlot = snap.activeSlot != 0 ? 1 : 0;
    programChangeEnabled = snap.programChangeEnabled;
  }
  velocityLengthMode.store(snap.velocityLengthMode, std::memory_order_release);
  RescanParamValues();
  MarkStateDirty();
}

void Vorrel::syncHistory() {
  const uint32_t epoch = historyEpoch.load(std::memory_order_acquire);
  if (epoch == historySeen) return;
  history = {};  // steps and a mark taken before the load would lead back to the project that was replaced
  historySeen = epoch;
}

void Vorrel::undoMark() {
  syncHistory();
  history.mark(captureSnap());
}

void Vorrel::undoPush() {
  syncHistory();
  history.push(captureSnap(), undoNowMs());
}

void Vorrel::uiUndo() {
  syncHistory();
  UndoSnap back;
  if (history.doUndo(captureSnap(), back)) applySnap(back);
}

void Vorrel::uiRedo() {
  syncHistory();
  UndoSnap again;
  if (history.doRedo(captureSnap(), again)) applySnap(again);
}
