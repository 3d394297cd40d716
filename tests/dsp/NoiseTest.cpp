#include <gtest/gtest.h>

#include "dsp/Noise.h"

namespace {

TEST(Noise, SequenceStaysInRangeAroundZeroAndRepeatsAfterReset) {
  resetNoiseSeed();
  const double first = getNoise();
  double sum = 0.0;
  for (int i = 0; i < 100000; ++i) {
    const double v = getNoise();
    ASSERT_GE(v, -1.0);
    ASSERT_LE(v, 1.0);
    sum += v;
  }
  EXPECT_NEAR(sum / 100000, 0.0, 0.02);
  resetNoiseSeed();
  EXPECT_EQ(getNoise(), first);
}

}  // namespace
