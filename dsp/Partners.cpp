// Sympathetic partner choice: each interval's Gaussian template over the mode pitches, scored by cosine similarity.
#include "Engine.h"

#include <algorithm>
#include <cmath>

namespace vorrel::dsp {

int partnersInto(const double* trace, const double* pitch, int count, Partner* out, int maximum) {
  const int n = std::min(count, kMaxModes);
  if (n <= 0 || !trace || !pitch || !out || maximum <= 0) return 0;
  double norm = 0.0;
  double peak = 0.0;
  for (int i = 0; i < n; ++i) {
    norm += trace[i] * trace[i];
    peak = std::max(peak, trace[i]);
  }
  norm = std::sqrt(norm);
  if (peak <= 0.0) return 0;

  struct Candidate {
    int interval;
    double score;
  };
  Candidate cand[11];
  int nCand = 0;
  for (int k = 1; k <= 11; ++k) {
    double t[kMaxModes];
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
      double d = std::fabs(pitch[i] - k);
      if (12.0 - d < d) d = 12.0 - d;
      t[i] = i == 0 ? 0.0 : std::exp(d * d * -0.7142857142857143 / 0.7);
      sum += t[i];
    }
    if (sum > 0.0)
      for (int i = 0; i < n; ++i) t[i] /= sum;
    double m2 = 0.0;
    double dot = 0.0;
    for (int i = 0; i < n; ++i) {
      m2 += t[i] * t[i];
      dot += trace[i] * t[i];
    }
    const double m = std::sqrt(m2);
    if (m > 0.0) cand[nCand++] = {k, dot / m / norm};
  }
  // Insertion sort: stable (equal scores keep the smaller interval first) and, unlike stable_sort, no allocation.
  for (int i = 1; i < nCand; ++i) {
    const Candidate c = cand[i];
    int j = i;
    for (; j > 0 && cand[j - 1].score < c.score; --j) cand[j] = cand[j - 1];
    cand[j] = c;
  }
  const int kept = std::min(maximum, nCand);
  double total = 0.0;
  for (int v = 0; v < kept; ++v) total += std::max(0.0, cand[v].score);
  const double div = total > 0.0 ? total : 1.0;
  for (int v = 0; v < kept; ++v) out[v] = {cand[v].interval, std::max(0.0, cand[v].score) / div};
  return kept;
}

void VorrelEngine::refreshPartners(int body) {
  body = std::clamp(body, 0, kNumBodies - 1);
  if (partnersStamp == traceStamp && partnersBody == body) return;
  Partner cand[kMaxPartners];
  const int nCand = partnersInto(trace.data(), modePitch(body), modePitchCount(body), cand, kMaxPartners);
  std::array<Partner, kMaxPartners> fresh{};
  int nFresh = 0;
  for (int c = 0; c < nCand && nFresh < kMaxPartners; ++c) {
    bool known = false;
    for (int o = 0; o < nPartners; ++o)
      known = known || partners[static_cast<size_t>(o)].semitones == cand[c].semitones;
    // An existing list only admits a new interval with real weight, so partners do not flicker.
    if (nPartners == 0 || known || cand[c].weight > 0.05) fresh[static_cast<size_t>(nFresh++)] = cand[c];
  }
  partners = fresh;
  nPartners = nFresh;
  partnersStamp = traceStamp;
  partnersBody = body;
}

}  // namespace vorrel::dsp
