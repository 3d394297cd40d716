#include <gtest/gtest.h>

#include "EngineHarness.h"

namespace {
constexpr int kSeconds = 44100 / 2;

// Output energy with only the external carrier (no voice): what the fixed bands pass.
double fixedBandOutput(int vocoderMode, double inBalance, int firstFixed, int lastFixed) {
  EngineHarness h;
  h.setParam(kKeyboard, 0.0);
  h.setParam(kVocoderMode, vocoderMode);
  h.setParam(kInBalance, inBalance);
  for (int b = firstFixed; b <= lastFixed; ++b) h.setParam(kSynthesisFixed1 + b, 1.0);
  const auto carrier = whiteNoise(kSeconds, 3);
  h.process(kSeconds, {{}, {}, carrier, carrier});
  return h.rms(0, kSeconds / 2, kSeconds);
}
}  // namespace

TEST(ZorqBands, StandardModeSkipsNoiseBandsWithoutNoiseEvenWhenFixed) {
  EXPECT_LT(fixedBandOutput(0, 0.0, 16, 19), 1e-9);
  EXPECT_GT(fixedBandOutput(1, 0.0, 16, 19), 1e-3);
  EXPECT_GT(fixedBandOutput(0, 0.0, 0, 0), 1e-3);
}

TEST(ZorqBands, FixedNoiseBandFiltersTheMainCarrier) {
  // With a little noise the noise bands run; a fixed one passes the external
  // carrier too, which is far louder than the noise alone here.
  const double withExternal = fixedBandOutput(0, 0.01, 16, 19);
  EngineHarness noiseOnly;
  noiseOnly.setParam(kKeyboard, 0.0);
  noiseOnly.setParam(kInBalance, 0.01);
  for (int b = 16; b < 20; ++b) noiseOnly.setParam(kSynthesisFixed1 + b, 1.0);
  noiseOnly.process(kSeconds);
  EXPECT_GT(withExternal, 10.0 * noiseOnly.rms(0, kSeconds / 2, kSeconds));
}

TEST(ZorqBands, LimitCapsAndBiasOpensBandsWithSilentModulator) {
  // Silent modulator: every band gain equals clamp(bias, 0, limit).
  auto outputFor = [](double bias, double limit) {
    EngineHarness h;
    h.setParam(kKeyboard, 0.0);
    h.setParam(kBias, bias);
    h.setParam(kLimit, limit);
    const auto carrier = whiteNoise(kSeconds, 5);
    h.process(kSeconds, {{}, {}, carrier, carrier});
    return h.rms(0, kSeconds / 2, kSeconds);
  };
  EXPECT_EQ(outputFor(-0.5, 0.0), 0.0);
  const double open = outputFor(0.25, 0.0);  // gain 0.5 in every band
  EXPECT_GT(open, 1e-3);
  EXPECT_NEAR(outputFor(1.0, 1.0) / open, 2.0, 1e-6);    // gain 2 capped at limit 1
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

TEST(ZorqBands, AnalysisRetuneKeepsBothChannelsInStep) {
  EngineHarness h;
  h.setParam(kAnalysisFreq1 + 2, 1000.0);
  EXPECT_DOUBLE_EQ(h.plug->bandBank().analysisFrequency(2), 1000.0);
  EXPECT_DOUBLE_EQ(h.plug->bandBank().synthesisFrequency(2), FREQUENCY[2]);
}

TEST(ZorqBands, ModulatorBandSelectsCarrierBand) {
  // A mic tone at band 10's frequency opens band 10: the output is dominated by
  // carrier energy near that band.
  EngineHarness h;
  h.setParam(kKeyboard, 0.0);
  const int n = kSeconds;
  const auto voice = wavtest::sine(n, FREQUENCY[9], 44100, 0.5);
  const auto farCarrier = wavtest::sine(n, FREQUENCY[1], 44100, 0.5);
  h.process(n, {voice, voice, voice, voice});  // the carrier in the same band
  const double inBand = h.rms(0, n / 2, n);
  EngineHarness far;
  far.setParam(kKeyboard, 0.0);
  far.process(n, {voice, voice, farCarrier, farCarrier});
  EXPECT_GT(inBand, 30.0 * far.rms(0, n / 2, n));
}
