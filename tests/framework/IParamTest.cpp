#include "framework/IParam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <tuple>
#include <utility>

#include "framework/ParamText.h"
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
  const std::tuple<const IParam*, const char*, const char*> rows[] = {
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
  for (const auto& [param, typed, shown] : rows) {
    double value = 7.0;
    ASSERT_EQ(paramtext::toValue(*param, typed, &value), shown != nullptr) << typed;
    EXPECT_EQ(shown ? textOf(*param, value) : std::to_string(value),
              shown ? shown : std::to_string(7.0))
        << typed;
  }
  char cut[4] = {'x', 'x', 'x', 'x'};  // a small buffer gets the start of the text, ended
  paramtext::fromValue(plain, 12.25, cut, sizeof cut);
  EXPECT_STREQ(cut, "12.");
}

// A gain's port shows decibels, its minimum standing for silence, and reads back to
// the same gain; other parameters' ports show the plain value; whatever a port holds
// lands on a value the parameter can hold. A gain's typed decibels read as the value its
// port stands for, so a typed level means the same in every format.
TEST(PortValue, GainsShowDecibelsAndEveryPortReadsBackToAValueTheParameterHolds) {
  IParam gain = withDisplay(decibels, 2.0), mode;
  gain.SetGain(true);
  mode.InitEnum("Mode", 0, 3);
  double typed = 0.0;
  ASSERT_TRUE(paramtext::toValue(gain, "-6 dB", &typed));
  EXPECT_EQ(typed, portvalue::ToPlain(gain, -6.0));
  EXPECT_NEAR(portvalue::Default(gain), -6.0206, 1e-4);
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

}  // namespace

// Degenerate ranges are widened; non-double types snap to their step, never past the end;
// a normalised value is held in 0..1 and NaN is ignored.
TEST(IParam, RangesAreWidenedAndNormalisedValuesSnapClampOrAreIgnored) {
  IParam oneEntryEnum, flatInt, narrowDouble, ten, three;
  oneEntryEnum.InitEnum("e", 0, 1);
  EXPECT_EQ(oneEntryEnum.GetMax(), 1.0);
  flatInt.InitInt("i", 3, 3, 3);
  EXPECT_EQ(flatInt.GetMax(), 4.0);
  narrowDouble.InitDouble("d", 0, 0, 0.001, 0.01);
  EXPECT_DOUBLE_EQ(narrowDouble.GetMax(), 0.01);
  ten.InitInt("a", 0, 0, 10);
  ten.SetNormalized(0.5);
  EXPECT_EQ(ten.Value(), 5.0);
  ten.SetNormalized(1.2);
  EXPECT_EQ(ten.Value(), 10.0);
  three.InitInt("b", 0, 0, 3);
  three.SetNormalized(0.5);
  EXPECT_EQ(three.Value(), 2.0);  // 1.5 rounds up
  // Hosts and controls may hand in anything: NaN keeps the value, the rest is held in 0..1.
  const double inf = std::numeric_limits<double>::infinity();
  using Row = std::tuple<double, double, double>;
  for (const auto& [shape, normalized, plain] :
       {Row{1.0, std::nan(""), 0.5}, Row{1, -1e30, -1}, Row{1, 1e30, 1}, Row{1, -inf, -1},
        Row{1, inf, 1}, Row{3, -0.5, -1}, Row{2, -1e30, -1}}) {
    IParam p;
    p.InitDouble("x", 0.5, -1, 1, 0.01, "", "", shape);
    p.SetNormalized(normalized);
    EXPECT_EQ(p.Value(), plain) << normalized << " shape " << shape;
  }
}

// Bools show words and no label; a missing text shows the number and the label; text
// lookup is case-sensitive and the first match wins; long names are cut.
TEST(IParam, DisplayTextsLabelsAndNames) {
  IParam b, e, named;
  b.InitBool("b", true, "units");
  EXPECT_EQ(textOf(b, 0), "off");
  EXPECT_EQ(textOf(b, 1), "on");
  EXPECT_STREQ(b.GetLabelForHost(), "");
  b.SetDisplayText(5, "on");
  int value = -1;
  EXPECT_FALSE(b.MapDisplayText("On", &value));
  EXPECT_EQ(value, -1);
  EXPECT_TRUE(b.MapDisplayText("on", &value));
  EXPECT_EQ(value, 1);
  e.InitEnum("e", 2, 4, "steps");
  e.SetDisplayText(0, "zero");
  EXPECT_EQ(textOf(e, 2), "2");
  EXPECT_STREQ(e.GetLabelForHost(), "steps");
  EXPECT_EQ(textOf(e, 0.9), "zero");  // truncation toward zero
  named.InitBool(std::string(100, 'x').c_str(), false);
  EXPECT_EQ(std::string(named.GetNameForHost()), std::string(31, 'x'));
}

