#include "framework/GainRamp.h"

#include <gtest/gtest.h>

#include <vector>

// A fade-in rises in even steps to full level in the ramp's length, whatever the block
// lengths it is cut into, and leaves the samples alone from then on.
TEST(GainRamp, FadeRisesEvenlyOverItsLengthAcrossBlocks) {
  constexpr double kRate = 1000.0;  // ten samples of ramp
  GainRamp ramp;
  ramp.SetSampleRate(kRate);
  ramp.JumpTo(0.0);
  ramp.SetTarget(1.0);
  std::vector<float> ones(16, 1.0f);
  float* channel = ones.data();
  ramp.Scale(&channel, 1, 3);
  channel += 3;
  ramp.Scale(&channel, 1, 13);
  for (int i = 0; i < 16; ++i)
    EXPECT_FLOAT_EQ(ones[static_cast<size_t>(i)], i < 10 ? float(i + 1) / 10.0f : 1.0f) << i;
  EXPECT_FALSE(ramp.Moving());
}

// Bypass: the processed signal gives way to the dry one and back; at rest the dry
// signal passes unchanged, and an output without a dry channel fades to silence.
TEST(GainRamp, CrossfadeMovesBetweenProcessedAndDry) {
  GainRamp ramp;
  ramp.SetSampleRate(400.0);  // four samples of ramp
  std::vector<float> left(6, 1.0f), right(6, 1.0f);
  const std::vector<float> dry(6, 0.25f);
  float* out[] = {left.data(), right.data()};
  const float* through[] = {dry.data()};
  ramp.SetTarget(0.0);
  ramp.Crossfade(out, 2, through, 1, 6);
  const float expectedLeft[] = {0.8125f, 0.625f, 0.4375f, 0.25f, 0.25f, 0.25f};
  const float expectedRight[] = {0.75f, 0.5f, 0.25f, 0.0f, 0.0f, 0.0f};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_FLOAT_EQ(left[i], expectedLeft[i]) << i;
    EXPECT_FLOAT_EQ(right[i], expectedRight[i]) << i;
  }
  std::vector<float> processed(4, 3.0f);
  float* again[] = {processed.data()};
  ramp.Crossfade(again, 1, through, 1, 4);
  EXPECT_EQ(processed, std::vector<float>(4, 0.25f));
  processed.assign(4, 3.0f);
  ramp.SetTarget(1.0);
  ramp.Crossfade(again, 1, through, 1, 4);
  EXPECT_FLOAT_EQ(processed[0], 0.9375f);
  EXPECT_EQ(processed[3], 3.0f);  // the last step reaches the processed signal
  EXPECT_FALSE(ramp.Moving());
}
