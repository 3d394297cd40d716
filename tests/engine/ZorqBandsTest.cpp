#include <gtest/gtest.h>

#include "EngineHarness.h"

namespace {
constexpr int kSeconds = 44100 / 2;
const std::vector<double> kCarrier = whiteNoise(kSeconds, 3);

// Only the external carrier (no voice), keyboard off: the left output's RMS over the
// second half of the render, which is what the given fixed bands pass.
double fixedBandOutput(int vocoderMode, double inBalance, int firstFixed, int lastFixed,
                       const std::vector<double>& carrier = kCarrier) {
  EngineHarness h;
  h.setParam(kKeyboard, 0.0);
  h.setParam(kVocoderMode, vocoderMode);
  h.setParam(kInBalance, inBalance);
  for (int b = firstFixed; b <= lastFixed; ++b) h.setParam(kSynthesisFixed1 + b, 1.0);
  h.process(kSeconds, {{}, {}, carrier, carrier});
  return h.rms(0, kSeconds / 2, kSeconds);
}
}  // namespace

TEST(ZorqBands, StandardModeSkipsNoiseBandsWithoutNoiseEvenWhenFixed) {
  EXPECT_LT(fixedBandOutput(0, 0.0, 16, 19), 1e-9);
  EXPECT_GT(fixedBandOutput(1, 0.0, 16, 19), 1e-3);
  EXPECT_GT(fixedBandOutput(0, 0.0, 0, 0), 1e-3);
}

// With a little noise the noise bands run; a fixed one passes the external carrier
// too, which is far louder than the noise alone here.
TEST(ZorqBands, FixedNoiseBandFiltersTheMainCarrier) {
  EXPECT_GT(fixedBandOutput(0, 0.01, 16, 19), 10.0 * fixedBandOutput(0, 0.01, 16, 19, {}));
}

TEST(ZorqBands, MicLevelZeroClosesEveryBand) {
  EngineHarness h;
  h.setParam(kKeyboard, 0.0);
  h.setParam(kMicLevel, 0.0);
  const auto voice = whiteNoise(kSeconds, 8);
  const auto carrier = whiteNoise(kSeconds, 9);
  h.process(kSeconds, {voice, voice, carrier, carrier});
  EXPECT_EQ(h.rms(0, 0, kSeconds), 0.0);
  EXPECT_EQ(h.plug->modulatorLevelSum(), 0.0);
}
