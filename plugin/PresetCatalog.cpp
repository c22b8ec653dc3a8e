// The preset catalog for the host's indexer (no instance needed) and loading what the host's browser picked.
#include "PresetCatalog.h"

#include "ClapExtras.h"
#include "Directories.h"
#include "UserLibraryFile.h"
#include "Vorrel.h"


namespace {

void factoryEntries(std::vector<vfw::PresetEntry>& out) {
  out.clear();
  for (const auto& p : vorrel::kFactoryPresets) out.push_back({p.name, p.name, p.subtitle, p.category});
}

std::string libraryPath() { return vorrel::userLibraryPath(); }

bool readUserLibrary(const std::string& path, std::vector<vorrel::UserPreset>& presets) {
  std::string text;
  if (vorrel::readLibraryFile(path, text) == vorrel::LibraryRead::Unreadable) return false;
  vorrel::parseLibraryText(text, presets);
  return true;
}

bool userEntries(const std::string& path, std::vector<vfw::PresetEntry>& out) {
  out.clear();
  std::vector<vorrel::UserPreset> presets;
  if (!readUserLibrary(path, presets)) return false;
  for (size_t i = 0; i < presets.size(); ++i)
    out.push_back({presets[i].name, vorrel::userPresetKey(presets, i), "", vorrel::kPresetCategories.back()});
  return true;
}

bool userLibraryReadable(const std::string& path) {
  std::string text;
  return vorrel::readLibraryFile(path, text) == vorrel::LibraryRead::Ok;
}

}  // namespace

const vfw::PresetCatalog& vorrelPresetCatalog() {
  static const vfw::PresetCatalog catalog{"com.OskelAudio.Vorrel.presets",
                                          "Vorrel presets",
                                          "OskelAudio",
                                          "com.OskelAudio.Vorrel",
                                          "Vorrel factory presets",
                                          "Vorrel user presets",
                                          "Vorrel preset library",
                                          "txt",
                                          factoryEntries,
                                          libraryPath,
                                          userEntries,
                                          userLibraryReadable};
  return catalog;
}

// Loading from the host's browser is the same as recalling from the editor: the host hears of every change.
bool Vorrel::LoadPresetFromLocation(uint32_t kind, const char* location, const char* loadKey) {
  if (!loadKey) return false;
  if (kind == CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN) return recallPreset(vorrel::presetIndexByName(loadKey), true);
  if (kind != CLAP_PRESET_DISCOVERY_LOCATION_FILE || !location) return false;
  // The file is the truth, and the host may point at a library copied elsewhere.
  std::vector<vorrel::UserPreset> presets;
  if (!readUserLibrary(location, presets)) return false;
  const int index = vorrel::userPresetIndexByKey(presets, loadKey);
  if (index < 0) return false;
  const vorrel::UserPreset& p = presets[static_cast<size_t>(index)];
  applyPreset(p.values, p.has, vorrel::kNumStoredParams, p.extras, p.name, true);
  return true;
}
