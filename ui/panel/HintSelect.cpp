// The hint bar's tag and text for the hovered control, with the idle hints when nothing is hovered.
#include "BuildState.h"

#include "Bodies.h"
#include "PanelTexts.h"
#include "Params.h"

#include <cstdio>

namespace vrui {
namespace {

const char* const kDot = "  \xC2\xB7  ";

std::string slot(const PanelState& s, int n) {
  const char* t = hintSlot(s.lang, n);
  if (!t || !*t) t = hintSlot(0, n);
  return t ? t : "";
}

}  // namespace

void selectHint(PanelState& s) {
  const int i = s.hoverIndex;
  auto set = [&](int n) { s.hintText = slot(s, n); };
  switch (static_cast<Ctrl>(s.hoverCtrl)) {
    case Ctrl::Param: {
      if (i < 0 || i >= kNumPanelParams) return;
      const char* story = paramStory(s.lang, i);
      s.hintText = story && *story ? story : paramStory(0, i);
      if (i == kForget || i == kEngrave) s.hintText += std::string(kDot) + "shared by every instance";
      bool lfoIdle = (i == kLfoRate && s.paramNorm[kLfoAmt] <= 0.0f) || (i == kLfoAmt && s.paramNorm[kLfoRate] <= 0.0f);
      if (lfoIdle) s.hintText += kDot + slot(s, 42);
      s.hintTag = std::string(paramLabel(i)) + "  " + s.paramText[static_cast<size_t>(i)];
      return;
    }
    case Ctrl::Wheel:
      return set(0);
    case Ctrl::BypassMemory:
      return set(5);
    case Ctrl::PressureSource:
      return set(6);
    case Ctrl::FreezeMemory:
      return set(2);
    case Ctrl::ClearMemory:
      return set(s.clearArmed ? 4 : 3);
    case Ctrl::Key:
      return set(1);
    case Ctrl::MemoryMenu:
      s.hintTag = "~2 kB each";
      return set(7);
    case Ctrl::Speed:
      return set(13);
    case Ctrl::AbSlot:
      return set(14);
    case Ctrl::Undo:
      return set(15);
    case Ctrl::Redo:
      return set(16);
    case Ctrl::PresetMenu:
      s.hintTag = s.presetName.empty() ? "no preset" : s.presetEdited ? "edited" : "saved";
      return set(17);
    case Ctrl::TrackName:
      s.hintTag = "no \"unnamed\" state";
      return set(24);
    case Ctrl::ResizeGrip:
      return set(s.hostTakesResize ? 26 : 27);
    case Ctrl::ProgramChange:
      s.hintTag = s.lastPc >= 0 ? "last: PC " + std::to_string(s.lastPc) : "none received";
      return set(18);
    case Ctrl::PresetPrev:
    case Ctrl::PresetNext:
      return set(39);
    case Ctrl::PresetCategory:
      return set(19);
    case Ctrl::PresetRow: {
      if (i < 0 || i >= s.factoryCount || i > 84 || !s.factoryPresets) return;
      const FactoryPresetInfo& p = s.factoryPresets[i];
      s.hintText = p.name;
      if (p.description && *p.description) s.hintText += std::string(" - ") + p.description;
      s.hintTag = "PC " + std::to_string(i);
      return;
    }
    case Ctrl::PresetSaveAs:
      return set(20);
    case Ctrl::PresetRename:
      return set(21);
    case Ctrl::PresetDelete:
      return set(i == s.presetDeleteArmed ? 23 : 22);
    case Ctrl::MemoryRow:
      return set(i >= 0 && i < 9 ? 8 : 9);
    case Ctrl::MemoryDelete:
      return set(i == s.memDeleteArmed ? 11 : 10);
    case Ctrl::MemorySaveAs:
      return set(12);
    case Ctrl::BodyMenu:
      s.hintTag = s.doseText;
      return set(28);
    case Ctrl::BodyRow: {
      if (i < 0 || i >= vorrel::dsp::kNumBodies) return;
      char buf[48];
      std::snprintf(buf, sizeof buf, "dose \xC3\x97%.2f", vorrel::dsp::bodies()[static_cast<size_t>(i)].dose);
      s.hintTag = buf;
      return set(28);
    }
    case Ctrl::Language:
      s.hintTag = langName(s.lang);
      return set(32);
    case Ctrl::TourAgain:
      return set(41);
    default:
      break;
  }
  if (!s.memoryAttached) {
    s.hintTag = "no memory";
    return set(40);
  }
  if (s.firstTime) {
    s.hintTag = "first time";
    set(38);
  } else if (s.nothingCarved) {
    s.hintTag = "listening";
    set(29);
  } else if (s.memoryOff) {
    s.hintTag = "memory off";
    set(30);
  } else if (s.sympathyHint) {
    s.hintTag = "sympathy 0";
    set(31);
  } else {
    set(37);
  }
}

}  // namespace vrui
