// The body table, etendre, and the exciter calibration tables.
#include "Bodies.h"

#include <algorithm>
#include <cmath>

namespace vorrel::dsp {
namespace {

std::vector<double> harmonic(int count, double stride, double offset) {
  std::vector<double> r;
  for (int k = 1; k <= count; ++k) r.push_back(stride * static_cast<double>(k) + offset);
  return r;
}

std::vector<double> stiff(double b) {
  std::vector<double> r;
  for (int k = 1; k <= 20; ++k) {
    const double kd = static_cast<double>(k);
    r.push_back(kd * std::sqrt(kd * kd * b + 1.0));
  }
  return r;
}

std::array<BodyDef, kNumBodies> buildBodies() {
  std::vector<double> bar;
  for (double beta : {4.73004, 7.8532, 10.99561, 14.13717, 17.27876, 20.42035, 23.56194, 26.70354})
    bar.push_back((beta / 4.73004) * (beta / 4.73004));
  std::vector<double> plate;
  for (int k = 2; k <= 21; ++k) plate.push_back((0.5 * k) * (0.5 * k));
  return {{
      {"corde idéale", "String", 1.4, 1.0, harmonic(20, 1.0, 0.0)},
      {"membrane",
       "Drumhead",
       0.9,
       0.98,
       {1.0,
        1.5933392381166236,
        2.1355438845989116,
        2.2954138130346013,
        2.6530607153104375,
        2.9172914509549535,
        3.1554579741603357,
        3.5001393029860735,
        3.598478894558035,
        3.647442854588474,
        4.058923083960197,
        4.230432088754714,
        4.231430080296736,
        4.6010362478844655,
        4.831875849852173,
        4.903269669789548,
        5.083556841855765,
        5.130757683495299,
        5.412108132383578,
        5.553116020675058}},
      {"cloche", "Bell", 0.7, 0.81, {0.5, 1.0, 1.2, 1.5, 2.0, 2.5, 2.6667, 3.0, 4.0, 4.5, 5.0, 5.33, 6.0}},
      {"piano droit aigu", "Upright high", 1.5, 0.81, stiff(0.0012)},
      {"piano médium", "Mid piano", 1.4, 0.73, stiff(0.00025)},
      {"tube ouvert", "Open pipe", 1.8, 0.59, harmonic(20, 1.0, 0.0)},
      {"tube fermé", "Stopped pipe", 1.7, 0.55, harmonic(20, 2.0, -1.0)},
      {"piano grave", "Low piano", 1.3, 0.34, stiff(0.00004)},
      {"barre libre-libre", "Bar", 1.1, 0.32, bar},
      {"plaque libre", "Plate", 0.8, 0.24, plate},
      {"lamelle encastrée",
       "Tine",
       1.2,
       0.22,
       {1.0, 6.26691719722151, 17.547569534165046, 34.38620578718371, 56.842882548484404, 84.91340906952954}},
  }};
}

constexpr double kSouffle[4] = {0.12564, 4.21, 3.46, 2.45};
constexpr double kMaillet[4] = {0.02221, 13.18, 8.08, 4.29};
constexpr double kArchet[4] = {0.09559, 3.74, 3.18, 2.34};
constexpr double kGrain[4] = {0.01742, 14.76, 8.26, 4.8};

}  // namespace

const std::array<BodyDef, kNumBodies>& bodies() {
  static const std::array<BodyDef, kNumBodies> kBodies = buildBodies();
  return kBodies;
}

std::vector<double> etendre(const std::vector<double>& ratios, int n) {
  std::vector<double> out = ratios;
  const size_t target = static_cast<size_t>(std::max(0, n));
  const size_t m = ratios.size();
  if (m < target && m > 0) {
    const double step = m < 2 ? 1.0 : ratios[m - 1] - ratios[m - 2];
    out.reserve(target);
    while (out.size() < target) {
      const double c = static_cast<double>(out.size());
      out.push_back(out.back() + step * (1.0 + 0.06 * (c - static_cast<double>(m))));
    }
  }
  if (out.size() > target) out.resize(target);
  return out;
}

const std::vector<double>& modeList(int body) {
  static const std::array<std::vector<double>, kNumBodies> kLists = [] {
    std::array<std::vector<double>, kNumBodies> lists;
    for (int b = 0; b < kNumBodies; ++b)
      lists[static_cast<size_t>(b)] = etendre(bodies()[static_cast<size_t>(b)].ratios, kMaxModes);
    return lists;
  }();
  return kLists[static_cast<size_t>(std::clamp(body, 0, kNumBodies - 1))];
}

double modePitchClass(double ratio) {
  double cents = std::fmod(1200.0 * std::log2(ratio), 1200.0);
  if (cents < 0.0) cents += 1200.0;
  return cents / 100.0;
}

const double* familyCal(int family) {
  switch (family) {
    case 0:
      return kSouffle;
    case 1:
      return kMaillet;
    case 2:
      return kArchet;
    default:
      return kGrain;
  }
}

double calibrationCurve(const double* cal, double ringSeconds) {
  const double t = std::clamp(ringSeconds, kT60Anchors[0], kT60Anchors[2]);
  // The anchors themselves return their values exactly; interpolating there can miss by an ulp.
  for (int a = 0; a < 3; ++a)
    if (t == kT60Anchors[static_cast<size_t>(a)]) return cal[1 + a];
  const double x = std::log(t);
  const int s = x > std::log(2.0) ? 1 : 0;
  const double x0 = std::log(kT60Anchors[static_cast<size_t>(s)]);
  const double x1 = std::log(kT60Anchors[static_cast<size_t>(s) + 1]);
  return cal[1 + s] + (cal[2 + s] - cal[1 + s]) * (x - x0) / (x1 - x0);
}

double familyNoisePole(int family) {
  switch (family) {
    case 0:
      return 0.92;
    case 1:
      return 0.7;
    case 2:
      return 0.95;
    default:
      return 0.0;
  }
}

}  // namespace vorrel::dsp
