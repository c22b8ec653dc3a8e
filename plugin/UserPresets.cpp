// The user library as this instance sees it: capture, save, delete, rename. The file work happens outside the
// instance mutex, under the library's own cross-process lock; only the finished vector is swapped in.
#include "Vorrel.h"

#include "UserLibraryFile.h"

#include <algorithm>

void Vorrel::captureTrackPreset(vorrel::UserPreset& out) const {
  out.values.fill(0.0);
  out.has.fill(false);
  for (int i = 0; i < vorrel::kNumStoredParams; ++i) {
    out.values[static_cast<size_t>(i)] = GetParam(i)->Value();
    out.has[static_cast<size_t>(i)] = true;
  }
  out.extras = {extras.tiltOffset.load(std::memory_order_relaxed), extras.stretch.load(std::memory_order_relaxed),
                extras.selfExcite.load(std::memory_order_relaxed), extras.drive.load(std::memory_order_relaxed)};
}

bool Vorrel::loadUserPresets() {
  std::string text;
  const vorrel::LibraryRead read = vorrel::readLibraryFile(presetLibraryPath, text);
  // A file that is there but cannot be read now keeps the list as it was, rather than emptying it.
  if (read == vorrel::LibraryRead::Unreadable) return false;
  std::vector<vorrel::UserPreset> presets;
  vorrel::parseLibraryText(text, presets);
  std::lock_guard<std::mutex> lock(instanceMutex);
  userPresets.swap(presets);
  return true;
}

// Every instance on the machine rereads the library when the shared generation moves.
void Vorrel::announcePresetLibraryChange() {
  // The segment pointer is fixed while the memory is open, and only this acquire load lets another thread use it.
  if (memory.isOpen()) memory.bumpPresetGeneration();
}

bool Vorrel::savePreset(const std::string& name) {
  if (!vorrel::storableName(name) || vorrel::presetIndexByName(name) >= 0) return false;
  vorrel::UserPreset preset;
  captureTrackPreset(preset);
  preset.name = name;
  std::vector<vorrel::UserPreset> written;
  const bool ok = vorrel::changeLibraryFile(
      presetLibraryPath,
      [&](std::vector<vorrel::UserPreset>& presets) {
        vorrel::upsertPreset(presets, preset);
        return true;
      },
      written);
  if (!ok) return false;
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    userPresets.swap(written);
    presetName = name;
  }
  announcePresetLibraryChange();
  return true;
}

bool Vorrel::deletePresetByName(const std::string& name) {
  std::vector<vorrel::UserPreset> written;
  const bool ok = vorrel::changeLibraryFile(
      presetLibraryPath,
      [&](std::vector<vorrel::UserPreset>& presets) {
        const auto it =
            std::find_if(presets.begin(), presets.end(), [&](const vorrel::UserPreset& p) { return p.name == name; });
        if (it == presets.end()) return false;
        presets.erase(it);
        return true;
      },
      written);
  if (!ok) return false;
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    userPresets.swap(written);
    if (presetName == name) presetName.clear();  // the sound stays; it just has no preset behind it now
  }
  announcePresetLibraryChange();
  return true;
}

bool Vorrel::renamePresetByName(const std::string& oldName, const std::string& newName) {
  if (!newName.empty() && vorrel::presetIndexByName(newName) >= 0) return false;
  std::vector<vorrel::UserPreset> written;
  const bool ok = vorrel::changeLibraryFile(
      presetLibraryPath,
      [&](std::vector<vorrel::UserPreset>& presets) { return vorrel::renamePreset(presets, oldName, newName); },
      written);
  if (!ok) return false;
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    userPresets.swap(written);
    if (presetName == oldName) presetName = newName;  // a project that used the preset follows it
  }
  announcePresetLibraryChange();
  return true;
}

bool Vorrel::uiProgramChangeEnabled() const {
  std::lock_guard<std::mutex> lock(instanceMutex);
  return programChangeEnabled;
}

void Vorrel::uiSetProgramChangeEnabled(bool on) {
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    if (programChangeEnabled == on) return;
    programChangeEnabled = on;
  }
  MarkStateDirty();
}