// A host hands back the float it was given: that keeps the value exactly, whatever the
// type and shape (a stepped value would otherwise round the other way, a shaped one
// move by the float's rounding). Any other float goes through SetNormalized as before.
TEST(IParam, HostFloatOfTheCurrentValueKeepsItAndOthersMapAsBefore) {
  // A bool, an int, an enum, a stepped, a shaped and a fine double.
  IParam toggle, count, list, stepped, shaped, fine;
  toggle.InitBool("b", false);
  count.InitInt("i", 0, -3, 20);
  list.InitEnum("e", 0, 5);
  stepped.InitDouble("d", 0, -12, 12, 1);
  shaped.InitDouble("f", 16, 16, 16000, 1, "", "", 4);
  fine.InitDouble("v", 0, 0.001, 24.999, 0.01, "", "", 2);
  for (const auto& [param, plain] :
       {std::pair{&toggle, 1.0}, std::pair{&count, 7.0}, std::pair{&list, 2.0},
        std::pair{&stepped, 2.0}, std::pair{&shaped, 290.0}, std::pair{&fine, 0.37}}) {
    IParam& p = *param;
    const std::string kind = p.GetNameForHost();
    p.Set(plain);
    const float reported = static_cast<float>(p.GetNormalized());
    EXPECT_FALSE(p.SetNormalizedFromHost(reported)) << kind;
    EXPECT_EQ(p.Value(), plain) << kind;
    for (const float other : {0.0f, 0.3f, std::nextafter(reported, 1.0f), 1.0f, 1.5f}) {
      if (other == reported) continue;
      IParam mapped = p;
      mapped.SetNormalized(other);
      EXPECT_TRUE(p.SetNormalizedFromHost(other)) << kind << " " << other;
      EXPECT_EQ(p.Value(), mapped.Value()) << kind << " " << other;
      p.Set(plain);
    }
  }
}

// Every format hands a stepped value that arrives fractional to Constrain: it lands on
// the nearest step (a half step up, steps counted from min) inside the range; a
// double is only held in its range. The step count and the list rule follow the type
// and the texts.
TEST(IParam, ConstrainStepsAndListsAreOneRuleForEveryFormat) {
  IParam toggle, offset, list, partial, level;
  toggle.InitBool("t", false);
  offset.InitInt("o", 0, -3, 3);
  list.InitEnum("l", 0, 3);
  for (int i = 0; i < 3; ++i) list.SetDisplayText(i, i == 0 ? "a" : i == 1 ? "b" : "c");
  partial.InitEnum("p", 0, 3);
  partial.SetDisplayText(0, "a");
  level.InitDouble("d", 1, 0, 2, 0.01);
  using Row = std::tuple<const IParam*, double, double>;
  for (const auto& [param, in, out] :
       {Row{&toggle, 0.49, 0.0}, Row{&toggle, 0.5, 1}, Row{&toggle, 7, 1}, Row{&offset, -1.5, -1},
        Row{&offset, -2.6, -3}, Row{&offset, -9, -3}, Row{&list, 1.2, 1}, Row{&list, 2.5, 2},
        Row{&level, 0.123, 0.123}, Row{&level, 3, 2}})
    EXPECT_EQ(param->Constrain(in), out) << param->GetNameForHost() << " " << in;
  EXPECT_TRUE(std::isnan(level.Constrain(std::nan(""))));
  for (const auto& [param, steps, choice] :
       {std::tuple{&toggle, 1, true}, std::tuple{&offset, 6, false}, std::tuple{&list, 2, true},
        std::tuple{&partial, 2, false}, std::tuple{&level, 0, false}}) {
    EXPECT_EQ(param->StepCount(), steps) << param->GetNameForHost();
    EXPECT_EQ(param->IsChoice(), choice) << param->GetNameForHost();
  }
}
