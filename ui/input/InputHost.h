// What the panel's input asks of the plug-in and of its window: the narrow surface the editor drives, so the input
// logic can be run against a stand-in.
#pragma once

#include "Lang.h"
#include "Markers.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vrui {

class InputHost {
 public:
  virtual ~InputHost() = default;

  // Parameters. setParamFromUI stores the value (snapped, clamped) and tells the host through the parameter queue;
  // the gesture calls bracket a run of such changes.
  virtual int paramCount() const = 0;
  virtual double paramValue(int id) const = 0;  // plain value
  virtual double paramNormalized(int id) const = 0;
  virtual double paramDefaultNormalized(int id) const = 0;
  virtual double paramToNormalized(int id, double plain) const = 0;
  virtual void setParamFromUI(int id, double normalized) = 0;
  virtual void beginParamGesture(int id) = 0;
  virtual void endParamGesture(int id) = 0;

  // History and A/B.
  virtual void undoMark() = 0;
  virtual void undoPush() = 0;
  virtual void uiUndo() = 0;
  virtual void uiRedo() = 0;
  virtual void uiAbSwitch(int slot) = 0;

  // Presets: numbers 0..84 are factory presets, 85 and up the user presets in list order.
  virtual int uiPresetCount() const = 0;
  virtual int uiPresetAbsIndex() const = 0;  // -1 when the sound is no listed preset
  virtual std::string uiPresetName() const = 0;
  virtual int presetIndexByName(const std::string& name) const = 0;  // factory preset number, or -1
  virtual std::string factoryCategory(int number) const = 0;
  virtual std::vector<std::string> uiUserPresetNames() const = 0;
  virtual void recallPreset(int number) = 0;
  virtual void recallUserPreset(const std::string& name) = 0;
  virtual bool savePreset(const std::string& name) = 0;
  virtual void renamePresetByName(const std::string& from, const std::string& to) = 0;
  virtual void deletePresetByName(const std::string& name) = 0;

  // The machine memory.
  virtual std::vector<std::string> uiMemoryNames() const = 0;
  virtual void uiLoadMemory(const std::string& name) = 0;
  virtual void uiDeleteMemory(const std::string& name) = 0;
  virtual void uiSaveMemoryAs(const std::string& name) = 0;
  virtual void uiLoadBiography(int index) = 0;
  virtual void uiSealFromMachine() = 0;
  virtual void uiSetHearBare(bool on) = 0;
  virtual void postClearMemory() = 0;
  virtual void postMemorySpeed(double speed) = 0;  // 1, 10 or 100

  // Track settings.
  virtual bool velocityLengthMode() const = 0;
  virtual void setVelocityLengthMode(bool on) = 0;
  virtual void setProgramChangeEnabled(bool on) = 0;
  virtual std::string uiTrackName() const = 0;      // the user's own name, empty when none
  virtual std::string uiHostTrackName() const = 0;  // empty when the host gives none
  virtual void setTrackNameOverride(const std::string& name) = 0;

  // The on-screen keyboard's queue to the audio thread; false when it is full.
  virtual bool pushUiNote(uint32_t code, float value) = 0;

  // The window.
  virtual bool hostTakesUIThreadResize() const = 0;
  virtual void gripDrag(float /*x*/, float /*startX*/, float /*startScale*/) {}
  virtual void takeKeyboardFocus() {}

  // The marker and language files, looked up once per window and written on the user's first choices; a stand-in
  // may keep them to itself.
  virtual Lang loadLanguage() const { return loadHintsLang(langFromEnv()); }
  virtual bool firstRunMarkerExists() const { return markerPresent(firstRunFilePath()); }
  virtual bool tourMarkerExists() const { return markerPresent(tourFilePath()); }
  virtual void saveFirstRunMarker() { saveFirstRunDone(); }
  virtual void saveTourMarker() { saveTourDone(); }
  virtual void saveLanguage(Lang lang) { saveHintsLang(lang); }
};

}  // namespace vrui
