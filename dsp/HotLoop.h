// Marks the hot loops for an x86-64-v3 (AVX2, FMA) build next to the baseline, chosen when the library loads.
#pragma once

// ThreadSanitizer's runtime is not up yet when ifunc resolvers run, so its builds keep the baseline only.
#if defined(VORREL_NO_CLONES)
#define VORREL_HOT_LOOP
#else
#define VORREL_HOT_LOOP __attribute__((target_clones("arch=x86-64-v3", "default")))
#endif
