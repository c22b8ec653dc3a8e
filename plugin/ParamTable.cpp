// Names, ranges, defaults, units and shapes of the 29 parameters.
#include "ParamTable.h"

#include "Plugin.h"

using vfw::ParamShape;

void declareParams(vfw::Plugin& plug) {
  auto dbl = [&plug](int idx, const char* name, double def, double lo, double hi, double step, const char* unit,
                     ParamShape shape = ParamShape::Linear) {
    plug.GetParam(idx)->InitDouble(name, def, lo, hi, step, unit, "", shape);
  };
  const auto exp = ParamShape::Exp;
  dbl(kImprint, "Imprint", 62, 0, 100, 0.1, "%");
  dbl(kBare, "Bare", 0, 0, 100, 0.1, "%");
  dbl(kCarve, "Carve", 55, 0, 100, 0.1, "%");
  dbl(kSource, "Source", 0, 0, 100, 0.1, "%");
  plug.GetParam(kBody)->InitEnum("Body", 0,
                                 {"String", "Drumhead", "Bell", "Upright high", "Mid piano", "Open pipe",
                                  "Stopped pipe", "Low piano", "Bar", "Plate", "Tine"});
  plug.GetParam(kExciter)->InitEnum("Exciter", 2, {"Breath", "Mallet", "Bow", "Grain", "Saw", "Square"});
  dbl(kBodyDecay, "Decay", 143, 15, 3000, 1, "", exp);
  dbl(kDamper, "Damper", 30, 0, 100, 0.1, "%");
  dbl(kInharm, "Inharm", 12, 0, 100, 0.1, "%");
  dbl(kSympathy, "Sympathy", 25, 0, 100, 0.1, "%");
  dbl(kAttack, "Attack", 12, 0, 2000, 1, "ms");
  dbl(kDecay, "Decay", 400, 5, 6000, 1, "ms", exp);
  dbl(kSustain, "Sustain", 70, 0, 100, 0.1, "%");
  dbl(kRelease, "Release", 900, 20, 8000, 1, "ms", exp);
  dbl(kCutoff, "Cutoff", 2400, 80, 18000, 1, "Hz", exp);
  dbl(kResonance, "Resonance", 68, 0, 150, 0.1, "");
  dbl(kEnvAmt, "Env amt", 2.8, 0, 6, 0.01, "oct");
  dbl(kLfoRate, "LFO rate", 0, 0, 12, 0.01, "Hz");
  dbl(kLfoAmt, "LFO amt", 0, 0, 5, 0.01, "oct");
  dbl(kGlide, "Glide", 0, 0, 800, 1, "ms");
  plug.GetParam(kVoices)->InitInt("Voices", 8, 1, 16, "");
  dbl(kDelay, "Delay", 340, 20, 1500, 1, "ms", exp);
  dbl(kDlyMix, "Dly mix", 18, 0, 100, 0.1, "%");
  dbl(kVerbSize, "Verb size", 50, 0, 100, 0.1, "%");
  dbl(kVerbMix, "Verb mix", 24, 0, 100, 0.1, "%");
  dbl(kLevel, "Level", 0, -24, 12, 0.1, "dB");
  plug.GetParam(kQuality)->InitEnum("Quality", 0, {"x1", "x4", "x8"});
  dbl(kForget, "Forget", 7, 1, 90, 0.1, "d", exp);
  dbl(kEngrave, "Engrave", 120, 0, 200, 1, "%");
}
