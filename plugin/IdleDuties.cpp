// The control thread's duties about every 20 ms: open, heartbeat, engrave, settings, clear, Speed, the library,
// forgetting, flushing and publishing; and the parameter hook that marks what they must carry out.
#include "Vorrel.h"

#include "Bodies.h"
#include "Engraving.h"
#include "MemoryLibrary.h"
#include "MemoryNotices.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <utility>

namespace {

constexpr uint64_t kTickSeconds = 3600;  // forgetting is applied at least hourly
// A lastUpdate further ahead than this was written by a clock that ran ahead: it counts as now, so forgetting
// neither runs backwards nor stops until the wrong date is reached.
constexpr uint64_t kFutureSlack = 60;
constexpr uint64_t kNoticeSeconds = 60;  // how long the memory line says that a request was dropped
constexpr int64_t kFirstRetryMs = 40;
constexpr int64_t kLongestRetryMs = 4000;
constexpr size_t kPublishedNameBytes = 47;
constexpr size_t kMaxBatch = 4096;  // events kept across failed engravings: minutes of fast playing

int64_t monotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int clampBody(double v) { return std::clamp(static_cast<int>(v), 0, vorrel::dsp::kNumBodies - 1); }

// At most n bytes, never ending inside a UTF-8 character.
size_t utf8Cut(const std::string& s, size_t n) {
  if (s.size() <= n) return s.size();
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return n;
}

}  // namespace

void Vorrel::OnIdle() {
  idlePresetsAndProgramChange();
  const uint64_t now = static_cast<uint64_t>(std::time(nullptr));  // one reading per idle call
  if (!idleOpenMemory(now)) return;
  memory.heartbeat(now);  // a slot another instance reaped is given up here
  idleEngrave(now);
  idleMachineSettings(now);
  idleClearMemory(now);
  const double pace = pendingPace.exchange(0.0, std::memory_order_acq_rel);
  if (pace > 0.0 && !memory.setPace(pace, now)) {
    double none = 0.0;  // a newer request posted meanwhile wins
    pendingPace.compare_exchange_strong(none, pace, std::memory_order_acq_rel);
  }
  memory.releaseOrphanedPace(now);  // a Speed whose setter was killed (a render, a crashed host) ends here
  serviceMemoryOps(now);
  idleTickAndFlush(now);
  idlePublish();
}

// A host that forbids shared memory, or a segment that stays busy, is retried with a growing pause, so the
// idle thread does not wait inside open every 20 ms.
bool Vorrel::idleOpenMemory(uint64_t now) {
  if (memory.isOpen()) return true;
  const int64_t ms = monotonicMs();
  if (openFailures > 0 && ms < nextOpenTryMs) return false;
  if (memory.open(now)) {
    openFailures = 0;
    return true;
  }
  ++openFailures;
  const int64_t pause = std::min(kLongestRetryMs, kFirstRetryMs << std::min(openFailures - 1, 10));
  nextOpenTryMs = ms + pause;
  return false;
}

void Vorrel::idleEngrave(uint64_t now) {
  // The body's pitch classes first, so a body change counts for this call's engraving.
  const int body = clampBody(GetParam(kBody)->Value());
  if (body != pitchClassBody) {
    bodyPitchClasses = vorrel::mem::modePitchClasses(body);
    pitchClassBody = body;
  }
  // While the memory stays locked the batch waits; past its limit the ring keeps (and then drops) new events.
  vorrel::mem::InkEvent e;
  while (engraveBatch.size() < kMaxBatch && popInk(e)) engraveBatch.push_back(e);
  // A bounce's events beyond the ring come after the ring's (the audio thread keeps that order).
  if (engraveBatch.size() < kMaxBatch && inkOverflowUsed.load(std::memory_order_acquire)) {
    std::lock_guard<std::mutex> lock(inkOverflowMutex);
    engraveBatch.insert(engraveBatch.end(), inkOverflow.begin(), inkOverflow.end());
    inkOverflow.clear();
    inkOverflowUsed.store(false, std::memory_order_release);
  }
  if (engraveBatch.empty()) return;
  const int count = static_cast<int>(engraveBatch.size());
  if (!memory.engrave(engraveBatch.data(), count, bodyPitchClasses, now)) return;  // kept for the next call
  engravedTotal.fetch_add(count, std::memory_order_acq_rel);
  lastEngraving.store(now, std::memory_order_release);
  engraveBatch.clear();
}

// Undo and A/B push both settings; a host or editor change pushes only the one that moved, read together
// with the other under the machine lock, so a stale value of this instance never overwrites another's.
void Vorrel::idleMachineSettings(uint64_t now) {
  const bool both = machineSettingsDirty.exchange(false, std::memory_order_acq_rel);
  const uint32_t which = machineSettingsChanged.exchange(0, std::memory_order_acq_rel);
  if (both || which) {
    const double forget = GetParam(kForget)->Value();
    const double engrave = GetParam(kEngrave)->Value();
    const bool pushForget = both || (which & kForgetChanged);
    const bool pushEngrave = both || (which & kEngraveChanged);
    const bool ok = memory.withMachine(now, [&](vorrel::mem::MemoryState& s) {
      vorrel::mem::ops::setMachineConfig(s, pushForget ? forget : s.forgetDays, pushEngrave ? engrave : s.engravePct,
                                         now);
    });
    if (!ok) {
      if (both) machineSettingsDirty.store(true, std::memory_order_release);
      machineSettingsChanged.fetch_or(which, std::memory_order_acq_rel);
      return;
    }
  }
  followMachineSettings();
}

