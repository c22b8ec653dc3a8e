// A user preset and the text form of the user library: one "p1" line per preset, numbers in the C locale.
#pragma once

#include "FactoryPresets.h"

#include <string>
#include <vector>

namespace vorrel {

struct UserPreset {
  std::string name;  // unique within the library; never a factory name; no tab, CR or LF
  PresetValues values{};
  PresetHas has{};  // which values were stored; the others stand for the parameter's default
  TrackExtraValues extras = kDefaultExtras;
};

// Whether a name can be stored in a library line: not empty, no tab, carriage return or line feed.
bool storableName(const std::string& name);

// "p1", the 27 stored values and the four extras each as " %.6f", a tab, the name, "\n".
std::string presetLine(const UserPreset& preset);
std::string libraryText(const std::vector<UserPreset>& presets);

// True when the line yields a preset; extras read are clamped to their sane range.
bool parsePresetLine(const std::string& line, UserPreset& out);
// Replaces presets by those parsed from text; lines that do not parse are skipped.
void parseLibraryText(const std::string& text, std::vector<UserPreset>& presets);

// Replaces the first preset of the same name in place, or appends.
void upsertPreset(std::vector<UserPreset>& presets, const UserPreset& preset);
// Renames the first preset called oldName; refuses an empty or unstorable new name and one any preset already has.
bool renamePreset(std::vector<UserPreset>& presets, const std::string& oldName, const std::string& newName);

// Text of a number as printf's "%.6f" would give it in the C locale, whatever the process locale is.
void appendFixed6(std::string& out, double v);
// Reads one number the way strtod does in the C locale (leading blanks, optional sign); false when none.
bool readNumber(const char*& p, const char* end, double& out);

}  // namespace vorrel
