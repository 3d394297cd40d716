#include "formats/jack/OutputRamp.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
// The ramp over 8 frames, delivered in periods of 3: gain k/8 for the k-th frame after
// the restart, then unity; a null channel is skipped.
TEST(OutputRamp, RisesLinearlyAcrossPeriodsThenLeavesTheSignalAlone) {
  OutputRamp ramp;
  ramp.Restart(8);
  std::vector<float> left(12, 1.0f), right(12, -2.0f);
  for (int start = 0; start < 12; start += 3) {
    float* channels[3] = {left.data() + start, nullptr, right.data() + start};
    ramp.Apply(channels, 3, 3);
  }
  for (int k = 0; k < 12; ++k) {
    const float gain = k < 8 ? float(k) / 8.0f : 1.0f;
    EXPECT_FLOAT_EQ(left[size_t(k)], gain) << k;
    EXPECT_FLOAT_EQ(right[size_t(k)], -2.0f * gain) << k;
  }
  EXPECT_FALSE(ramp.Active());
}

TEST(OutputRamp, ARestartStartsFromSilenceAgainAndEmptyOnesChangeNothing) {
  OutputRamp ramp;
  ramp.Restart(4);
  std::vector<float> a(2, 1.0f), b(4, 1.0f);
  float* first[1] = {a.data()};
  ramp.Apply(first, 1, 2);
  ramp.Restart(4);
  float* second[1] = {b.data()};
  ramp.Apply(second, 1, 4);
  EXPECT_FLOAT_EQ(b[0], 0.0f);
  EXPECT_FLOAT_EQ(b[3], 0.75f);
  // A ramp of no length changes nothing; no frames leave a ramp where it was.
  std::vector<float> x(4, 1.0f);
  float* channels[1] = {x.data()};
  ramp.Restart(0);
  ramp.Apply(channels, 1, 4);
  EXPECT_EQ(x, std::vector<float>(4, 1.0f));
  ramp.Restart(4);
  ramp.Apply(channels, 1, 0);
  EXPECT_TRUE(ramp.Active());
}

}  // namespace
