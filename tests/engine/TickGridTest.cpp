#include <gtest/gtest.h>

#include "EngineHarness.h"

TEST(TickGrid, TenSampleBlocksCarryTheSubBlockAcrossHostBlocks) {
  EngineHarness h;
  ASSERT_EQ(h.plug->subBlockLength(), 44u);
  const uint32_t expectedRemainder[] = {34, 24, 14, 4, 38};
  const uint64_t expectedTicks[] = {1, 1, 1, 1, 2};
  for (int block = 0; block < 5; ++block) {
    h.process(10);
    EXPECT_EQ(h.plug->remainder(), expectedRemainder[block]) << "block " << block;
    EXPECT_EQ(h.plug->controlTicks(), expectedTicks[block]) << "block " << block;
    EXPECT_TRUE(h.guardsIntact(10));
  }
  h.process(0);  // zero frames change nothing
  EXPECT_EQ(h.plug->remainder(), 38u);
  EXPECT_EQ(h.plug->controlTicks(), 2u);
}

TEST(TickGrid, LongBlockTicksOncePerSubBlockAndCarriesTheRestUntilReset) {
  EngineHarness h;
  h.process(1000);  // 22 full sub-blocks + 32 samples of the 23rd
  EXPECT_EQ(h.plug->controlTicks(), 23u);
  EXPECT_EQ(h.plug->remainder(), 12u);
  h.process(12);
  EXPECT_EQ(h.plug->controlTicks(), 23u);
  EXPECT_EQ(h.plug->remainder(), 0u);
  h.process(1);
  EXPECT_EQ(h.plug->controlTicks(), 24u);
  h.plug->Reset();  // restarts the grid
  EXPECT_EQ(h.plug->remainder(), 0u);
}

class TickGridBlockSizes : public ::testing::TestWithParam<int> {};

// Whatever the host's block size, ticks land every 44 samples of the stream.
TEST_P(TickGridBlockSizes, TickCountFollowsTheStreamLength) {
  EngineHarness h;
  const int block = GetParam();
  int total = 0;
  for (int i = 0; i < 40; ++i) {
    h.process(block);
    ASSERT_TRUE(h.guardsIntact(block));
    total += block;
  }
  EXPECT_EQ(h.plug->controlTicks(), static_cast<uint64_t>((total + 43) / 44));
}

INSTANTIATE_TEST_SUITE_P(AwkwardSizes, TickGridBlockSizes, ::testing::Values(1, 15, 17, 44, 45, 999));

TEST(TickGrid, SubBlockLengthFollowsTheRateAndNeverReachesZero) {
  struct Case {
    double rate;
    uint32_t length;
  };
  for (Case c : {Case{44100, 44}, Case{48000, 48}, Case{96000, 96}, Case{999.9, 1}, Case{500, 1},
                 Case{0, 1}}) {
    EngineHarness h(c.rate);
    EXPECT_EQ(h.plug->subBlockLength(), c.length) << c.rate;
    h.process(7);
    EXPECT_TRUE(h.guardsIntact(7));
    EXPECT_GT(h.plug->controlTicks(), 0u);
  }
}

TEST(TickGrid, ProcessingBeforeTheFirstResetGivesSilence) {
  ZORQ plug;
  std::vector<double> in(64, 0.5), outL(64, 9.0), outR(64, 9.0);
  double* ins[4] = {in.data(), in.data(), in.data(), in.data()};
  double* outs[2] = {outL.data(), outR.data()};
  plug.ProcessDoubleReplacing(ins, outs, 64);
  for (int i = 0; i < 64; ++i) {
    EXPECT_EQ(outL[i], 0.0);
    EXPECT_EQ(outR[i], 0.0);
  }
}

TEST(OutputStage, OutBalanceOneGivesTheMicGainedModulatorOnly) {
  EngineHarness h;
  h.setParam(kOutBalance, 1.0);
  h.setParam(kMicLevel, 0.5);
  const auto mic = sine(440, 44100, 441);
  h.process(441, {mic, mic});
  for (int i = 0; i < 441; ++i) EXPECT_DOUBLE_EQ(h.out[0][i], mic[i] * 0.25 * 1.0 * 0.5);
}

TEST(OutputStage, UnconnectedMicInputIsSilentAndUngained) {
  EngineHarness h;
  h.plug->SetInputChannelConnections(1, 1, false);
  h.setParam(kOutBalance, 1.0);
  const auto mic = sine(440, 44100, 441);
  h.process(441, {mic, mic});
  EXPECT_GT(h.rms(0, 0, 441), 0.1);
  EXPECT_EQ(h.rms(1, 0, 441), 0.0);
}

TEST(OutputStage, ExternalCarrierIsVocodedByTheMic) {
  EngineHarness h;
  const int n = 44100;
  const auto voice = whiteNoise(n, 7);
  const auto carrier = whiteNoise(n, 99);
  h.process(n, {voice, voice, carrier, carrier});
  EXPECT_GT(h.rms(0, n / 2, n), 1e-3);
  EXPECT_GT(h.rms(1, n / 2, n), 1e-3);
  EngineHarness quiet;
  quiet.process(n, {{}, {}, carrier, carrier});
  EXPECT_LT(quiet.rms(0, n / 2, n), h.rms(0, n / 2, n) * 1e-3);
}

TEST(Meter, MicModeAppliesMicLevelOnlyWithBothChannelsActive) {
  const auto mic = std::vector<double>(44, 0.5);
  EngineHarness both;
  both.setParam(kMicLevel, 2.0);
  both.process(44, {mic, mic});
  EXPECT_NEAR(both.plug->meterAccumulator(), (22.0 + 22.0) * 2.0 * 0.5, 1e-9);

  EngineHarness left;
  left.plug->SetInputChannelConnections(1, 1, false);
  left.setParam(kMicLevel, 2.0);
  left.process(44, {mic, mic});
  EXPECT_NEAR(left.plug->meterAccumulator(), 22.0, 1e-9);
}

TEST(Meter, SignalModeSumsTheCarrierAndDecaysEachTick) {
  EngineHarness h;
  h.setParam(kMeterMode, 0.0);
  h.setParam(kKeyboard, 0.0);
  const auto ext = std::vector<double>(44, 0.25);
  h.process(44, {{}, {}, ext, ext});
  // external (both connected: halved) + carrier L
  const double expected = 0.5 * (11.0 + 11.0) + 11.0;
  EXPECT_NEAR(h.plug->meterAccumulator(), expected, 1e-9);
  h.process(44);  // the next tick decays it by (1 - 1/44), silence adds nothing
  EXPECT_NEAR(h.plug->meterAccumulator(), expected * (1.0 - 1.0 / 44.0), 1e-9);
}
