// Properties of the whole parameter table, and the display texts hosts show.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/ZORQ.h"
#include "framework/ParamText.h"
#include "support/CommaLocale.h"

namespace {
std::string display(const IParam& p, double plain) {
  char text[64] = {};
  p.GetDisplayForHost(plain, false, text);
  return text;
}
}  // namespace

// Names unique and ungrouped; defaults inside the range and current at start; every
// switch text maps back to its value.
TEST(ParamTable, EveryParameterIsNamedInRangeAndSwitchTextsRoundTrip) {
  ZORQ plug;
  ASSERT_EQ(plug.NParams(), kNumParams);
  std::set<std::string> names;
  for (int i = 0; i < plug.NParams(); ++i) {
    SCOPED_TRACE(i);
    const IParam& p = *plug.GetParam(i);
    EXPECT_NE(p.Type(), IParam::kTypeNone);
    EXPECT_TRUE(names.insert(p.GetNameForHost()).second) << p.GetNameForHost();
    EXPECT_STRNE(p.GetNameForHost(), "");
    EXPECT_STREQ(p.GetParamGroupForHost(), "");
    EXPECT_LT(p.GetMin(), p.GetMax());
    EXPECT_TRUE(p.GetDefault() >= p.GetMin() && p.GetDefault() <= p.GetMax());
    EXPECT_EQ(p.Value(), p.GetDefault());
    for (int t = 0; t < p.GetNDisplayTexts(); ++t) {
      int value = -1, mapped = -2;
      const char* text = p.GetDisplayTextAtIdx(t, &value);
      EXPECT_TRUE(p.MapDisplayText(text, &mapped));
      EXPECT_EQ(mapped, value);
      EXPECT_EQ(display(p, value), text);
    }
  }
}

TEST(ParamTable, DisplayTextsAndLabels) {
  ZORQ plug;
  const struct {
    int index;
    double value;
    const char* text;
  } cases[] = {
      {kFinalVolume, 0.25, "-12.0"},
      {kFinalVolume, 0.0, "-oo"},
      {kOutBalance, 0.25, "75:25"},
      {kOutBalance, 0.0, "Simulator"},
      {kOutBalance, 1.0, "Mic"},
      {kVibratoDepth, 0.333, "33%"},
      {kInputMode, 1.0, "File"},
      {kVocoderMode, 1.0, "VE-10 Full Bands"},
      {kTune, -37.6, "-37"},
      {kVelocity, 0.5, "0.50"},
      {kSynthesisLevel1 + 3, 0.5, "-6.0"},
      {kBias, -0.25, "-0.25"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(display(*plug.GetParam(c.index), c.value), c.text) << c.index;
  EXPECT_STREQ(plug.GetParam(kVibratoSpeed)->GetLabelForHost(), "Hz");
  EXPECT_STREQ(plug.GetParam(kTune)->GetLabelForHost(), "");
}

// A host in a comma-decimal locale sees and types the same texts as one in the C
// locale: every parameter's text at several values, and the value it reads back as.
TEST(ParamTable, TextsAndTypedValuesDoNotDependOnTheLocale) {
  ZORQ plug;
  const auto seenAll = [&] {
    std::vector<std::pair<std::string, double>> seen;
    for (int i = 0; i < plug.NParams(); ++i)
      for (const double normalised : {0.0, 0.013, 0.25, 0.7, 1.0}) {
        const IParam& p = *plug.GetParam(i);
        char text[64];
        paramtext::fromValue(p, p.GetNonNormalized(normalised), text, sizeof text);
        double value = -1.0;
        paramtext::toValue(p, text, &value);
        seen.emplace_back(text, value);
      }
    return seen;
  };
  const auto inC = seenAll();
  const CommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << comma.reason();
  EXPECT_EQ(seenAll(), inC);
}
