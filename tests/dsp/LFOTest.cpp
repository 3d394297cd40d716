#include <gtest/gtest.h>

#include <cmath>

#include "dsp/LFO.h"

namespace {

TEST(LFO, OutputsSineOfPhaseBeforeAdvancing) {
  LFO lfo;
  lfo.setRate(250.0);  // a quarter cycle per tick
  lfo.update();
  EXPECT_DOUBLE_EQ(lfo.getOutPos1(), 0.5);
  EXPECT_NEAR(lfo.getOutPos2(), (std::sin(M_PI / 2 + 2 * M_PI / 3) + 1) * 0.5, 1e-12);
  lfo.update();
  EXPECT_NEAR(lfo.getOutPos1(), 1.0, 1e-12);
}

TEST(LFO, PhaseRestartsAtZeroInsteadOfWrapping) {
  LFO lfo;
  lfo.setRate(300.0);  // 0.6 pi per tick
  for (int i = 0; i < 3; ++i) lfo.update();
  EXPECT_NEAR(lfo.phase(), 1.8 * M_PI, 1e-12);
  lfo.update();
  EXPECT_EQ(lfo.phase(), 0.0);
}

}  // namespace
