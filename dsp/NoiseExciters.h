// The filtered-noise exciters of many voices at once, four voices' filters per vector.
#pragma once

#include "Voice.h"

namespace vorrel::dsp {

// For each voice (all noiseExcited()), the next n (<= 512) exciter samples into out[k], exactly what
// exciterBlock(out[k], n) would give: the noise and filter states move on, note time does not.
void exciteNoise(Voice* const* voices, double* const* out, int count, int n);

}  // namespace vorrel::dsp
