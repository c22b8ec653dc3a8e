// The 85 factory presets, their categories, lookup by name, and the range every track extra may take.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vorrel {

constexpr int kNumFactoryPresets = 85;
constexpr int kNumPresetParams = 29;  // every host parameter, by index
constexpr int kNumStoredParams = 27;  // all but the two machine-wide memory settings, Forget and Engrave
constexpr int kNumExtras = 4;         // tiltOffset, stretch, selfExcite, drive

using PresetValues = std::array<double, kNumPresetParams>;
using PresetHas = std::array<bool, kNumPresetParams>;
using TrackExtraValues = std::array<double, kNumExtras>;

inline constexpr TrackExtraValues kDefaultExtras{0.35, 0.0, 0.0, 1.4};

// One factory sound; the parameters it does not name stand for their defaults. Units are the parameters' own.
struct FactoryPreset {
  const char* name;
  const char* subtitle;  // UTF-8
  const char* category;
  int32_t body;
  int32_t exciter;
  double bodyDecay;
  double cutoff;
  double resonance;
  double envAmt;
  double sympathy;
  double damper;
  double attack;
  double decay;
  double sustain;
  double release;
  double lfoRate;
  double lfoAmt;
  TrackExtraValues extras;
};

// In Program Change order; not grouped by category.
extern const std::array<FactoryPreset, kNumFactoryPresets> kFactoryPresets;

// The editor's rail order; "Yours" holds the user presets.
inline constexpr std::array<const char*, 10> kPresetCategories{
    "Init", "Keys", "Bass", "Pads", "Leads", "Plucked & struck", "Percussion", "Textures", "Machines", "Yours"};

// The factory index whose name equals name exactly, else -1 (also for the empty name).
int presetIndexByName(const std::string& name);

// The values a factory preset stores, by parameter index, with has[i] set for each one it stores.
void factoryPresetValues(const FactoryPreset& preset, PresetValues& values, PresetHas& has);

// Extras from presets, projects or files: non-finite values become the defaults, the rest is clamped to the span
// the factory table covers (a stretch far outside it makes the resonators unstable).
void clampTrackExtras(TrackExtraValues& extras);
double trackExtraMin(int i);
double trackExtraMax(int i);

}  // namespace vorrel
