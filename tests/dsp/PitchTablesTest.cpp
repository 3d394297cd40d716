#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "dsp/PitchTables.h"

namespace {

// Between semitones the frequency is linear in Hz (pitches 64 and -64), not in cents.
TEST(PitchTables, ToHzGivesListedFrequencies) {
  const std::pair<int, double> points[] = {{-64, (8.176 + 7.7171163805) / 2},
                                           {64, (8.176 + 8.662) / 2},
                                           {1 << 30, 19912.127},
                                           {-(1 << 30), 0.0033570162}};
  for (const auto& [pitchIndex, hz] : points)
    EXPECT_DOUBLE_EQ(pitch::toHz(pitchIndex), hz) << pitchIndex;
}

TEST(PitchTables, TablesStayWithinFiveMillihertzOfEqualTemperament) {
  for (int i = 0; i < pitch::kTableSize; ++i) {
    EXPECT_NEAR(pitch::kMidiToHz[i], 440.0 * std::pow(2.0, (i - 69) / 12.0), 0.005) << i;
    EXPECT_NEAR(pitch::kBelowMidiToHz[i], 8.176 * std::pow(2.0, -i / 12.0), 1e-9) << i;
  }
}

TEST(PitchTables, FromHzFindsSemitonesWithinTheBisectionResolutionAndStaysInRange) {
  for (int note : {24, 60, 61, 69, 127})
    EXPECT_EQ(pitch::fromHz(pitch::kMidiToHz[note]), note * 128) << note;
  // Fourteen halvings of 8640 cannot reach the very ends of the range exactly.
  EXPECT_NEAR(pitch::fromHz(pitch::kMidiToHz[0]), 0, 8);
  EXPECT_NEAR(pitch::fromHz(pitch::kMidiToHz[135]), 17280, 8);
  EXPECT_GE(pitch::fromHz(-1.0), 0);
  EXPECT_LE(pitch::fromHz(1e9), 17280);
  EXPECT_GE(pitch::fromHz(NAN), 0);
}

}  // namespace
