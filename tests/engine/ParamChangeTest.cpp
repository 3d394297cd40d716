#include <gtest/gtest.h>

#include "EngineHarness.h"

// Turning "Speed" retunes the followers and keeps their history: automated in small
// steps during a steady vowel, the output level never dips. (Re-initialised
// followers used to drop every band to silence at each step.)
TEST(ParamChange, AutomatedSpeedKeepsTheLevelSteady) {
  EngineHarness h;
  h.setParam(kKeyboard, 0.0);
  const int block = 441;  // 10 ms per automation step; the vowel repeats every 441 samples
  std::vector<double> vowel(44100);
  for (int i = 0; i < 44100; ++i)
    vowel[i] = 0.3 * std::sin(2 * M_PI * 200 * i / 44100.0) +
               0.2 * std::sin(2 * M_PI * 700 * i / 44100.0) +
               0.1 * std::sin(2 * M_PI * 2300 * i / 44100.0);
  const auto carrier = whiteNoise(44100, 5);
  h.process(22050, {vowel, vowel, carrier, carrier});  // settle
  double lowest = 1e9, highest = 0.0;
  for (int step = 0; step < 60; ++step) {
    h.setParam(kSpeed, -0.3 + 0.01 * step);
    h.process(block, {vowel, vowel, carrier, carrier});
    const double level = h.rms(0, 0, 110);  // the 2.5 ms right after the step
    lowest = std::min(lowest, level);
    highest = std::max(highest, level);
  }
  EXPECT_GT(lowest, 0.7 * highest);
}

TEST(ParamChange, IndexOutsideTheTableIsIgnored) {
  EngineHarness h;
  h.plug->OnParamChange(107);
  h.plug->OnParamChange(-1);
  EXPECT_DOUBLE_EQ(h.plug->limit(), 10.0);
}

TEST(ParamChange, ResetRestoresDefaultsAndActivationReappliesParameters) {
  EngineHarness h;
  h.setParam(kAnalysisFreq1 + 4, 2000.0);
  h.setParam(kSynthesisLevel1 + 4, 0.5);
  h.plug->SetSampleRate(48000.0);
  h.plug->Reset();
  EXPECT_DOUBLE_EQ(h.plug->bandBank().analysisFrequency(4), FREQUENCY[4]);
  EXPECT_DOUBLE_EQ(h.plug->bandBank().synthesisLevel(4), 1.0);
  EXPECT_EQ(h.plug->subBlockLength(), 48u);
  h.plug->OnActivate(true);
  EXPECT_DOUBLE_EQ(h.plug->bandBank().analysisFrequency(4), 2000.0);
  EXPECT_DOUBLE_EQ(h.plug->bandBank().synthesisFrequency(4), FREQUENCY[4]);  // analysis only
  EXPECT_DOUBLE_EQ(h.plug->bandBank().synthesisLevel(4), 0.5);
}
