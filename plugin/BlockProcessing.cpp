// The audio thread's block: denormal-safe FP mode, the panel queue, bus detection and chunked engine rendering.
#include "Vorrel.h"

#include <xmmintrin.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr unsigned kFlushToZero = 0x8000;    // MXCSR FTZ
constexpr unsigned kDenormalsZero = 0x0040;  // MXCSR DAZ
constexpr unsigned kAllMasked = 0x1F80;      // every floating-point exception masked

// Sets flush-to-zero with all exceptions masked for one block and restores the host's mode after.
class BlockFpMode {
 public:
  BlockFpMode() : saved(_mm_getcsr()) {
    const unsigned wanted = saved | kFlushToZero | kDenormalsZero | kAllMasked;
    changed = wanted != saved;
    if (changed) _mm_setcsr(wanted);
  }
  ~BlockFpMode() {
    if (changed) _mm_setcsr(saved);
  }
  BlockFpMode(const BlockFpMode&) = delete;
  BlockFpMode& operator=(const BlockFpMode&) = delete;

 private:
  unsigned saved;
  bool changed = false;
};

}  // namespace

void Vorrel::prepare() {
  sampleRate = GetSampleRate();
  engine->prepare(sampleRate);
  tracker.reset();
  pedalDown = false;
  heldByPedal.fill(false);
  const size_t frames = static_cast<size_t>(std::max(GetBlockSize(), kMinScratchFrames));
  for (auto& buf : scratch) buf.assign(frames, 0.0);
  sharedTraceStamp = -1;
  // Twins from the first note on when the chosen layout has extra buses: notes that arrive before the
  // first block would otherwise start without one, and "Wear" would carry them whole.
  engine->setBareEnabled(ActiveLayout().nOutputBuses > 1);
  prepared.store(true, std::memory_order_release);
}

double Vorrel::audioNow() const {
  return static_cast<double>(frameClock.load(std::memory_order_relaxed)) / std::max(1.0, sampleRate);
}

void Vorrel::ProcessBlock(double**, double** outputs, int nFrames) {
  BlockFpMode fpMode;
  if (!prepared.load(std::memory_order_acquire)) prepare();
  syncTraceIfStale();
  drainPanelQueue();

  auto connected = [this, outputs](int ch) { return outputs[ch] && IsChannelConnected(vfw::Route::Output, ch); };
  const bool mainRight = connected(1);
  const bool bareWanted = connected(2) && connected(3);
  const bool wearWanted = connected(4) && connected(5);
  const bool pairA = bareWanted || wearWanted;
  const bool pairB = bareWanted;
  if (!pairA && engine->isBareEnabled()) engine->switchOffBareBank();
  engine->setBareEnabled(pairA);

  const int chunk = static_cast<int>(std::min(scratch[1].size(), scratch[2].size()));
  const int voices = GetParam(kVoices)->Int();
  for (int t = 0; t < nFrames; t += chunk) {
    const int n = std::min(chunk, nFrames - t);
    double* mainL = outputs[0] ? outputs[0] + t : scratch[0].data();
    double* mainR = mainRight ? outputs[1] + t : scratch[1].data();
    double* aL = pairA ? scratch[2].data() : nullptr;
    double* aR = pairA ? scratch[3].data() : nullptr;
    double* bL = pairB ? scratch[4].data() : nullptr;
    double* bR = pairB ? scratch[5].data() : nullptr;
    engine->process(mainL, mainR, n, voices, GetParam(kDelay)->Value(), GetParam(kDlyMix)->Value() / 100.0,
                    GetParam(kVerbSize)->Value() / 100.0, GetParam(kVerbMix)->Value() / 100.0,
                    GetParam(kLevel)->Value(), aL, aR, bL, bR);
    if (bareWanted) {
      std::memcpy(outputs[2] + t, bL, sizeof(double) * static_cast<size_t>(n));
      std::memcpy(outputs[3] + t, bR, sizeof(double) * static_cast<size_t>(n));
    }
    if (wearWanted) {
      // What the memory adds: main minus the twins at main loudness.
      double* wearL = outputs[4] + t;
      double* wearR = outputs[5] + t;
      const double* rightSource = mainRight ? mainR : mainL;
      for (int i = 0; i < n; ++i) {
        wearL[i] = mainL[i] - aL[i];
        wearR[i] = rightSource[i] - aR[i];
      }
    }
  }
  // Channels the layout offers but the host did not take whole stay silent.
  for (int ch = 2; ch < 6; ++ch) {
    const bool used = ch < 4 ? bareWanted : wearWanted;
    if (outputs[ch] && !used) std::memset(outputs[ch], 0, sizeof(double) * static_cast<size_t>(nFrames));
  }
  frameClock.fetch_add(static_cast<uint64_t>(std::max(0, nFrames)), std::memory_order_acq_rel);
}