// The two machine-wide parameters show the machine's values (also after a project or preset wrote them);
// announced as a recall, so nothing is pushed back.
void Vorrel::followMachineSettings() {
  if (machineSettingsDirty.load(std::memory_order_acquire) ||
      machineSettingsChanged.load(std::memory_order_acquire) != 0)
    return;
  vorrel::mem::MemoryState s;
  if (!memory.load(s)) return;
  const std::pair<int, double> settings[] = {{kForget, s.forgetDays}, {kEngrave, s.engravePct}};
  for (const auto& [idx, machine] : settings) {
    vfw::Param* param = GetParam(idx);
    // A record that reads as "not given" (Forget 0, Engrave -1) leaves the parameter alone.
    if (!(machine >= param->GetMin() && machine <= param->GetMax())) continue;
    const double target = param->Constrain(machine);
    if (param->Value() == target) continue;
    param->Set(target);
    OnParamChange(idx, vfw::ParamSource::PresetRecall, -1);
    InformHostOfParamChange(idx);
  }
}

// Nothing is erased before its backup is safely on disk. A clear whose backup is refused is dropped (the
// memory line says so), never carried out later after more playing; one whose backup was written but whose
// wipe found the memory busy is tried again at the next call.
void Vorrel::idleClearMemory(uint64_t now) {
  if (!clearMemoryRequest.exchange(false, std::memory_order_acq_rel)) return;
  if (!clearBackedUp) clearBackedUp = vorrel::mem::backupLiveMemory(memory, vorrel::mem::memoriesDir(), now);
  if (!clearBackedUp) {
    dropForRefusedBackup(now);
    return;
  }
  if (memory.wipe(now)) {
    clearBackedUp = false;
    memory.flush(now, true);
    memoryNamesStale = true;
    return;
  }
  clearMemoryRequest.store(true, std::memory_order_release);
}

void Vorrel::dropForRefusedBackup(uint64_t now) {
  backupRefusedAt.store(now == 0 ? 1 : now, std::memory_order_release);
}

int Vorrel::memoryNotice() const {
  using Problem = vorrel::mem::MachineMemory::SaveProblem;
  const uint64_t refused = backupRefusedAt.load(std::memory_order_acquire);
  const uint64_t now = static_cast<uint64_t>(std::time(nullptr));
  if (refused != 0 && now >= refused && now - refused < kNoticeSeconds) return vrui::kNoticeBackupRefused;
  switch (memory.saveProblem()) {
    case Problem::NotAFile:
      return vrui::kNoticeNotAFile;
    case Problem::BadLink:
      return vrui::kNoticeBadLink;
    case Problem::WriteFailed:
      return vrui::kNoticeNotWritten;
    default:
      return vrui::kNoticeNone;
  }
}

void Vorrel::idleTickAndFlush(uint64_t now) {
  if (!memory.isOpen()) return;
  vorrel::mem::MemoryState s;
  if (memory.load(s) &&
      ((s.lastUpdate < now && now - s.lastUpdate > kTickSeconds) || s.lastUpdate > now + kFutureSlack))
    memory.tick(now);
  memory.flush(now, false);
}

void Vorrel::idlePublish() {
  vorrel::mem::InstancePayload payload{};
  payload.body = pitchClassBody;
  payload.carves = engravedTotal.load(std::memory_order_acquire);
  payload.lastCarve = lastEngraving.load(std::memory_order_acquire);
  std::string name = uiTrackName();
  if (name.empty()) name = uiHostTrackName();
  if (name.empty()) name = "Vorrel";
  std::memcpy(payload.trackName, name.data(), utf8Cut(name, kPublishedNameBytes));
  memory.publishInstance(payload);
}

void Vorrel::OnParamChange(int paramIdx, vfw::ParamSource source, int) {
  const bool fromUser = source == vfw::ParamSource::Host || source == vfw::ParamSource::UI;
  if (paramIdx == kForget && fromUser) machineSettingsChanged.fetch_or(kForgetChanged, std::memory_order_acq_rel);
  if (paramIdx == kEngrave && fromUser) machineSettingsChanged.fetch_or(kEngraveChanged, std::memory_order_acq_rel);
  if (paramIdx == kSource) traceGeneration.fetch_add(2, std::memory_order_acq_rel);
  // Whoever moved it (host, panel, preset, undo), the host hears that the voice count changed.
  if (paramIdx == kVoices) VoiceInfoMaybeChanged();
}

void Vorrel::uiSetHearBare(bool on) {
  hearBare.store(on, std::memory_order_release);
  traceGeneration.fetch_add(2, std::memory_order_acq_rel);
}

const std::vector<double>& Vorrel::uiBodyRatios(int body) {
  body = std::clamp(body, 0, vorrel::dsp::kNumBodies - 1);
  if (body != editorRatiosBody) {
    editorBodyRatios = vorrel::dsp::etendre(vorrel::dsp::bodies()[static_cast<size_t>(body)].ratios, 40);
    editorRatiosBody = body;
  }
  return editorBodyRatios;
}

std::string Vorrel::uiTrackName() const {
  std::lock_guard<std::mutex> lock(instanceMutex);
  return trackName;
}

void Vorrel::uiSetTrackName(const std::string& name) {
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    if (trackName == name) return;
    trackName = name;
  }
  MarkStateDirty();
}

std::string Vorrel::uiHostTrackName() const {
  std::lock_guard<std::mutex> lock(instanceMutex);
  return hostTrackName;
}

void Vorrel::OnHostTrackInfoChanged() {
  std::string name;
  GetHostTrackName(name);  // absent means empty
  std::lock_guard<std::mutex> lock(instanceMutex);
  hostTrackName = std::move(name);
}
