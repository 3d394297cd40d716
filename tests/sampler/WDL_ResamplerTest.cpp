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

class WDL_ResamplerIdentity : public ::testing::TestWithParam<bool> {};

TEST_P(WDL_ResamplerIdentity, EqualRatesReproduceInput) {
  const bool feed = GetParam();
  WDL_Resampler r;
  r.SetMode(true, 4, false);
  r.setFeedMode(feed);
  r.SetRates(48000, 48000);
  const std::vector<double> input = wavtest::sine(1100, 1234.5, 48000);
  std::vector<double> out;
  size_t read = 0;
  for (int block : {1, 15, 17, 44, 999}) {
    double* area = nullptr;
    const int need = r.ResamplePrepare(block, 1, &area);
    for (int k = 0; k < need; ++k) area[k] = read < input.size() ? input[read++] : 0.0;
    std::vector<double> chunk(block);
    const int got = r.ResampleOut(chunk.data(), need, block, 1);
    out.insert(out.end(), chunk.begin(), chunk.begin() + got);
  }
  ASSERT_GE(out.size(), 900u);
  for (size_t k = 0; k < out.size(); ++k) ASSERT_EQ(out[k], input[k]) << k;
}

INSTANTIATE_TEST_SUITE_P(Modes, WDL_ResamplerIdentity, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "feed" : "outputDriven"; });

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

TEST(WDL_Resampler, FeedModeHalvingGivesAboutHalfTheFrames) {
  WDL_Resampler r;
  r.SetMode(true, 4, false);
  r.setFeedMode(true);
  r.SetRates(88200, 44100);
  const std::vector<double> input = wavtest::sine(100, 1000, 88200);
  double* area = nullptr;
  ASSERT_EQ(r.ResamplePrepare(100, 1, &area), 100);
  std::copy(input.begin(), input.end(), area);
  double out[100];
  EXPECT_NEAR(r.ResampleOut(out, 100, 100, 1), 49.5, 0.5);
}

TEST(WDL_Resampler, PointSamplingRepeatsFrames) {
  WDL_Resampler r;
  r.SetMode(false, 0, false);
  r.SetRates(22050, 44100);
  const std::vector<double> out = convert(r, {1, 2, 3, 4, 5, 6, 7, 8}, 8, 8);
  ASSERT_GE(out.size(), 8u);
  for (size_t k = 0; k < 8; ++k) EXPECT_EQ(out[k], 1.0 + k / 2);
}

struct ToneCase {
  const char* name;
  bool sinc;
  double inputRate;
  double outputRate;
  double toneHz;
  double minRms;
  double maxRms;
};

void PrintTo(const ToneCase& c, std::ostream* os) { *os << c.name; }

class WDL_ResamplerTone : public ::testing::TestWithParam<ToneCase> {};

// Pitch is kept by every mode; tones above the new Nyquist frequency are removed.
TEST_P(WDL_ResamplerTone, KeepsPitchAndFiltersAliases) {
  const ToneCase& c = GetParam();
  WDL_Resampler r;
  r.SetMode(true, 4, c.sinc, 32, 16);
  r.SetRates(c.inputRate, c.outputRate);
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
    ::testing::Values(ToneCase{"up", false, 22050, 44100, 441, 0.34, 0.36},
                      ToneCase{"down", false, 96000, 44100, 1000, 0.34, 0.36},
                      ToneCase{"downAlias", false, 96000, 44100, 30000, 0.0, 0.02},
                      ToneCase{"sincDown", true, 96000, 44100, 1000, 0.34, 0.36},
                      ToneCase{"sincDownAlias", true, 96000, 44100, 30000, 0.0, 0.02}),
    [](const auto& info) { return std::string(info.param.name); });

// The sinc window is centred on the input: equal rates give the input back closely.
TEST(WDL_Resampler, SincEqualRatesStayAligned) {
  WDL_Resampler r;
  r.SetMode(false, 0, true, 64, 32);
  const std::vector<double> input = wavtest::sine(4000, 300, 44100);
  const std::vector<double> out = convert(r, input, 44, 3000);
  ASSERT_GE(out.size(), 3000u);
  for (size_t k = 100; k < 3000; ++k) ASSERT_NEAR(out[k], input[k], 2e-3) << k;
}

}  // namespace
