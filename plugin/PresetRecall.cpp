// Recalling factory and user presets, the current preset's name and number, and whether the sound still matches.
#include "Vorrel.h"

#include <algorithm>
#include <cmath>

using vorrel::kNumFactoryPresets;
using vorrel::kNumStoredParams;

void Vorrel::applyPreset(const vorrel::PresetValues& values, const vorrel::PresetHas& has, int count,
                         const vorrel::TrackExtraValues& extraValues, const std::string& name, bool fromEditor) {
  // Forget and Engrave are machine-wide memory settings: a preset never moves them.
  for (int i = 0; i < kNumParams; ++i) {
    if (i == kForget || i == kEngrave) continue;
    vfw::Param* p = GetParam(i);
    const auto idx = static_cast<size_t>(i);
    const double v = (i < count && has[idx] && std::isfinite(values[idx])) ? values[idx] : p->GetDefault();
    p->Set(v);  // snaps stepped parameters, clamps to the range
  }
  OnParamReset(vfw::ParamSource::PresetRecall);
  vorrel::TrackExtraValues e = extraValues;
  vorrel::clampTrackExtras(e);
  setTrackExtras(e[0], e[1], e[2], e[3]);
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    presetName = name;
  }
  if (fromEditor)
    for (int i = 0; i < kNumParams; ++i) InformHostOfParamChange(i);
  RescanParamValues();  // a Program Change recall sends no value events of its own
}

bool Vorrel::recallPreset(int index, bool fromEditor) {
  if (index < 0 || index >= kNumFactoryPresets) return false;
  const auto& preset = vorrel::kFactoryPresets[static_cast<size_t>(index)];
  vorrel::PresetValues values;
  vorrel::PresetHas has;
  vorrel::factoryPresetValues(preset, values, has);
  applyPreset(values, has, kNumParams, preset.extras, preset.name, fromEditor);
  return true;
}

bool Vorrel::recallUserPreset(const std::string& name, bool fromEditor) {
  vorrel::UserPreset copy;
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    const auto it = std::find_if(userPresets.begin(), userPresets.end(),
                                 [&](const vorrel::UserPreset& p) { return p.name == name; });
    if (it == userPresets.end()) return false;
    copy = *it;
  }
  applyPreset(copy.values, copy.has, kNumStoredParams, copy.extras, copy.name, fromEditor);
  return true;
}

bool Vorrel::recallUserPresetAt(size_t index, bool fromEditor) {
  vorrel::UserPreset copy;
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    if (index >= userPresets.size()) return false;
    copy = userPresets[index];
  }
  applyPreset(copy.values, copy.has, kNumStoredParams, copy.extras, copy.name, fromEditor);
  return true;
}

std::string Vorrel::uiPresetName() const {
  std::lock_guard<std::mutex> lock(instanceMutex);
  return presetName;
}

int Vorrel::uiPresetAbsIndex() const {
  std::lock_guard<std::mutex> lock(instanceMutex);
  if (presetName.empty()) return -1;
  const int factory = vorrel::presetIndexByName(presetName);
  if (factory >= 0) return factory;
  for (size_t i = 0; i < userPresets.size(); ++i)
    if (userPresets[i].name == presetName) return kNumFactoryPresets + static_cast<int>(i);
  return -1;
}

int Vorrel::uiPresetCount() const {
  std::lock_guard<std::mutex> lock(instanceMutex);
  return kNumFactoryPresets + static_cast<int>(userPresets.size());
}

std::vector<std::string> Vorrel::uiUserPresetNames() const {
  std::lock_guard<std::mutex> lock(instanceMutex);
  std::vector<std::string> names;
  names.reserve(userPresets.size());
  for (const auto& p : userPresets) names.push_back(p.name);
  return names;
}

// Compared as knob positions, so 1 Hz means as much at 80 Hz as 1 % of the travel does anywhere.
bool Vorrel::matchesPreset(const vorrel::PresetValues& values, const vorrel::PresetHas& has, int count) const {
  for (int i = 0; i < kNumParams; ++i) {
    if (i == kForget || i == kEngrave) continue;
    const vfw::Param* p = GetParam(i);
    const auto idx = static_cast<size_t>(i);
    const double stored = (i < count && has[idx] && std::isfinite(values[idx])) ? values[idx] : p->GetDefault();
    const double expected = std::clamp(p->ToNormalized(p->Constrain(stored)), 0.0, 1.0);
    const double current = std::clamp(p->ToNormalized(p->Value()), 0.0, 1.0);
    if (std::fabs(expected - current) > 1e-6) return false;
  }
  return true;
}

bool Vorrel::presetEdited() const {
  vorrel::UserPreset user;
  int factory = -1;
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    factory = vorrel::presetIndexByName(presetName);
    if (factory < 0) {
      const auto it = std::find_if(userPresets.begin(), userPresets.end(),
                                   [&](const vorrel::UserPreset& p) { return p.name == presetName; });
      if (it == userPresets.end()) return false;
      user = *it;
    }
  }
  if (factory >= 0) {
    vorrel::PresetValues values;
    vorrel::PresetHas has;
    vorrel::factoryPresetValues(vorrel::kFactoryPresets[static_cast<size_t>(factory)], values, has);
    return !matchesPreset(values, has, kNumParams);
  }
  return !matchesPreset(user.values, user.has, kNumStoredParams);
}
