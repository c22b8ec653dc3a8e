// After prepare, the engine renders notes, twins, partners and effects without touching the allocator.
#include "AllocCounter.h"
#include "Engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace vorrel::dsp;

TEST(NoAlloc, EngineProcessAndNotesAfterPrepare) {
  auto e = std::make_unique<VorrelEngine>();
  e->prepare(44100);
  std::vector<double> buf(6 * 1024, 0.0);
  double* b = buf.data();
  VoiceParams p;
  p.oversampling = 8;
  {
    vtest::AllocScope scope;
    e->setBareEnabled(true);
    for (int i = 0; i < 40; ++i) e->trace[static_cast<size_t>(i)] = 1.0 + std::cos(i);
    e->traceStamp = 9;
    for (int blk = 0; blk < 300; ++blk) {
      if (blk % 7 == 0) e->noteOn(40 + blk % 40, 100, p, 12);
      if (blk % 11 == 0) e->noteOff(40 + (blk - 22) % 40, 0.3);
      if (blk == 150) e->releaseAllHeld();
      e->process(b, b + 1024, 1024 - blk, 12, 300, 0.3, 0.6, 0.4, -3, b + 2048, b + 3072, b + 4096, b + 5120);
    }
    EXPECT_EQ(scope.count(), 0);
  }
}
