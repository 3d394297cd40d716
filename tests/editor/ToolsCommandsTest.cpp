// The tools menu's band commands on known band sets: the distribution chains,
// reversing, shifts clamped band by band, copies, levels, fixed switches and resets.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "EditorTestSupport.h"

namespace {

using Bands = std::vector<double>;
using namespace Properties;

constexpr double kSemitone = 1.0594630943592953;

Bands defaults() { return Bands(FREQUENCY, FREQUENCY + kNumBands); }
Bands filled(double value) { return Bands(kNumBands, value); }

class ToolsCommands : public ::testing::Test {
 protected:
  Bands bands(int first) {
    Bands values;
    for (int b = 0; b < kNumBands; ++b) values.push_back(plug().GetParam(first + b)->Value());
    return values;
  }
  void setBands(int first, const Bands& values) {
    for (int b = 0; b < kNumBands; ++b) plug().GetParam(first + b)->Set(values[b]);
  }
  void run(int command) { plug().runToolsCommand(static_cast<ToolsCmd>(command)); }
  ZORQ& plug() { return h.instrument; }

  EditorHarness h;
};

void expectBands(const Bands& actual, const Bands& expected, double relative = 0.0) {
  for (int b = 0; b < kNumBands; ++b)
    EXPECT_NEAR(actual[b], expected[b], relative * std::fabs(expected[b])) << "band " << b;
}

// A band set for each frequency kind: 100 Hz doubling every four bands (to 2690 Hz).
Bands ladder() {
  Bands values;
  for (int b = 0; b < kNumBands; ++b) values.push_back(100.0 * std::pow(2.0, b / 4.0));
  return values;
}

Bands times(const Bands& values, double factor) {
  Bands out;
  for (double v : values) out.push_back(std::fmin(std::fmax(v * factor, 16.0), 16000.0));
  return out;
}

struct FrequencyCase {
  const char* name;
  int command;
  int first;  // the band kind the command rewrites
  Bands start;
  Bands expected;
  double relative;  // tolerance of chained arithmetic
};
void PrintTo(const FrequencyCase& c, std::ostream* os) { *os << c.name; }

Bands geometric(double low, double high) {
  Bands values;
  for (int b = 0; b < kNumBands; ++b) values.push_back(low * std::pow(high / low, b / 19.0));
  return values;
}

Bands withEnds(Bands values, double low, double high) {
  values.front() = low;
  values.back() = high;
  return values;
}

class FrequencyCommand : public ToolsCommands, public ::testing::WithParamInterface<FrequencyCase> {};

TEST_P(FrequencyCommand, RewritesItsBandsWithoutStepRounding) {
  const FrequencyCase& c = GetParam();
  const int other = c.first == kAnalysisFreq1 ? kSynthesisFreq1 : kAnalysisFreq1;
  setBands(c.first, c.start);
  setBands(other, ladder());
  run(c.command);
  expectBands(bands(c.first), c.expected, c.relative);
  expectBands(bands(other), ladder());
  // The editor's knob of band 8 follows.
  int knobs = 0;
  for (int i = 0; i < h.editor->NControls(); ++i) {
    if (h.control(i)->ParamIdx() != c.first + 7) continue;
    EXPECT_DOUBLE_EQ(h.control(i)->GetValue(), plug().GetParam(c.first + 7)->GetNormalized());
    ++knobs;
  }
  EXPECT_EQ(knobs, 1);
}

Bands reversed(Bands values) { return Bands(values.rbegin(), values.rend()); }
Bands linear(double low, double high) {
  Bands values;
  for (int b = 0; b < kNumBands; ++b) values.push_back(low + (high - low) * b / 19.0);
  return values;
}

INSTANTIATE_TEST_SUITE_P(
    Bands, FrequencyCommand,
    ::testing::Values(
        FrequencyCase{"AnalysisLogarithmic", kAnalysisDistributeLogarithmic, kAnalysisFreq1,
                      withEnds(defaults(), 100, 10000), geometric(100, 10000), 1e-12},
        FrequencyCase{"SynthesisLogarithmic", kSynthesisDistributeLogarithmic, kSynthesisFreq1,
                      withEnds(filled(500), 16, 16000), geometric(16, 16000), 1e-12},
        FrequencyCase{"AnalysisLinear", kAnalysisDistributeLinear, kAnalysisFreq1,
                      withEnds(defaults(), 100, 1950), linear(100, 1950), 1e-12},
        FrequencyCase{"SynthesisLinearEqualEnds", kSynthesisDistributeLinear, kSynthesisFreq1,
                      withEnds(defaults(), 700, 700), filled(700), 0},
        FrequencyCase{"AnalysisReverse", kAnalysisReverse, kAnalysisFreq1, defaults(), reversed(defaults()), 0},
        FrequencyCase{"SynthesisReverse", kSynthesisReverse, kSynthesisFreq1, ladder(), reversed(ladder()), 0},
        FrequencyCase{"AnalysisReset", kAnalysisReset, kAnalysisFreq1, filled(50), defaults(), 0},
        FrequencyCase{"SynthesisReset", kSynthesisReset, kSynthesisFreq1, filled(50), defaults(), 0},
        FrequencyCase{"AnalysisCopy", kAnalysisCopyFromSynthesis, kAnalysisFreq1, defaults(), ladder(), 0},
        FrequencyCase{"SynthesisCopy", kSynthesisCopyFromAnalysis, kSynthesisFreq1, defaults(), ladder(), 0},
        FrequencyCase{"AnalysisOctaveUpClamps", kAnalysisOctaveUp, kAnalysisFreq1, geometric(100, 12000),
                      times(geometric(100, 12000), 2.0), 0},
        FrequencyCase{"SynthesisOctaveDownClamps", kSynthesisOctaveDown, kSynthesisFreq1, geometric(20, 2000),
                      times(geometric(20, 2000), 0.5), 0},
        FrequencyCase{"AnalysisSemitoneUp", kAnalysisSemitoneUp, kAnalysisFreq1, ladder(),
                      times(ladder(), kSemitone), 0},
        FrequencyCase{"SynthesisSemitoneDown", kSynthesisSemitoneDown, kSynthesisFreq1, ladder(),
                      times(ladder(), 1.0 / kSemitone), 1e-15}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolsCommands, ReverseTwiceRestoresAndClampedOctavesLoseTheirSpacing) {
  setBands(kAnalysisFreq1, ladder());
  run(kAnalysisReverse);
  run(kAnalysisReverse);
  expectBands(bands(kAnalysisFreq1), ladder());

  setBands(kSynthesisFreq1, withEnds(ladder(), 100, 12000));
  run(kSynthesisOctaveUp);
  EXPECT_EQ(bands(kSynthesisFreq1).back(), 16000.0);
  run(kSynthesisOctaveDown);
  EXPECT_EQ(bands(kSynthesisFreq1).back(), 8000.0);
  EXPECT_EQ(bands(kSynthesisFreq1).front(), 100.0);
}

struct BlockCase {
  const char* name;
  int command;
  int first;  // levels or fixed switches
  Bands expected;
};
void PrintTo(const BlockCase& c, std::ostream* os) { *os << c.name; }

class BlockCommand : public ToolsCommands, public ::testing::WithParamInterface<BlockCase> {};

TEST_P(BlockCommand, SetsEveryBand) {
  Bands levels = linear(0.3, 1.9);
  setBands(kSynthesisLevel1, levels);
  setBands(kSynthesisFixed1, withEnds(filled(0), 1, 1));
  run(GetParam().command);
  expectBands(bands(GetParam().first), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bands, BlockCommand,
    ::testing::Values(BlockCase{"LevelsEqualToLevel1", kLevelsEqualToLevel1, kSynthesisLevel1, filled(0.3)},
                      BlockCase{"LevelsPlus6dB", kLevelsPlus6dB, kSynthesisLevel1, filled(2.0)},
                      BlockCase{"Levels0dB", kLevels0dB, kSynthesisLevel1, filled(1.0)},
                      BlockCase{"LevelsMinusInfinity", kLevelsMinusInfinity, kSynthesisLevel1, filled(0.0)},
                      BlockCase{"AllModulate", kAllModulate, kSynthesisFixed1, filled(0.0)},
                      BlockCase{"AllFixed", kAllFixed, kSynthesisFixed1, filled(1.0)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolsCommands, ResetAllRestoresEveryBandParameterAndNothingElse) {
  setBands(kAnalysisFreq1, ladder());
  setBands(kSynthesisFreq1, filled(3000));
  setBands(kSynthesisLevel1, filled(0.2));
  setBands(kSynthesisFixed1, filled(1.0));
  plug().GetParam(kBias)->Set(0.5);
  run(kResetAll);
  expectBands(bands(kAnalysisFreq1), defaults());
  expectBands(bands(kSynthesisFreq1), defaults());
  expectBands(bands(kSynthesisLevel1), filled(1.0));
  expectBands(bands(kSynthesisFixed1), filled(0.0));
  EXPECT_EQ(plug().GetParam(kBias)->Value(), 0.5);
}

TEST_F(ToolsCommands, SeparatorsAndCodesOutsideTheMenuDoNothing) {
  setBands(kAnalysisFreq1, ladder());
  setBands(kSynthesisLevel1, filled(0.5));
  for (int command : {-1, 0, 1, 2, 7, 10, 17, 27, 32, 1000}) run(command);
  expectBands(bands(kAnalysisFreq1), ladder());
  expectBands(bands(kSynthesisLevel1), filled(0.5));
}

}  // namespace
