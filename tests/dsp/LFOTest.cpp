#include <gtest/gtest.h>

#include <cmath>

#include "dsp/LFO.h"

namespace {

TEST(LFO, PhaseRestartsAtZeroInsteadOfWrapping) {
  LFO lfo;
  lfo.setRate(300.0);  // 0.6 pi per tick
  for (int i = 0; i < 3; ++i) lfo.update();
  EXPECT_NEAR(lfo.phase(), 1.8 * M_PI, 1e-12);
  lfo.update();
  EXPECT_EQ(lfo.phase(), 0.0);
}

}  // namespace
