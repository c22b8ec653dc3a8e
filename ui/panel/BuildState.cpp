// One frame's panel state: parameters, memory views, ages, chips, the sector view, menus, names and flashes.
#include "BuildState.h"

#include "Bodies.h"
#include "PanelLayout.h"
#include "PanelTexts.h"
#include "Params.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vrui {
namespace {

constexpr int kFlashFrames = 42;  // frames of 1/60 s the Program Change switch flashes after a recall
constexpr int kCaretHalfPeriod = 25;
constexpr double kC4 = 261.63;
constexpr double kTopHz = 21600.0;  // modes at or above this are not shown

std::string fmt(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

std::string fmtInt(const char* format, long long v) {
  char buf[96];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

std::string boundedText(const char* text, size_t size) {
  size_t n = 0;
  while (n < size && text[n] != '\0') ++n;
  return std::string(text, n);
}

float rowTanh(const float (&row)[12]) {
  float top = 0.0f;
  for (float w : row) top = std::max(top, w);
  return std::tanh(top / 3.0f);
}

void readParams(const PanelShell& shell, PanelState& s, double (&value)[kNumPanelParams]) {
  ParamReading r;
  for (int id = 0; id < kNumPanelParams; ++id) {
    r = ParamReading{};
    shell.readParam(id, r);
    value[id] = std::isfinite(r.value) ? r.value : 0.0;
    double n = std::isfinite(r.normalized) ? r.normalized : 0.0;
    s.paramNorm[id] = static_cast<float>(std::clamp(n, 0.0, 1.0));
    std::string text = r.text;
    if (r.label == "%") {
      text += "%";
    } else if (!r.label.empty()) {
      text += " " + r.label;
    }
    s.paramText[id] = std::move(text);
  }
  s.paramText[kBodyDecay] = fmt("%.1f s", value[kBodyDecay] * 2.2 / kC4);
}

}  // namespace

std::string memoryAgeLine(uint64_t lastUpdate, uint64_t now) {
  if (lastUpdate == 0 || lastUpdate >= now || now - lastUpdate < 3600) return "played within the hour";
  uint64_t silent = now - lastUpdate;
  if (silent < 86400) return fmtInt("silent for %lld h", static_cast<long long>(silent / 3600));
  return fmt("silent for %.1f d", static_cast<double>(silent) / 86400.0);
}

float ageDaysOf(uint32_t touchedHour, uint64_t now) {
  if (touchedHour == 0) return kNeverAge;
  uint64_t hours = now / 3600;
  if (touchedHour >= hours) return 0.0f;
  return static_cast<float>(static_cast<double>(hours - touchedHour) / 24.0);
}

void modeLevels(const ModeLevelInputs& in, float out[kPanelModes]) {
  std::fill(out, out + kPanelModes, 0.0f);
  double f0 = kC4 * std::pow(2.0, in.selectedPc / 12.0);
  double imprint = in.imprint / 100.0;
  double g = imprint <= 0.001 ? 0.0 : 0.02 * std::pow(70.0, imprint);
  double dose = in.dose * 0.23 * g;
  double p = std::clamp(in.rolloff - 0.7 + in.tilt, 0.0, 1.8);
  double bare = in.bare / 100.0;
  double carve = in.carve * in.imprint * 8.5e-5;
  double level[kPanelModes] = {};
  int kept = 0;
  for (int m = 0; m < kPanelModes; ++m) {
    if (!(in.ratios[m] * f0 < kTopHz)) continue;
    double t = std::tanh(in.weights[m] / 3.0);
    double base = m == 0 ? 1.0 : m == 1 ? 0.1 : 0.0;
    double v =
        ((t - 1.0) * carve + 1.0) * (dose * t * 25.0 + 1.0) * (base * bare + (1.0 - bare) / std::pow(m + 1.0, p));
    level[kept++] = std::max(0.0, v);
  }
  double top = 0.0;
  for (int i = 0; i < kept; ++i) top = std::max(top, level[i]);
  for (int i = 0; i < kept; ++i) {
    if (top <= 0.0 || level[i] <= 0.0) continue;
    out[i] = static_cast<float>(std::max(0.0, (20.0 * std::log10(level[i] / top) + 48.0) / 48.0));
  }
}

bool buildState(const PanelShell& shell, PanelView& view, PanelState& s) {
  namespace mem = vorrel::mem;
  const auto& table = vorrel::dsp::bodies();

  // 1. Language, read once per window.
  if (!view.langLoaded) {
    view.lang = shell.loadLanguage();
    view.langLoaded = true;
  }
  s.lang = view.lang;

  // 2. Parameters and what follows from them.
  double value[kNumPanelParams] = {};
  readParams(shell, s, value);
  s.body = static_cast<int>(std::clamp(std::lround(value[kBody]), 0L, static_cast<long>(vorrel::dsp::kNumBodies - 1)));
  s.exciter = static_cast<int>(std::lround(value[kExciter]));
  s.quality = static_cast<int>(std::lround(value[kQuality]));
  const auto& bodyDef = table[static_cast<size_t>(s.body)];
  s.doseText = fmt("dose \xC3\x97%.2f", bodyDef.dose);
  s.memoryBypassed = shell.hearBare();
  s.velocityLengthMode = shell.velocityLengthMode();
  s.forgetDays = static_cast<float>(value[kForget]);

  // 3. Memory off and the Sympathy hint, which stays away once Sympathy has been up while the editor is open.
  double imprint = value[kImprint], sympathy = value[kSympathy];
  if (sympathy > 0.0) view.sympathyEverUp = true;
  s.memoryOff = imprint <= 0.0 && sympathy <= 0.0;
  s.sympathyHint = imprint > 0.0 && sympathy <= 0.0 && !view.sympathyEverUp;
  s.memStatus = s.memoryBypassed ? "MEMORY BYPASSED"
                : s.memoryOff    ? "MEMORY OFF"
                                 : fmtInt("memory %lld%%", std::llround(imprint));

  // 4. The memory record, copied lock-free.
  mem::MemoryState copy{};
  bool attached = shell.memoryAttached();
  bool haveCopy = attached && shell.readMemory(copy);
  s.memoryAttached = attached;
  s.memoryFault = attached ? 0 : shell.memoryFault();
  if (shell.segmentMapped()) {
    s.instanceCount = 0;
    for (int i = 0; i < mem::kNumSlots; ++i) s.instanceCount += shell.slotLive(i) ? 1 : 0;
  } else {
    s.instanceCount = attached ? 1 : 0;
  }

  // 5. Cells, ages and the status line.
  uint64_t now = shell.wallClock();
  for (int r = 0; r < 12; ++r) {
    s.rowIntensity[r] = 0.0f;
    s.rowAgeDays[r] = kNeverAge;
    for (int c = 0; c < 12; ++c) {
      float w = haveCopy && std::isfinite(copy.cart.ink[r][c]) ? copy.cart.ink[r][c] : 0.0f;
      s.weight[r][c] = w;
      s.ageDays[r][c] = haveCopy ? ageDaysOf(copy.cart.touchedHour[r][c], now) : kNeverAge;
      if (w > 0.0f) s.rowAgeDays[r] = std::min(s.rowAgeDays[r], s.ageDays[r][c]);
    }
    s.rowIntensity[r] = rowTanh(s.weight[r]);
  }
  bool quiet = true;
  for (float v : s.rowIntensity) quiet = quiet && v <= 0.02f;
  s.nothingCarved = quiet && shell.noteOnCount() == 0;
  if (!view.firstRunChecked) {
    view.firstRunDone = shell.firstRunMarkerExists();
    view.firstRunChecked = true;
  }
  s.firstTime = !view.firstRunDone;
  s.memAgeLine = haveCopy ? memoryAgeLine(copy.lastUpdate, now) : "no machine memory";
  s.memoryNotice = attached ? shell.memoryNotice() : 0;

  // 6. The tour opens at the welcome card once per window when it was never finished.
  if (!view.tourChecked) {
    view.tourSeen = shell.tourMarkerExists();
    view.tourChecked = true;
    if (!view.tourSeen) {
      view.tourActive = true;
      view.tourStep = -1;
      view.tourExtended = false;
    }
  }
  s.tourActive = view.tourActive;
  s.tourStep = view.tourStep;
  s.tourExtended = view.tourExtended;

  // 7. Everything under the instance mutex in one short copy; a lock that cannot be had skips the frame.
  ShellCopy shared;
  if (!shell.copyShared(shared)) return false;
  const mem::SealedMemory& snap = shared.snapshot;
  s.hasSnapshot = snap.present != 0;
  if (s.hasSnapshot) {
    for (int r = 0; r < 12; ++r) {
      float top = 0.0f;
      for (int c = 0; c < 12; ++c) {
        if (std::isfinite(snap.cart.ink[r][c])) top = std::max(top, snap.cart.ink[r][c]);
      }
      s.snapshotRow[r] = std::tanh(top / 3.0f);
    }
    s.snapshotLine = snap.sealedAt > 0 && snap.sealedAt < now
                         ? fmt("snapshot %.1f d ago", static_cast<double>(now - snap.sealedAt) / 86400.0)
                         : "snapshot";
  }

  // 8. Chips, one per active slot, read under the slot's sequence counter.
  s.chips.clear();
  if (attached && shell.segmentMapped()) {
    int own = shell.ownSlot();
    int64_t sum = 0;
    for (int i = 0; i < mem::kNumSlots; ++i) {
      if (!shell.slotLive(i)) continue;
      mem::InstancePayload p{};
      if (!shell.readSlot(i, p)) p = mem::InstancePayload{};
      PanelState::Chip chip;
      chip.name = boundedText(p.trackName, sizeof p.trackName);
      if (chip.name.empty()) {
        chip.name = table[static_cast<size_t>(std::clamp(p.body, 0, vorrel::dsp::kNumBodies - 1))].name;
      }
      chip.carved = std::max(p.carves, 0);
      chip.isSelf = i == own;
      sum += chip.carved;
      s.chips.push_back(std::move(chip));
    }
    for (auto& chip : s.chips) chip.share = sum > 0 ? static_cast<float>(chip.carved / static_cast<double>(sum)) : 0.0f;
  }

  // 9. The sector view of the selected pitch class.
  s.selectedPc = std::clamp(view.selectedPc, 0, 11);
  double weights[kPanelModes] = {};
  double sourceMix = std::clamp(value[kSource] / 100.0, 0.0, 1.0);
  for (int m = 0; m < kPanelModes; ++m) {
    if (s.memoryBypassed) continue;
    double live = haveCopy && std::isfinite(copy.modeWeights[m]) ? copy.modeWeights[m] : 0.0;
    double frozen = s.hasSnapshot && std::isfinite(snap.modeWeights[m]) ? snap.modeWeights[m] : 0.0;
    weights[m] = live + (frozen - live) * sourceMix;
  }
  ModeLevelInputs in;
  in.ratios = vorrel::dsp::modeList(s.body).data();
  in.weights = weights;
  in.selectedPc = s.selectedPc;
  in.imprint = imprint;
  in.bare = value[kBare];
  in.carve = value[kCarve];
  in.dose = bodyDef.dose;
  in.rolloff = bodyDef.rolloff;
  in.tilt = shell.trackTilt();
  modeLevels(in, s.modeLevel);
  s.carvedModes = 0;
  for (int m = 0; m < kPanelModes; ++m) {
    s.modeCarved[m] = weights[m] > 0.05;
    s.carvedModes += s.modeCarved[m] ? 1 : 0;
  }

  // 10, 11. Keys and flags.
  s.selectedAgeDays = s.rowAgeDays[s.selectedPc];
  s.keyHolds.clear();
  if (view.heldKey >= 0) s.keyHolds.push_back({view.heldKey, view.keyPressure, view.keyEnergy, !s.velocityLengthMode});
  s.heldMidiNote = shell.heldMidiNote();
  s.clearArmed = view.clearArmed;

  // 12. Names.
  s.hostTrackName = shared.hostTrackName.empty() ? "Vorrel" : shared.hostTrackName;
  s.trackNameIsOwn = !shared.trackName.empty();
  s.trackName = s.trackNameIsOwn ? shared.trackName : s.hostTrackName;
  s.presetName = shared.presetName;
  s.presetEdited = shared.presetEdited;
  s.pcEnabled = shared.pcEnabled;
  s.lastPc = shell.lastProgramChange();

  // 13. Program Change flash: 42 frames from the frame a new recall is seen.
  uint32_t recalls = shell.programChangeRecalls();
  s.pcFlash = false;
  if (!view.pcFlashPrimed) {
    view.pcFlashPrimed = true;
    view.pcFlashSeen = recalls;
  } else if (recalls != view.pcFlashSeen) {
    view.pcFlashSeen = recalls;
    view.pcFlashFrames = kFlashFrames - 1;
    s.pcFlash = true;
  } else if (view.pcFlashFrames > 0) {
    view.pcFlashFrames = std::max(0, view.pcFlashFrames - (std::max(1, view.ticks) - 1));
    if (view.pcFlashFrames > 0) {
      --view.pcFlashFrames;
      s.pcFlash = true;
    }
  }

  // 14. Preset menu.
  Ctrl hover = static_cast<Ctrl>(view.hoverCtrl);
  s.presetMenuOpen = view.presetMenuOpen;
  s.presetCat = view.presetCat;
  s.presetRowHover = hover == Ctrl::PresetRow ? view.hoverIndex : -1;
  s.catHover = hover == Ctrl::PresetCategory ? view.hoverIndex : -1;
  s.userRowHover = hover == Ctrl::PresetRename   ? 2 * view.hoverIndex
                   : hover == Ctrl::PresetDelete ? 2 * view.hoverIndex + 1
                                                 : -1;
  s.presetDeleteArmed = view.presetDeleteArmed;
  s.renameIndex = view.renameIndex;
  s.savingPreset = view.editKind == 1;
  s.userPresetNames = std::move(shared.userPresetNames);
  s.factoryPresets = shell.factoryPresets(s.factoryCount);
  if (!s.factoryPresets) s.factoryCount = 0;
  // Scrolling is clamped here, against this frame's lists, so input may simply step it by one.
  view.presetScroll =
      clampScroll(view.presetScroll, presetMenuRowCount(s), presetMenuVisibleRows(presetMenuRowCount(s)));
  s.presetScroll = view.presetScroll;

  // 15. Memory identity, speed, A/B and history.
  if (haveCopy) {
    s.memName = boundedText(copy.name.text, sizeof copy.name.text);
    if (s.memName.empty()) s.memName = "Untouched";
    // Another process wrote it: kept within a century of seconds so the panel can print it.
    s.memYoursSeconds = std::isfinite(copy.yours.yoursSeconds) ? std::clamp(copy.yours.yoursSeconds, 0.0, 3.2e9) : 0.0;
    s.speedIndex = copy.pace >= 100.0 ? 2 : copy.pace >= 10.0 ? 1 : 0;
  }
  s.abSlot = shared.abSlot;
  s.canUndo = shared.canUndo;
  s.canRedo = shared.canRedo;

  // 16. Memory menu and body list.
  s.memMenuOpen = view.memMenuOpen;
  s.memRowHover = hover == Ctrl::MemoryRow ? view.hoverIndex : -1;
  s.memDeleteHover = hover == Ctrl::MemoryDelete ? view.hoverIndex : -1;
  s.memDeleteArmed = view.memDeleteArmed;
  s.savingMemory = view.editKind == 4;
  s.memoryNames = std::move(shared.memoryNames);
  const int saved = static_cast<int>(s.memoryNames.size());
  view.memScroll = clampScroll(view.memScroll, saved, memoryMenuVisibleRows(saved));
  s.memScroll = view.memScroll;
  s.bodyMenuOpen = view.bodyMenuOpen;
  s.bodyHover = hover == Ctrl::BodyRow ? view.hoverIndex : -1;

  // 17. The name being edited; the caret blinks 25 frames on, 25 off.
  s.editKind = view.editKind;
  if (view.editKind != 0) {
    int len = static_cast<int>(view.editText.size());
    s.editText = view.editText;
    s.caret = std::clamp(view.caret, 0, len);
    int anchor = std::clamp(view.anchor, 0, len);
    s.selStart = std::min(s.caret, anchor);
    s.selEnd = std::max(s.caret, anchor);
    s.caretVisible = (view.caretTick / kCaretHalfPeriod) % 2 == 0;
    view.caretTick += std::max(1, view.ticks);
  } else {
    view.caretTick = 0;
  }

  // 18. Hint bar.
  s.hoverCtrl = view.hoverCtrl;
  s.hoverIndex = view.hoverIndex;
  s.hostTakesResize = shell.hostTakesResize();
  selectHint(s);
  return true;
}

}  // namespace vrui
