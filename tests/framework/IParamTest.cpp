#include "framework/IParam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {
std::string display(const IParam& p, double value, bool normalized = false) {
  char text[64] = {};
  p.GetDisplayForHost(value, normalized, text);
  return text;
}
}  // namespace

// Degenerate ranges are widened; non-double types snap to their step, never past the end.
TEST(IParam, RangesAreWidenedAndNonDoubleTypesSnapToTheirStep) {
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
}

// Hosts and controls may hand in anything: NaN keeps the value, the rest is held in 0..1.
TEST(IParam, SetNormalizedIgnoresNaNAndClampsIntoTheRange) {
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
  EXPECT_EQ(display(b, 0), "off");
  EXPECT_EQ(display(b, 1), "on");
  EXPECT_STREQ(b.GetLabelForHost(), "");
  b.SetDisplayText(5, "on");
  int value = -1;
  EXPECT_FALSE(b.MapDisplayText("On", &value));
  EXPECT_EQ(value, -1);
  EXPECT_TRUE(b.MapDisplayText("on", &value));
  EXPECT_EQ(value, 1);
  e.InitEnum("e", 2, 4, "steps");
  e.SetDisplayText(0, "zero");
  EXPECT_EQ(display(e, 2), "2");
  EXPECT_STREQ(e.GetLabelForHost(), "steps");
  EXPECT_EQ(display(e, 0.9), "zero");  // truncation toward zero
  named.InitBool(std::string(100, 'x').c_str(), false);
  EXPECT_EQ(std::string(named.GetNameForHost()), std::string(31, 'x'));
}

// A host hands back the float it was given: that keeps the value exactly, whatever the
// type and shape (a stepped value would otherwise round the other way, a shaped one
// move by the float's rounding). Any other float goes through SetNormalized as before.
TEST(IParam, HostFloatOfTheCurrentValueKeepsItAndOthersMapAsBefore) {
  struct Case {
    const char* kind;
    void (*init)(IParam&);
    double plain;
  };
  const Case cases[] = {
      {"bool", [](IParam& p) { p.InitBool("b", false); }, 1},
      {"int", [](IParam& p) { p.InitInt("i", 0, -3, 20); }, 7},
      {"enum", [](IParam& p) { p.InitEnum("e", 0, 5); }, 2},
      {"stepped double", [](IParam& p) { p.InitDouble("d", 0, -12, 12, 1); }, 2},
      {"shaped double", [](IParam& p) { p.InitDouble("f", 16, 16, 16000, 1, "", "", 4); }, 290},
      {"fine double", [](IParam& p) { p.InitDouble("v", 0, 0.001, 24.999, 0.01, "", "", 2); },
       0.37}};
  for (const Case& c : cases) {
    IParam p;
    c.init(p);
    const std::string kind = c.kind;
    p.Set(c.plain);
    const float reported = static_cast<float>(p.GetNormalized());
    EXPECT_FALSE(p.SetNormalizedFromHost(reported)) << kind;
    EXPECT_EQ(p.Value(), c.plain) << kind;
    for (const float other : {0.0f, 0.3f, std::nextafter(reported, 1.0f), 1.0f, 1.5f}) {
      if (other == reported) continue;
      IParam mapped = p;
      mapped.SetNormalized(other);
      EXPECT_TRUE(p.SetNormalizedFromHost(other)) << kind << " " << other;
      EXPECT_EQ(p.Value(), mapped.Value()) << kind << " " << other;
      p.Set(c.plain);
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
  EXPECT_EQ(toggle.StepCount(), 1);
  EXPECT_EQ(offset.StepCount(), 6);
  EXPECT_EQ(list.StepCount(), 2);
  EXPECT_EQ(level.StepCount(), 0);
  EXPECT_TRUE(toggle.IsChoice());
  EXPECT_TRUE(list.IsChoice());
  EXPECT_FALSE(partial.IsChoice());
  EXPECT_FALSE(offset.IsChoice());
  EXPECT_FALSE(level.IsChoice());
}
