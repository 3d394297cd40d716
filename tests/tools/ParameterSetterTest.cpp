#include "zorq-render/ParameterSetter.h"

#include <gtest/gtest.h>

#include "zorq-render/PluginHost.h"
#include "zorq-render/RenderError.h"

namespace {
constexpr int kGain = 0, kMode = 1, kLevel = 2;
}

class ParameterSetterTest : public ::testing::Test {
 protected:
  PluginHost host_{ZORQ_FAKE_PLUGIN};
  ParameterSetter setter_{host_};
};

TEST_F(ParameterSetterTest, FindsNamesExactlyThenIgnoringCase) {
  EXPECT_EQ(setter_.findParameter("Mode"), kMode);
  EXPECT_EQ(setter_.findParameter("level"), kLevel);
  EXPECT_THROW(setter_.findParameter("Volume"), RenderError);
}

struct ValueCase {
  int index;
  const char* value;
  const char* display;
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.index << '=' << c.value; }

class ParameterSetterValues : public ParameterSetterTest,
                              public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ParameterSetterValues, ReachTheDisplayedValue) {
  setter_.setFromText(GetParam().index, GetParam().value);
  EXPECT_EQ(host_.paramDisplay(GetParam().index), GetParam().display);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ParameterSetterValues,
    ::testing::Values(ValueCase{kGain, "1.5", "1.50"},      // searched number
                      ValueCase{kGain, "0.37 x", "0.37"},   // with its unit
                      ValueCase{kGain, "7", "2.00"},        // beyond the range: nearest end
                      ValueCase{kGain, "-1", "0.00"},
                      ValueCase{kMode, "Invert", "Invert"},  // display text
                      ValueCase{kMode, "mute", "Mute"},      // ignoring case
                      ValueCase{kMode, "Pass", "Pass"},
                      ValueCase{kLevel, "-6", "-6.0"},       // the plug-in's own conversion
                      ValueCase{kLevel, "-100", "-60.0"}));

TEST_F(ParameterSetterTest, DisplayTextLandsInTheMiddleOfItsRange) {
  setter_.setFromText(kMode, "Invert");
  EXPECT_NEAR(host_.getParameter(kMode), 0.5f, 0.01f);
}

TEST_F(ParameterSetterTest, UnknownValueFailsAndKeepsTheOldValue) {
  host_.setParameter(kMode, 0.9f);
  EXPECT_THROW(setter_.setFromText(kMode, "Loud"), RenderError);
  EXPECT_FLOAT_EQ(host_.getParameter(kMode), 0.9f);
  EXPECT_THROW(setter_.setFromText(kGain, "loud"), RenderError);
}

TEST_F(ParameterSetterTest, NormalisedValuesAreCheckedAndSetAsGiven) {
  setter_.setNormalised(kGain, "0.25");
  EXPECT_FLOAT_EQ(host_.getParameter(kGain), 0.25f);
  EXPECT_THROW(setter_.setNormalised(kGain, "1.5"), RenderError);
  EXPECT_THROW(setter_.setNormalised(kGain, "half"), RenderError);
}

TEST(ParameterSetter, SplitsAssignmentsAtTheFirstEquals) {
  std::string name, value;
  ParameterSetter::splitAssignment(" Vocoder Mode = VE-10 Full Bands ", name, value);
  EXPECT_EQ(name, "Vocoder Mode");
  EXPECT_EQ(value, "VE-10 Full Bands");
  ParameterSetter::splitAssignment("A=B=1", name, value);
  EXPECT_EQ(name, "A");
  EXPECT_EQ(value, "B=1");
  EXPECT_THROW(ParameterSetter::splitAssignment("Gain 1", name, value), RenderError);
  EXPECT_THROW(ParameterSetter::splitAssignment("=1", name, value), RenderError);
}
