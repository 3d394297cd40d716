#include <gtest/gtest.h>

#include <cmath>

#include "EngineHarness.h"

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
