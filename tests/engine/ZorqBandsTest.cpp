#include <gtest/gtest.h>

#include <cmath>

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

namespace {

// Vocoder with a loud noise modulator so the carrier shows in the output.
class ZorqCarrier : public ::testing::Test {
 protected:
  void run(int frames) { h.process(frames, {modulator, modulator}); }

  EngineHarness h;
  std::vector<double> modulator = whiteNoise(44100, 7);
};

TEST_F(ZorqCarrier, SilentWithoutNotesNoiseOrExternalCarrierAndHeldNotesSoundInBoth) {
  run(4410);
  EXPECT_LT(h.rms(0, 0, 4410), 1e-9);  // only the filters' anti-denormal offset
  for (int note : {48, 55, 60}) h.midi(0x90, note, 100);
  run(4410);
  EXPECT_GT(h.rms(1, 2205, 4410), 1e-4);
  EXPECT_TRUE(h.guardsIntact(4410));
}

TEST_F(ZorqCarrier, ResetMidNoteKeepsReadsSafe) {
  h.midi(0x90, 60, 100);
  h.setParam(kEnsemble, 1);
  run(100);
  h.plug->SetSampleRate(48000.0);
  h.plug->Reset();
  run(999);
  for (int i = 0; i < 999; ++i) ASSERT_TRUE(std::isfinite(h.out[0][i]));
  EXPECT_TRUE(h.guardsIntact(999));
}

TEST(ZorqVibrato, LfosRestWhileTheKeyboardIsOff) {
  EngineHarness h;
  h.setParam(kKeyboard, 0);
  h.process(440);
  EXPECT_EQ(h.plug->vibratoLFO(0).phase(), 0.0);
}

}  // namespace
