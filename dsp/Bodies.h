// The eleven resonating bodies, the 40-mode list rule and the exciter families' loudness calibration.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace vorrel::dsp {

constexpr int kMaxModes = 40;  // the mode limit everywhere: voices, traces, memory weights
constexpr int kNumBodies = 11;

struct BodyDef {
  const char* label;           // descriptive only
  const char* name;            // what the panel and the Body parameter show
  double rolloff;              // base exponent of the amplitude roll-off over mode number
  double dose;                 // how strongly the body takes the memory
  std::vector<double> ratios;  // mode frequency ratios to the played note, ascending
};

// Built once on first use, read-only afterwards; safe from any thread.
const std::array<BodyDef, kNumBodies>& bodies();

// Extends (gaps growing 6 % each) or truncates a ratio list to exactly n entries; ratios must not be empty.
std::vector<double> etendre(const std::vector<double>& ratios, int n);

// A body's 40-entry mode list, built once per body.
const std::vector<double>& modeList(int body);

// Position of a mode within the octave in semitones, 0 <= x < 12: fmod(1200 log2 r, 1200) / 100.
double modePitchClass(double ratio);

enum class Exciter : int32_t { Souffle = 0, Maillet = 1, Archet = 2, Grain = 3 };

constexpr std::array<double, 3> kT60Anchors = {0.5, 2.0, 8.0};

// Level constant, then the calibration at the three ring-time anchors; families outside 0..2 get grain's.
const double* familyCal(int family);
inline const double* familyCal(Exciter family) { return familyCal(static_cast<int>(family)); }

// C(T): piecewise linear in log time between the anchors, constant outside 0.5..8 s.
double calibrationCurve(const double* cal, double ringSeconds);

// One-pole smoothing pole of a noise family's exciter; 0 for grain, which has none.
double familyNoisePole(int family);

}  // namespace vorrel::dsp
