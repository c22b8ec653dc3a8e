// The saturating four-pole ladder with oversampling, run for many voices in lock-step vector lanes.
#pragma once

namespace vorrel::dsp {

class Voice;

constexpr int kMaxLadderVoices = 96;  // every slot of the main voices and their twins

// Filters each voice's xin[0..n) into its yOut[0..n), advancing the voices' ladder states.
void runLadders(Voice* const* voices, int count, int n);

// The bare sub-step recurrence for the given voices (in groups of four), subSteps times; for benchmarks.
double ladderKernel(int voices, int subSteps);

}  // namespace vorrel::dsp
