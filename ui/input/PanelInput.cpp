// What each press, drag, release and key does on the panel.
#include "PanelInput.h"

#include <algorithm>
#include <cmath>

namespace vrui {
namespace {

bool menuFamily(Control c) {
  switch (c) {
    case Control::MenuBackdrop:
    case Control::PresetCategory:
    case Control::PresetRow:
    case Control::PresetSaveAs:
    case Control::PresetRename:
    case Control::PresetDelete:
    case Control::NameField:
    case Control::MemoryRow:
    case Control::MemoryDelete:
    case Control::MemorySaveAs:
      return true;
    default:
      return false;
  }
}

uint32_t noteCode(int note, uint32_t kind) { return (static_cast<uint32_t>(note) * 256u + kind) & 0xFFFFu; }

template <class T>
bool inRange(const std::vector<T>& v, int i) {
  return i >= 0 && static_cast<size_t>(i) < v.size();
}

}  // namespace

const Hit* PanelInput::hitAt(float x, float y) const {
  const float lx = toLayoutX(x), ly = toLayoutY(y);
  for (auto it = hits.rbegin(); it != hits.rend(); ++it) {
    const auto& r = it->rect;
    if (lx >= r.x && lx < r.x + r.w && ly >= r.y && ly < r.y + r.h) return &*it;
  }
  return nullptr;
}

void PanelInput::onMotion(float x, float y) {
  const Hit* h = hitAt(x, y);
  hoverCtrl = h ? static_cast<int32_t>(h->ctrl) : static_cast<int32_t>(Control::None);
  hoverIndex = h ? h->index : -1;
}

void PanelInput::onPress(float x, float y, bool doubleClick) {
  if (!host || holding()) return;
  const Hit* found = hitAt(x, y);
  const Hit hit = found ? *found : Hit{};
  if (nameEdit.active && !menuFamily(hit.ctrl)) {
    endFieldEdit(true);
    doubleClick = false;
  }
  if (hit.ctrl == Control::None) {
    clearArmed = false;
    return;
  }
  if (hit.ctrl != Control::ClearMemory) clearArmed = false;

  switch (hit.ctrl) {
    case Control::Param:
      pressParam(hit, x, y, doubleClick);
      break;
    case Control::Wheel:
      selectedPc = wheelPitchClass(toLayoutX(x), toLayoutY(y));
      break;
    case Control::BypassMemory:
      // Held, not toggled: the memory comes back the moment the button is let go.
      bypassHeld = true;
      host->uiSetHearBare(true);
      break;
    case Control::PressureSource:
      host->undoMark();
      host->setVelocityLengthMode(hit.index == 0);
      host->undoPush();
      break;
    case Control::FreezeMemory:
      host->uiSealFromMachine();
      break;
    case Control::ClearMemory:
      if (clearArmed) host->postClearMemory();
      clearArmed = !clearArmed;
      break;
    case Control::Key: {
      const float keyHeight = std::min(hit.rect.h, kKeyDepth);
      keyPress(hit.index, (toLayoutY(y) - kKeyTop) / std::max(keyHeight, 1.0f), keyHeight);
      break;
    }
    case Control::Speed:
      if (hit.index < 0 || hit.index > 2) break;
      host->postMemorySpeed(hit.index == 0 ? 1.0 : hit.index == 1 ? 10.0 : 100.0);
      if (!firstRunDone) {
        firstRunDone = true;
        host->saveFirstRunMarker();
      }
      break;
    case Control::AbSlot:
      host->uiAbSwitch(hit.index);
      break;
    case Control::Undo:
      host->uiUndo();
      break;
    case Control::Redo:
      host->uiRedo();
      break;
    case Control::TrackName:
      beginFieldEdit(3, host->uiTrackName());
      break;
    case Control::ResizeGrip:
      if (host->hostTakesUIThreadResize()) {
        resizeDrag = true;
        resizeStartX = x;
        resizeStartScale = scale;
      }
      break;
    case Control::ProgramChange:
      host->undoMark();
      host->setProgramChangeEnabled(hit.index == 1);
      host->undoPush();
      break;
    case Control::PresetPrev:
      stepPreset(-1);
      break;
    case Control::PresetNext:
      stepPreset(+1);
      break;
    case Control::Language:
      lang = nextLang(lang);
      host->saveLanguage(lang);
      break;
    case Control::TourNav:
      if (tourNav(tour, hit.index)) host->saveTourMarker();
      break;
    case Control::TourAgain:
      tourAgain(tour);
      break;
    default:
      pressMenus(hit);
      break;
  }
}

void PanelInput::pressParam(const Hit& hit, float x, float y, bool doubleClick) {
  const int id = hit.index;
  if (!validParam(id)) return;
  if (!hit.isKnob) {  // a value cell
    host->undoMark();
    setWithGesture(id, host->paramToNormalized(id, hit.lo));
    host->undoPush();
    return;
  }
  if (doubleClick) {
    host->undoMark();
    setWithGesture(id, host->paramDefaultNormalized(id));
    host->undoPush();
    return;
  }
  host->undoMark();
  knobDrag = true;
  dragParam = id;
  dragHorizontal = hit.rect.w > hit.rect.h;
  dragRange = dragHorizontal ? std::max(hit.rect.w, 1.0f) : kKnobTravel;
  pressX = x;
  pressY = y;
  dragStartValue = static_cast<float>(host->paramNormalized(id));
  host->beginParamGesture(id);
}

void PanelInput::setWithGesture(int id, double normalized) {
  host->beginParamGesture(id);
  setParamFromUI(id, normalized);
  host->endParamGesture(id);
}

void PanelInput::closeMenus() {
  presetMenuOpen = memMenuOpen = bodyMenuOpen = false;
  presetDeleteArmed = memDeleteArmed = -1;
  presetDeleteName.clear();
  memDeleteName.clear();
}

void PanelInput::pressMenus(const Hit& hit) {
  const int index = hit.index;
  switch (hit.ctrl) {
    case Control::MemoryMenu:
      if (nameEdit.active) endFieldEdit(true);
      memMenuOpen = !memMenuOpen;
      memScroll = 0;
      presetMenuOpen = bodyMenuOpen = false;
      memDeleteArmed = -1;
      break;
    case Control::PresetMenu: {
      if (nameEdit.active) endFieldEdit(true);
      presetMenuOpen = !presetMenuOpen;
      presetScroll = 0;
      memMenuOpen = bodyMenuOpen = false;
      renameIndex = presetDeleteArmed = -1;
      if (presetMenuOpen) {
        const std::string name = host->uiPresetName();
        const int factory = host->presetIndexByName(name);
        if (factory >= 0)
          presetCat = catRailIndex(host->factoryCategory(factory));
        else if (!name.empty())
          presetCat = kYoursRail;
      }
      break;
    }
    case Control::MenuBackdrop:
      if (nameEdit.active) endFieldEdit(false);
      closeMenus();
      renameIndex = -1;
      break;
    case Control::PresetCategory:
      if (nameEdit.active) endFieldEdit(false);
      presetCat = index;
      presetScroll = 0;
      renameIndex = presetDeleteArmed = -1;
      break;
    case Control::PresetRow:
      if (nameEdit.active) endFieldEdit(true);
      presetDeleteArmed = -1;
      recallAbsPreset(index);
      presetMenuOpen = false;
      break;
    case Control::PresetSaveAs: {
      renameIndex = presetDeleteArmed = -1;
      const std::string name = host->uiPresetName();
      beginFieldEdit(1, host->presetIndexByName(name) >= 0 ? std::string() : name);
      break;
    }
    case Control::PresetRename: {
      presetDeleteArmed = -1;
      renameIndex = index;
      const auto names = host->uiUserPresetNames();
      beginFieldEdit(2, inRange(names, index) ? names[static_cast<size_t>(index)] : std::string());
      break;
    }
    case Control::PresetDelete: {
      if (nameEdit.active) endFieldEdit(false);
      renameIndex = -1;
      const auto names = host->uiUserPresetNames();
      // The second press deletes only when the armed row still holds the armed name.
      if (index == presetDeleteArmed && inRange(names, index) &&
          names[static_cast<size_t>(index)] == presetDeleteName) {
        host->deletePresetByName(presetDeleteName);
        presetDeleteArmed = -1;
        presetDeleteName.clear();
      } else if (inRange(names, index)) {
        presetDeleteArmed = index;
        presetDeleteName = names[static_cast<size_t>(index)];
      } else {
        presetDeleteArmed = -1;
        presetDeleteName.clear();
      }
      break;
    }
    case Control::NameField:
      neEnd(nameEdit, false);
      break;
    case Control::MemoryRow: {
      if (nameEdit.active) endFieldEdit(false);
      memDeleteArmed = -1;
      if (index >= 0 && index < 9) {
        host->uiLoadBiography(index);
      } else if (index >= 9) {
        const auto names = host->uiMemoryNames();
        if (inRange(names, index - 9)) host->uiLoadMemory(names[static_cast<size_t>(index - 9)]);
      }
      memMenuOpen = false;
      break;
    }
    case Control::MemoryDelete: {
      if (nameEdit.active) endFieldEdit(false);
      const auto names = host->uiMemoryNames();
      if (index == memDeleteArmed && inRange(names, index) && names[static_cast<size_t>(index)] == memDeleteName) {
        host->uiDeleteMemory(memDeleteName);
        memDeleteArmed = -1;
        memDeleteName.clear();
      } else if (inRange(names, index)) {
        memDeleteArmed = index;
        memDeleteName = names[static_cast<size_t>(index)];
      } else {
        memDeleteArmed = -1;
        memDeleteName.clear();
      }
      break;
    }
    case Control::MemorySaveAs:
      memDeleteArmed = -1;
      beginFieldEdit(4, std::string());
      break;
    case Control::BodyMenu:
      if (nameEdit.active) endFieldEdit(true);
      {
        const bool open = !bodyMenuOpen;
        closeMenus();
        bodyMenuOpen = open;
      }
      renameIndex = -1;
      break;
    case Control::MenuScroll:
      scrollMenus(index);
      break;
    case Control::BodyRow:
      if (validParam(kBodyParam) && std::lround(host->paramValue(kBodyParam)) != index) {
        host->undoMark();
        setWithGesture(kBodyParam, host->paramToNormalized(kBodyParam, index));
        host->undoPush();
      }
      bodyMenuOpen = false;
      break;
    default:  // InstanceChip and anything unknown: hover only
      break;
  }
}

void PanelInput::scrollMenus(int rows) {
  if (presetMenuOpen)
    presetScroll = std::max(0, presetScroll + rows);
  else if (memMenuOpen)
    memScroll = std::max(0, memScroll + rows);
}

void PanelInput::onScroll(float dy) {
  if (std::isfinite(dy) && dy != 0) scrollMenus(dy > 0 ? -1 : 1);
}

void PanelInput::onDrag(float x, float y, bool fine) {
  if (!host) return;
  if (resizeDrag) {
    host->gripDrag(x, resizeStartX, resizeStartScale);
  } else if (heldKey >= 0) {
    keyDragPressure(toLayoutY(y));
  } else if (knobDrag) {
    const float travel = dragHorizontal ? x - pressX : pressY - y;
    setParamFromUI(dragParam, knobDragValue(dragStartValue, travel, scale, dragRange, fine));
  }
}

void PanelInput::onRelease() {
  if (resizeDrag) {
    resizeDrag = false;
    return;
  }
  endHolds();
}

void PanelInput::onPointerLost() {
  resizeDrag = false;
  endHolds();
}

void PanelInput::endHolds() {
  if (bypassHeld) {
    bypassHeld = false;
    if (host) host->uiSetHearBare(false);
  }
  if (heldKey >= 0) {
    if (host) host->pushUiNote(noteCode(heldKey, kUiNoteRelease), 0.0f);
    heldKey = -1;
    keyPressure = 0;
  }
  if (knobDrag) {
    if (host && dragParam >= 0) {
      host->endParamGesture(dragParam);
      host->undoPush();
    }
    knobDrag = false;
    dragParam = -1;
  }
}

void PanelInput::setParamFromUI(int id, double normalized) {
  if (!validParam(id) || !std::isfinite(normalized)) return;
  host->setParamFromUI(id, std::clamp(normalized, 0.0, 1.0));
}

void PanelInput::keyPress(int note, float position, float keyHeight) {
  if (!host || note < 0 || note > 127) return;
  heldKey = note;
  heldKeyHeight = std::clamp(keyHeight, 1.0f, kKeyDepth);
  keyPressure = std::isfinite(position) ? std::clamp(1.0f - position, kMinKeyPressure, 1.0f) : kMinKeyPressure;
  keyEnergy = 0;
  selectedPc = note % 12;
  host->pushUiNote(noteCode(note, kUiNotePress), keyPressure);  // a full queue drops it; the key still shows
}

void PanelInput::keyDragPressure(float layoutY) {
  if (!host || heldKey < 0) return;
  keyPressure = keyPressureAt(layoutY, heldKeyHeight);
  if (!host->velocityLengthMode()) host->pushUiNote(noteCode(heldKey, kUiNotePressure), keyPressure);
}

void PanelInput::recallAbsPreset(int number) {
  if (!host || number < 0) return;
  host->undoMark();
  if (number < kFactoryPresets) {
    host->recallPreset(number);
  } else {
    const auto names = host->uiUserPresetNames();
    if (inRange(names, number - kFactoryPresets))
      host->recallUserPreset(names[static_cast<size_t>(number - kFactoryPresets)]);
  }
  host->undoPush();
}

void PanelInput::stepPreset(int direction) {
  if (!host) return;
  const int n = host->uiPresetCount();
  if (n < 1) return;
  const int i = host->uiPresetAbsIndex();
  const int target = i >= 0 ? ((i + direction) % n + n) % n : (direction >= 0 ? 0 : n - 1);
  recallAbsPreset(target);
  presetCat = target >= kFactoryPresets ? kYoursRail : catRailIndex(host->factoryCategory(target));
}

void PanelInput::markTourSeen() {
  tour.active = false;
  if (tour.seen) return;
  tour.seen = true;
  if (host) host->saveTourMarker();
}

void PanelInput::lookUpOnce() {
  if (!host) return;
  if (!langLoaded) {
    lang = host->loadLanguage();
    langLoaded = true;
  }
  if (!firstRunChecked) {
    firstRunDone = host->firstRunMarkerExists();
    firstRunChecked = true;
  }
  if (!tour.checked) tourCheckOnce(tour, host->tourMarkerExists());
}

void PanelInput::frameTick(int ticks) {
  if (heldKey >= 0)
    keyEnergy = std::min(keyEnergy + keyPressure * static_cast<float>(std::max(1, ticks)) / 60.0f, 3.0f);
}

void PanelInput::beginFieldEdit(int kind, const std::string& text) {
  editKind = kind;
  nameEdit.active = true;
  nameEdit.text = neClip(text);
  nameEdit.anchor = 0;  // the whole text selected, so typing replaces it
  nameEdit.caret = static_cast<int32_t>(nameEdit.text.size());
  if (host) host->takeKeyboardFocus();
}

void PanelInput::endFieldEdit(bool commit) {
  const int kind = editKind;
  const std::string name = neTrim(nameEdit.text);
  editKind = 0;
  nameEdit = NameEdit{};
  if (!commit || !host) {
    renameIndex = -1;
    return;
  }
  switch (kind) {
    case 1:
      if (name.empty()) break;
      if (host->savePreset(name))
        presetCat = kYoursRail;
      else
        beginFieldEdit(1, name);  // kept open with what was typed, to try again
      break;
    case 2: {
      const auto names = host->uiUserPresetNames();
      if (!name.empty() && inRange(names, renameIndex))
        host->renamePresetByName(names[static_cast<size_t>(renameIndex)], name);
      renameIndex = -1;
      break;
    }
    case 3: {
      const NameCommit c = neCommit(name, host->uiHostTrackName(), "Vorrel");
      host->undoMark();
      host->setTrackNameOverride(c.own ? c.name : std::string());
      host->undoPush();
      break;
    }
    case 4:
      if (!name.empty()) host->uiSaveMemoryAs(name);
      break;
    default:
      break;
  }
}

void PanelInput::onKeyText(const std::string& text, uint32_t mods) {
  flushKeyText();
  if (nameEdit.active && !(mods & keys::kModCtrl)) pendingKeyText = text;
}

void PanelInput::flushKeyText() {
  if (pendingKeyText.empty()) return;
  const std::string text = std::move(pendingKeyText);
  pendingKeyText.clear();
  onText(text.c_str());
}

void PanelInput::onText(const char* utf8) {
  pendingKeyText.clear();
  if (!nameEdit.active || !utf8) return;
  const auto first = static_cast<unsigned char>(utf8[0]);
  if (first < 32 || first == 127) return;
  neInsert(nameEdit, utf8, kNameLimit);
}

bool PanelInput::editKeys(uint32_t key, uint32_t mods) {
  const bool shift = mods & keys::kModShift;
  if (key == keys::kBackspace)
    neBackspace(nameEdit);
  else if (key == keys::kDelete)
    neDelete(nameEdit);
  else if (key == keys::kEnter || key == keys::kReturn)
    endFieldEdit(true);
  else if (key == keys::kEscape)
    endFieldEdit(false);
  else if ((mods & keys::kModCtrl) && (key == 'a' || key == 'A' || key == 1))
    neSelectAll(nameEdit);
  else if (key == keys::kHome)
    neHome(nameEdit, shift);
  else if (key == keys::kEnd)
    neEnd(nameEdit, shift);
  else if (key == keys::kLeft)
    neLeft(nameEdit, shift);
  else if (key == keys::kRight)
    neRight(nameEdit, shift);
  return true;  // while a name is edited every key belongs to it
}

bool PanelInput::onKey(uint32_t key, uint32_t mods) {
  if (nameEdit.active) return editKeys(key, mods);
  if (key == keys::kEscape) {
    if (!presetMenuOpen && !memMenuOpen && !bodyMenuOpen) return false;
    closeMenus();
    return true;
  }
  const bool ctrlZ = key == keys::kCtrlZ || ((mods & keys::kModCtrl) && (key == 'z' || key == 'Z'));
  if (ctrlZ && host) {
    if (mods & keys::kModShift)
      host->uiRedo();
    else
      host->uiUndo();
    return true;
  }
  return false;
}

}  // namespace vrui
