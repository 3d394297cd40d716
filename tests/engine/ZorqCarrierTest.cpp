#include <gtest/gtest.h>

#include <cmath>

#include "EngineHarness.h"
#include "framework/IMidiMsg.h"

namespace {

void playNotes(ZORQ& plug, std::initializer_list<int> notes) {
  for (int note : notes) {
    IMidiMsg msg(0, 0x90, static_cast<uint8_t>(note), 100);
    plug.ProcessMidiMsg(&msg);
  }
}

// Vocoder with a loud noise modulator so the carrier shows in the output.
class ZorqCarrier : public ::testing::Test {
 protected:
  void SetUp() override { modulator = whiteNoise(44100, 7); }
  void run(int frames) { h.process(frames, {modulator, modulator}); }

  EngineHarness h;
  std::vector<double> modulator;
};

TEST_F(ZorqCarrier, SilentWithoutNotesNoiseOrExternalCarrier) {
  run(4410);
  EXPECT_LT(h.rms(0, 0, 4410), 1e-9);  // only the filters' anti-denormal offset
}

TEST_F(ZorqCarrier, HeldNotesSoundInBothChannels) {
  playNotes(*h.plug, {48, 55, 60});
  run(4410);
  EXPECT_GT(h.rms(0, 2205, 4410), 1e-4);
  EXPECT_GT(h.rms(1, 2205, 4410), 1e-4);
  EXPECT_TRUE(h.guardsIntact(4410));
}

TEST_F(ZorqCarrier, NoiseCarrierFollowsInBalance) {
  h.setParam(kInBalance, 1.0);
  run(4410);
  EXPECT_GT(h.rms(0, 2205, 4410), 1e-4);
}

TEST_F(ZorqCarrier, ResetMidNoteKeepsReadsSafe) {
  playNotes(*h.plug, {60});
  h.setParam(kEnsemble, 1);
  run(100);
  h.plug->SetSampleRate(48000.0);
  h.plug->Reset();
  EXPECT_EQ(h.plug->ensemble(0).length(), 769);
  run(999);
  for (int i = 0; i < 999; ++i) ASSERT_TRUE(std::isfinite(h.out[0][i]));
  EXPECT_TRUE(h.guardsIntact(999));
}

TEST(ZorqVibrato, SpeedSetsThreeDetunedRatesAndResetSpreadsPhases) {
  EngineHarness h;
  h.setParam(kVibratoSpeed, 5.0);
  const double base = 5.0 * 2 * M_PI / 1000;
  EXPECT_DOUBLE_EQ(h.plug->vibratoLFO(0).increment(), base);
  EXPECT_DOUBLE_EQ(h.plug->vibratoLFO(1).increment(), 0.99 * base);
  EXPECT_DOUBLE_EQ(h.plug->vibratoLFO(2).increment(), 1.01 * base);
  h.process(440);
  h.plug->Reset();
  EXPECT_DOUBLE_EQ(h.plug->vibratoLFO(0).phase(), 0.0);
  EXPECT_DOUBLE_EQ(h.plug->vibratoLFO(1).phase(), 2.092300707290802);
  EXPECT_DOUBLE_EQ(h.plug->vibratoLFO(2).phase(), 4.184601414581604);
}

TEST(ZorqVibrato, LfosRestWhileTheKeyboardIsOff) {
  EngineHarness h;
  h.setParam(kKeyboard, 0);
  h.process(440);
  EXPECT_EQ(h.plug->vibratoLFO(0).phase(), 0.0);
}

TEST(ZorqEnsemble, RatesFollowParametersAndResetToDefaults) {
  EngineHarness h;
  h.setParam(kEnsembleLeftRate1, 1.5);
  h.setParam(kEnsembleRightRate2, 7.0);
  EXPECT_DOUBLE_EQ(h.plug->ensemble(0).rate1, 1.5);
  EXPECT_DOUBLE_EQ(h.plug->ensemble(0).lfo1.increment(), 1.5 * 2 * M_PI / 1000);
  EXPECT_DOUBLE_EQ(h.plug->ensemble(1).lfo2.increment(), 7.0 * 2 * M_PI / 1000);
  h.plug->Reset();
  EXPECT_DOUBLE_EQ(h.plug->ensemble(0).rate1, 0.65);
  EXPECT_DOUBLE_EQ(h.plug->ensemble(0).rate2, 5.7);
  EXPECT_DOUBLE_EQ(h.plug->ensemble(1).rate1, 0.55);
  EXPECT_DOUBLE_EQ(h.plug->ensemble(1).rate2, 6.3);
  EXPECT_EQ(h.plug->ensemble(0).length(), 706);
}

TEST(ZorqEnsemble, UpdatesEveryTickEvenWhenOff) {
  EngineHarness h;
  const double before = h.plug->ensemble(0).lfo1.phase();
  h.process(440);
  EXPECT_NEAR(h.plug->ensemble(0).lfo1.phase() - before, 10 * 0.65 * 2 * M_PI / 1000, 1e-12);
}

TEST(ZorqMidiQueue, BurstBeyondTheInitialCapacityIsKept) {
  EngineHarness h;
  for (int i = 0; i < 3000; ++i) {
    IMidiMsg msg(0, 0xE0, 0, static_cast<uint8_t>(i & 127));
    h.plug->ProcessMidiMsg(&msg);
  }
  IMidiMsg note(0, 0x90, 60, 100);
  h.plug->ProcessMidiMsg(&note);
  h.process(1);
  EXPECT_TRUE(h.plug->voice(0).isActive());
}

}  // namespace
