#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sampler/WDL_Resampler.h"
#include "sampler/WavTestFile.h"

namespace {

// Runs `input` (mono) through the converter in output-driven blocks of `block`
// frames; returns everything produced.
std::vector<double> convert(WDL_Resampler& r, const std::vector<double>& input, int block,
                            size_t outputFrames) {
  std::vector<double> out;
  size_t read = 0;
  std::vector<double> chunk(block);
  while (out.size() < outputFrames) {
    double* area = nullptr;
    const int need = r.ResamplePrepare(block, 1, &area);
    for (int k = 0; k < need; ++k) area[k] = read < input.size() ? input[read++] : 0.0;
    const int got = r.ResampleOut(chunk.data(), need, block, 1);
    if (got <= 0) break;
    out.insert(out.end(), chunk.begin(), chunk.begin() + got);
  }
  return out;
}

TEST(WDL_Resampler, ZeroRateCountsAsOneHertz) {
  WDL_Resampler r;
  r.SetRates(0.0, 44100.0);
  EXPECT_DOUBLE_EQ(r.ratio(), 1.0 / 44100.0);
  r.SetRates(44100.0, -5.0);
  EXPECT_DOUBLE_EQ(r.ratio(), 44100.0);
}

// A short supply is padded with zeros, and frames taken from the padding alone are not counted.
TEST(WDL_Resampler, ShortSupplyReportsOnlyRealFrames) {
  WDL_Resampler r;
  r.SetMode(true, 1, false);
  double* area = nullptr;
  const int need = r.ResamplePrepare(10, 2, &area);
  ASSERT_EQ(need, 14);
  for (int k = 0; k < 10; ++k) area[k] = k + 1.0;  // 5 stereo frames
  double out[20];
  EXPECT_EQ(r.ResampleOut(out, 5, 10, 2), 5);
  EXPECT_EQ(out[9], 10.0);
}

// Tones above the new Nyquist frequency are removed (the sample player's tests check
// the pitch and level of tones below it).
TEST(WDL_Resampler, DownsamplingRemovesTonesAboveTheNewNyquistFrequency) {
  WDL_Resampler r;
  r.SetMode(true, 32, false, 64, 32);  // the sample player's mode
  r.SetRates(96000, 44100);
  const std::vector<double> out = convert(r, wavtest::sine(96000, 30000, 96000), 44, 22050);
  ASSERT_GE(out.size(), 22050u);
  EXPECT_LE(wavtest::rms(out.data() + 1000, 21050), 0.02);
}

}  // namespace
