// The filtered-noise exciters of many voices at once, four voices' filters per vector.
#pragma once

#include "Simd.h"
#include "Voice.h"

namespace vorrel::dsp {

// Per sample of a slice, four voices' filter outputs and note times (32 KB): owned by whoever calls
// exciteNoise, used only during the call.
struct NoiseLanes {
  v4d z[kSliceFrames];
  v4d t[kSliceFrames];
};

// For each voice (all noiseExcited()), the next n (<= 512) exciter samples into out[k], exactly what
// exciterBlock(out[k], n) would give: the noise and filter states move on, note time does not.
void exciteNoise(Voice* const* voices, double* const* out, int count, int n, NoiseLanes& lanes);

}  // namespace vorrel::dsp
