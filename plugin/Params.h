// The 29 host parameters: their indices, which are also CLAP ids, state positions and panel label indices.
#pragma once

namespace vfw {
class Plugin;
}

enum EParams {
  kImprint = 0,
  kBare,
  kCarve,
  kSource,
  kBody,
  kExciter,
  kBodyDecay,
  kDamper,
  kInharm,
  kSympathy,
  kAttack,
  kDecay,
  kSustain,
  kRelease,
  kCutoff,
  kResonance,
  kEnvAmt,
  kLfoRate,
  kLfoAmt,
  kGlide,
  kVoices,
  kDelay,
  kDlyMix,
  kVerbSize,
  kVerbMix,
  kLevel,
  kQuality,
  kForget,
  kEngrave,
  kNumParams
};

// Declares every parameter of the table on a freshly built plug-in, in index order.
void declareParams(vfw::Plugin& plug);
