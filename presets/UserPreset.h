// A user preset and the text form of the user library: one "p1" line per preset, numbers in the C locale.
#pragma once

#include "FactoryPresets.h"

#include <optional>
#include <string>
#include <vector>

namespace vorrel {

struct UserPreset {
  std::string name;  // unique within the library; never a factory name; no tab, CR or LF
  PresetValues values{};
  PresetHas has{};  // which values were stored; the others stand for the parameter's default
  TrackExtraValues extras = kDefaultExtras;
  // The numbers exactly as a library line held them (the text between "p1" and the tab), so a rewrite keeps what
  // the line meant, including values it never stored. None for a preset taken from the sound: written in full.
  std::optional<std::string> lineNumbers;
};

// Whether a name can be stored in a library line: not empty, no tab, carriage return or line feed.
bool storableName(const std::string& name);

// "p1", the 27 stored values and the four extras each as " %.6f", a tab, the name, "\n"; a preset read from a line
// gets its numbers back as they were.
std::string presetLine(const UserPreset& preset);
std::string libraryText(const std::vector<UserPreset>& presets);

// True when the line yields a preset: "p1", then up to 27 values and 4 extras separated by blanks, a tab and a
// name that is not empty. Each number keeps its place: one that cannot be read (a word, "inf", "nan") stands for
// its default, so later values keep their meaning. Extras read are clamped to their sane range.
bool parsePresetLine(const std::string& line, UserPreset& out);
// Replaces presets by those parsed from text; lines that do not parse are skipped.
void parseLibraryText(const std::string& text, std::vector<UserPreset>& presets);

// A host's load key for preset i: its name for the first line of that name, else the name, a tab and how many
// lines of that name come before it, so two presets of one name stay two presets. Saved names hold no tab; a
// hand-written name that does is matched whole first.
std::string userPresetKey(const std::vector<UserPreset>& presets, size_t index);
// The index userPresetKey gave key, or -1.
int userPresetIndexByKey(const std::vector<UserPreset>& presets, const std::string& key);

// Replaces the first preset of the same name in place, or appends.
void upsertPreset(std::vector<UserPreset>& presets, const UserPreset& preset);
// Renames the first preset called oldName; refuses an empty or unstorable new name and one any preset already has.
bool renamePreset(std::vector<UserPreset>& presets, const std::string& oldName, const std::string& newName);

// Text of a number as printf's "%.6f" would give it in the C locale, whatever the process locale is.
void appendFixed6(std::string& out, double v);
// One whole blank-free word as a finite number: decimal or C hexadecimal ("0x1.8p3"), optional sign.
bool readWord(const char* begin, const char* end, double& out);

}  // namespace vorrel
