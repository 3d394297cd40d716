#include "framework/ParamText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "framework/IParam.h"
#include "framework/PortValue.h"

namespace {
// Display functions of the shapes parameters use: decibels with a word at zero, a
// balance whose first number falls as the value rises, and a percentage.
void decibels(double value, char* text) {
  std::snprintf(text, 32, value > 0.0 ? "%.1f" : "-oo", 20.0 * std::log10(value));
}
void balance(double value, char* text) {
  std::snprintf(text, 32, value == 0.0 ? "Left" : "%.0f:%.0f", (1.0 - value) * 100.0,
                value * 100.0);
}
void percent(double value, char* text) { std::snprintf(text, 32, "%.0f%%", value * 100.0); }

IParam withDisplay(IParam::DisplayFunction display, double max = 1.0) {
  IParam param;
  param.InitDouble("Shown", 0.5, 0.0, max, 0.01);
  param.SetDisplayFunction(display);
  return param;
}

std::string textOf(const IParam& param, double value) {
  char text[64];
  paramtext::fromValue(param, value, text, sizeof text);
  return text;
}
}  // namespace

// Each text reads back as a value that shows it again; numbers typed without the
// display's decimals or with a unit read as the nearest text; a stepped parameter's
// text lands on a step. What names no value (shown: null) is refused and leaves the
// value alone: words the parameter does not show, numbers beyond what it shows, a unit
// it does not show, a choice's number outside the list.
TEST(ParamText, TextsReadBackAsValuesThatShowThemOrAreRefused) {
  IParam choice;
  choice.InitEnum("Mode", 0, 3);
  for (int i = 0; i < 3; ++i) choice.SetDisplayText(i, i == 0 ? "Soft" : i == 1 ? "Hard" : "Clip");
  IParam plain;
  plain.InitDouble("Rate", 5.5, 0.001, 24.999, 0.01, "Hz");
  IParam whole, count;
  whole.InitDouble("Tune", 0.0, -100.0, 100.0, 1.0);
  count.InitInt("Count", 0, 0, 10);
  const IParam level = withDisplay(decibels, 2.0), pan = withDisplay(balance),
               depth = withDisplay(percent);
  struct Row {
    const IParam* param;
    const char* typed;
    const char* shown;
  };
  const Row rows[] = {
      {&choice, " clip ", "Clip"}, {&choice, "2", "Clip"},         {&plain, "5.5", "5.50 Hz"},
      {&plain, "7 hz", "7.00 Hz"}, {&plain, "25.004", "25.00 Hz"}, {&whole, "-12", "-12"},
      {&whole, "-0", "0"},         {&whole, "+12", "12"},          {&level, "-6", "-6.0"},
      {&level, "-6 dB", "-6.0"},   {&level, "-6.0", "-6.0"},       {&level, "-oo", "-oo"},
      {&level, "-6.04", "-6.0"},   {&pan, "Left", "Left"},         {&pan, "25:75", "25:75"},
      {&pan, "100:0", "100:0"},    {&depth, "33%", "33%"},         {&depth, "0", "0%"},
      {&count, "2.6", "3"},  // a stepped value lands on a step
      {&choice, "", nullptr},      {&choice, "   ", nullptr},      {&choice, "Loud", nullptr},
      {&choice, "3", nullptr},     {&choice, "-1", nullptr},       {&level, "loud", nullptr},
      {&level, "7 dB", nullptr},   {&level, "-6 5", nullptr},      {&plain, "99", nullptr},
      {&plain, "7 dB", nullptr},   {&pan, "25:10", nullptr},       {&pan, "0.2", nullptr},
      {&depth, "10 dB", nullptr}};
  for (const Row& row : rows) {
    double value = 7.0;
    ASSERT_EQ(paramtext::toValue(*row.param, row.typed, &value), row.shown != nullptr) << row.typed;
    EXPECT_EQ(row.shown ? textOf(*row.param, value) : std::to_string(value),
              row.shown ? row.shown : std::to_string(7.0))
        << row.typed;
  }
}

// A gain's decibels read as the value an LV2 port in decibels stands for, so a typed
// level means the same in every format.
TEST(ParamText, AGainsDecibelsAreReadExactly) {
  IParam gain = withDisplay(decibels, 2.0);
  gain.SetGain(true);
  double value = 0.0;
  ASSERT_TRUE(paramtext::toValue(gain, "-6 dB", &value));
  EXPECT_EQ(value, portvalue::ToPlain(gain, -6.0));
}

// A small buffer gets the start of the text, always ended.
TEST(ParamText, TextsAreCutToTheBuffer) {
  IParam plain;
  plain.InitDouble("Rate", 5.5, 0.0, 25.0, 0.01, "Hz");
  char text[4] = {'x', 'x', 'x', 'x'};
  paramtext::fromValue(plain, 12.25, text, sizeof text);
  EXPECT_STREQ(text, "12.");
}

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
