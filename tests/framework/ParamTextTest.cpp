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
  if (!(value > 0.0))
    std::snprintf(text, 32, "-oo");
  else
    std::snprintf(text, 32, "%.1f", 20.0 * std::log10(value));
}
void balance(double value, char* text) {
  if (value == 0.0)
    std::snprintf(text, 32, "Left");
  else
    std::snprintf(text, 32, "%.0f:%.0f", (1.0 - value) * 100.0, value * 100.0);
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
// text lands on a step.
TEST(ParamText, TextsReadBackAsValuesThatShowThem) {
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
  };
  for (const Row& row : rows) {
    double value = -1.0;
    ASSERT_TRUE(paramtext::toValue(*row.param, row.typed, &value)) << row.typed;
    EXPECT_EQ(textOf(*row.param, value), row.shown) << row.typed;
  }
}

// What names no value is refused and leaves the value alone: words the parameter does
// not show, numbers beyond what it shows, a unit it does not show, a choice's number
// outside the list.
TEST(ParamText, TextsThatNameNoValueAreRefused) {
  IParam choice;
  choice.InitEnum("Mode", 0, 2);
  choice.SetDisplayText(0, "Soft");
  choice.SetDisplayText(1, "Hard");
  IParam plain;
  plain.InitDouble("Rate", 5.5, 0.001, 24.999, 0.01, "Hz");
  const IParam level = withDisplay(decibels), pan = withDisplay(balance),
               depth = withDisplay(percent);
  struct Row {
    const IParam* param;
    const char* typed;
  };
  for (const Row& row :
       {Row{&choice, ""}, Row{&choice, "   "}, Row{&choice, "Loud"}, Row{&choice, "2"},
        Row{&choice, "-1"}, Row{&level, "loud"}, Row{&level, "6 dB"}, Row{&level, "-6 5"},
        Row{&plain, "99"}, Row{&plain, "7 dB"}, Row{&pan, "25:10"}, Row{&pan, "0.2"},
        Row{&depth, "10 dB"}}) {
    double untouched = 7.0;
    EXPECT_FALSE(paramtext::toValue(*row.param, row.typed, &untouched)) << row.typed;
    EXPECT_EQ(untouched, 7.0) << row.typed;
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
