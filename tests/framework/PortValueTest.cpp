#include "framework/PortValue.h"

#include <gtest/gtest.h>

#include <cmath>

#include "framework/IParam.h"

// A gain's port shows decibels, its minimum standing for silence, and reads back to
// the same gain; other parameters' ports show the plain value; whatever a port holds
// lands on a value the parameter can hold.
TEST(PortValue, GainsShowDecibelsAndEveryPortReadsBackToAValueTheParameterHolds) {
  IParam gain, mode;
  gain.InitDouble("Level", 1, 0, 2, 0.01);
  gain.SetGain(true);
  mode.InitEnum("Mode", 0, 3);
  EXPECT_DOUBLE_EQ(portvalue::Default(gain), 0.0);
  EXPECT_EQ(portvalue::Minimum(gain), portvalue::kGainFloorDb);
  EXPECT_NEAR(portvalue::Maximum(gain), 6.0206, 1e-4);
  EXPECT_NEAR(portvalue::FromPlain(gain, 0.25), -12.0412, 1e-4);
  EXPECT_NEAR(portvalue::ToPlain(gain, static_cast<float>(portvalue::FromPlain(gain, 0.25))), 0.25,
              1e-7);
  EXPECT_EQ(portvalue::ToPlain(gain, portvalue::kGainFloorDb), 0.0);
  EXPECT_EQ(portvalue::ToPlain(gain, -500.0), 0.0);
  EXPECT_EQ(portvalue::ToPlain(gain, static_cast<float>(portvalue::Maximum(gain))), 2.0);
  EXPECT_EQ(portvalue::ToPlain(gain, 40.0), 2.0);
  EXPECT_TRUE(std::isnan(portvalue::ToPlain(gain, std::nan(""))));
  EXPECT_EQ(portvalue::FromPlain(mode, 2), 2.0);
  EXPECT_EQ(portvalue::ToPlain(mode, 1.6), 2.0);
  EXPECT_EQ(portvalue::Maximum(mode), 2.0);
}
