#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/ParamDisplay.h"
#include "engine/ZORQ.h"

namespace {
struct Row {
  int index;
  const char* name;
  double min, max, defaultValue, shape;
  int type;
};

class ParamTable : public ::testing::TestWithParam<Row> {
 protected:
  static ZORQ& plug() {
    static ZORQ instance;
    return instance;
  }
};

std::string display(ZORQ& plug, int index, double plain) {
  char text[64] = {};
  plug.GetParam(index)->GetDisplayForHost(plain, false, text);
  return text;
}
}  // namespace

TEST_P(ParamTable, RowMatchesTheTable) {
  const Row& row = GetParam();
  const IParam* p = plug().GetParam(row.index);
  ASSERT_NE(p, nullptr);
  EXPECT_STREQ(p->GetNameForHost(), row.name);
  EXPECT_DOUBLE_EQ(p->GetMin(), row.min);
  EXPECT_DOUBLE_EQ(p->GetMax(), row.max);
  EXPECT_DOUBLE_EQ(p->GetDefault(), row.defaultValue);
  EXPECT_DOUBLE_EQ(p->Value(), row.defaultValue);
  EXPECT_DOUBLE_EQ(p->GetShape(), row.shape);
  EXPECT_EQ(p->Type(), row.type);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParamTable,
    ::testing::Values(Row{0, "Vocoder Mode", 0, 1, 0, 1, IParam::kTypeEnum},
                      Row{1, "Keyboard", 0, 1, 1, 1, IParam::kTypeBool},
                      Row{2, "Input Mode", 0, 1, 0, 1, IParam::kTypeEnum},
                      Row{3, "Sample Legato", 0, 1, 1, 1, IParam::kTypeBool},
                      Row{4, "Final Volume", 0, 1, 0.25, 2, IParam::kTypeDouble},
                      Row{6, "Tune", -100, 100, 0, 1, IParam::kTypeDouble},
                      Row{13, "Pitch Bend", -12, 12, 2, 1, IParam::kTypeDouble},
                      Row{14, "Vibrato Speed", 0.001, 24.999, 5.5, 2, IParam::kTypeDouble},
                      Row{15, "Vibrato Depth", 0, 1, 0, 3, IParam::kTypeDouble},
                      Row{16, "Ensemble", 0, 1, 0, 1, IParam::kTypeBool},
                      Row{17, "Meter Mode", 0, 1, 1, 1, IParam::kTypeEnum},
                      Row{23, "Ensemble (R) Rate 2", 0.001, 24.999, 6.3, 2, IParam::kTypeDouble},
                      Row{24, "Analysis Freq 1", 16, 16000, 240.6, 4, IParam::kTypeDouble},
                      Row{43, "Analysis Freq 20", 16, 16000, 9425.1, 4, IParam::kTypeDouble},
                      Row{44, "Synthesis Freq 1", 16, 16000, 240.6, 4, IParam::kTypeDouble},
                      Row{73, "Synthesis Level 10", 0, 2, 1, 1, IParam::kTypeDouble},
                      Row{103, "Synthesis Fixed 20", 0, 1, 0, 1, IParam::kTypeBool},
                      Row{104, "Bias", -1, 1, 0, 1, IParam::kTypeDouble},
                      Row{105, "Limit", 0, 1, 0, 1, IParam::kTypeDouble},
                      Row{106, "Speed", -1, 1, 0, 1, IParam::kTypeDouble}));

TEST(ParamTableTexts, EveryParameterIsInitialisedWithANameAndNoGroup) {
  ZORQ plug;
  ASSERT_EQ(plug.NParams(), 107);
  for (int i = 0; i < plug.NParams(); ++i) {
    const IParam* p = plug.GetParam(i);
    EXPECT_NE(p->Type(), IParam::kTypeNone) << i;
    EXPECT_GT(std::strlen(p->GetNameForHost()), 0u) << i;
    EXPECT_STREQ(p->GetParamGroupForHost(), "") << i;
  }
  EXPECT_STREQ(plug.GetParam(kVibratoSpeed)->GetLabelForHost(), "Hz");
  EXPECT_STREQ(plug.GetParam(kTune)->GetLabelForHost(), "");
}

TEST(ParamTableTexts, DisplayTextsMatchTheTable) {
  ZORQ plug;
  struct Case {
    int index;
    double value;
    const char* text;
  };
  const Case cases[] = {
      {kFinalVolume, 0.25, "-12.0"},     {kFinalVolume, 0.0, "-oo"},
      {kMicLevel, 2.0, "6.0"},           {kOutBalance, 0.25, "75:25"},
      {kOutBalance, 0.0, "Simulator"},   {kOutBalance, 1.0, "Mic"},
      {kInBalance, 0.5, "50:50"},        {kInBalance, 0.0, "KBD"},
      {kInBalance, 1.0, "Noise"},        {kVibratoDepth, 0.333, "33%"},
      {kInputMode, 1.0, "File"},         {kMeterMode, 1.0, "Mic"},
      {kVocoderMode, 1.0, "VE-10 Full Bands"}, {kOctaveUp, 0.0, "Normal"},
      {kKeyboard, 1.0, "on"},            {kEnsemble, 0.0, "off"},
      {kTune, -37.6, "-37"},             {kVelocity, 0.5, "0.50"},
      {kVibratoSpeed, 5.5, "5.50"},      {kAnalysisFreq1, 240.6, "240"},
      {kSynthesisLevel1 + 3, 0.5, "-6.0"}, {kBias, -0.25, "-0.25"},
  };
  for (const Case& c : cases) EXPECT_EQ(display(plug, c.index, c.value), c.text) << c.index;
}
