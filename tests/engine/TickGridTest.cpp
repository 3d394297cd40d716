#include <gtest/gtest.h>

#include "EngineHarness.h"

// Whatever the host's blocks, a tick starts every 44 samples of the stream (the parity
// suite renders random block sizes to the samples of one size): the part of a
// sub-block a block leaves over carries into the next block, zero frames change
// nothing, and a reset restarts the grid.
TEST(TickGrid, TicksFollowTheStreamAcrossHostBlocks) {
  EngineHarness h;
  ASSERT_EQ(h.plug->subBlockLength(), 44u);
  for (int n : {15, 0, 45}) h.process(n);
  EXPECT_EQ(h.plug->controlTicks(), 2u);
  EXPECT_EQ(h.plug->remainder(), 28u);
  h.plug->Reset();
  EXPECT_EQ(h.plug->remainder(), 0u);
}

TEST(TickGrid, SubBlockLengthFollowsTheRateAndNeverReachesZero) {
  for (const auto& [rate, length] : {std::pair{44100.0, 44u}, std::pair{48000.0, 48u},
                                     std::pair{999.9, 1u}, std::pair{0.0, 1u}}) {
    EngineHarness h(rate);
    EXPECT_EQ(h.plug->subBlockLength(), length) << rate;
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
  for (int i = 0; i < 64; ++i) ASSERT_TRUE(outL[i] == 0.0 && outR[i] == 0.0) << i;
}

// An unconnected right microphone input is silent, in the output and the meter.
TEST(Meter, MicModeAppliesMicLevelOnlyWithBothChannelsActive) {
  const auto mic = std::vector<double>(44, 0.5);
  EngineHarness both;
  both.setParam(kMicLevel, 2.0);
  both.process(44, {mic, mic});
  EXPECT_NEAR(both.plug->meterAccumulator(), (22.0 + 22.0) * 2.0 * 0.5, 1e-9);

  EngineHarness left;
  left.plug->SetInputChannelConnections(1, 1, false);
  left.setParam(kMicLevel, 2.0);
  left.setParam(kOutBalance, 1.0);
  left.process(44, {mic, mic});
  EXPECT_NEAR(left.plug->meterAccumulator(), 22.0, 1e-9);
  EXPECT_GT(left.rms(0, 0, 44), 0.1);
  EXPECT_EQ(left.rms(1, 0, 44), 0.0);
}
