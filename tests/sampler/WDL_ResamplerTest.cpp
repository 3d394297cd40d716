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

double rms(const double* s, size_t n) {
  double sum = 0;
  for (size_t i = 0; i < n; ++i) sum += s[i] * s[i];
  return std::sqrt(sum / n);
}

// The sample player's mode: interpolating, output-driven (it plays equal rates directly).
void setPlayerMode(WDL_Resampler& r, double inputRate, double outputRate) {
  r.SetMode(true, 32, false, 64, 32);
  r.SetRates(inputRate, outputRate);
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

struct ToneCase {
  const char* name;
  double inputRate;
  double outputRate;
  double toneHz;
  double minRms;
  double maxRms;
};

void PrintTo(const ToneCase& c, std::ostream* os) { *os << c.name; }

class WDL_ResamplerTone : public ::testing::TestWithParam<ToneCase> {};

// Pitch is kept; tones above the new Nyquist frequency are removed.
TEST_P(WDL_ResamplerTone, KeepsPitchAndFiltersAliases) {
  const ToneCase& c = GetParam();
  WDL_Resampler r;
  setPlayerMode(r, c.inputRate, c.outputRate);
  const size_t outFrames = static_cast<size_t>(c.outputRate / 2);
  const std::vector<double> input =
      wavtest::sine(static_cast<size_t>(c.inputRate), c.toneHz, c.inputRate);
  const std::vector<double> out = convert(r, input, 44, outFrames);
  ASSERT_GE(out.size(), outFrames);
  const size_t settle = 1000;
  const double level = rms(out.data() + settle, outFrames - settle);
  EXPECT_GE(level, c.minRms);
  EXPECT_LE(level, c.maxRms);
  if (c.minRms > 0.3) {
    EXPECT_NEAR(wavtest::crossingRate(out.data() + settle, outFrames - settle, c.outputRate),
                c.toneHz, c.toneHz * 0.01);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, WDL_ResamplerTone,
    ::testing::Values(ToneCase{"up", 22050, 44100, 441, 0.34, 0.36},
                      ToneCase{"down", 96000, 44100, 1000, 0.34, 0.36},
                      ToneCase{"downAlias", 96000, 44100, 30000, 0.0, 0.02}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
