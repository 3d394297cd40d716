// The tools menu's band commands on known band sets: the distribution chains,
// reversing, shifts clamped band by band, copies, resets, levels and fixed switches.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EditorTestSupport.h"

namespace {

using Bands = std::vector<double>;
using namespace Properties;

Bands filled(double value) { return Bands(kNumBands, value); }
Bands defaults() { return Bands(FREQUENCY, FREQUENCY + kNumBands); }
Bands geometric(double low, double high) {
  Bands values;
  for (int b = 0; b < kNumBands; ++b) values.push_back(low * std::pow(high / low, b / 19.0));
  return values;
}
// 100 Hz doubling every four bands.
Bands ladder() { return geometric(100.0, 100.0 * std::pow(2.0, 19 / 4.0)); }
Bands linear(double low, double high) {
  Bands values;
  for (int b = 0; b < kNumBands; ++b) values.push_back(low + (high - low) * b / 19.0);
  return values;
}
Bands ends(Bands values, double low, double high) {
  values.front() = low;
  values.back() = high;
  return values;
}
Bands times(const Bands& values, double factor) {
  Bands out;
  for (double v : values) out.push_back(std::fmin(std::fmax(v * factor, 16.0), 16000.0));
  return out;
}
Bands reversed(const Bands& values) { return Bands(values.rbegin(), values.rend()); }

struct ToolsCase {
  const char* name;
  int command;
  int first;  // the block of 20 parameters the command rewrites
  Bands start, expected;
  double relative = 0.0;  // tolerance of chained arithmetic
};
void PrintTo(const ToolsCase& c, std::ostream* os) { *os << c.name; }

class ToolsCommand : public ::testing::TestWithParam<ToolsCase> {
 protected:
  Bands bands(int first) {
    Bands values;
    for (int b = 0; b < kNumBands; ++b) values.push_back(h.instrument.GetParam(first + b)->Value());
    return values;
  }
  void setBands(int first, const Bands& values) {
    for (int b = 0; b < kNumBands; ++b) h.instrument.GetParam(first + b)->Set(values[b]);
  }

  EditorHarness h;
};

// Around the block: frequencies ladder(), levels 0.3 .. 1.9, the fixed switches of the end
// bands on. The other frequency kind stays as it was.
TEST_P(ToolsCommand, RewritesItsBlockWithoutStepRounding) {
  const ToolsCase& c = GetParam();
  setBands(kAnalysisFreq1, ladder());
  setBands(kSynthesisFreq1, ladder());
  setBands(kSynthesisLevel1, linear(0.3, 1.9));
  setBands(kSynthesisFixed1, ends(filled(0), 1, 1));
  setBands(c.first, c.start);
  const Bands others = bands(c.first == kAnalysisFreq1 ? kSynthesisFreq1 : kAnalysisFreq1);
  h.instrument.runToolsCommand(static_cast<ToolsCmd>(c.command));
  const Bands actual = bands(c.first);
  for (int b = 0; b < kNumBands; ++b)
    EXPECT_NEAR(actual[b], c.expected[b], c.relative * std::fabs(c.expected[b])) << "band " << b;
  if (c.command != kResetAll) {
    EXPECT_EQ(bands(c.first == kAnalysisFreq1 ? kSynthesisFreq1 : kAnalysisFreq1), others);
  }
  // The editor's control of band 8 follows a command that acts.
  if (c.start != c.expected) {
    EXPECT_DOUBLE_EQ(h.controlValue(c.first + 7),
                     h.instrument.GetParam(c.first + 7)->GetNormalized());
  }
}

constexpr double kSemitone = 1.0594630943592953;

INSTANTIATE_TEST_SUITE_P(
    Bands, ToolsCommand,
    ::testing::Values(
        ToolsCase{"Logarithmic", kAnalysisDistributeLogarithmic, kAnalysisFreq1,
                  ends(defaults(), 100, 10000), geometric(100, 10000), 1e-12},
        ToolsCase{"Linear", kAnalysisDistributeLinear, kAnalysisFreq1, ends(defaults(), 100, 1950),
                  linear(100, 1950), 1e-12},
        ToolsCase{"Reverse", kSynthesisReverse, kSynthesisFreq1, defaults(), reversed(defaults())},
        ToolsCase{"Reset", kAnalysisReset, kAnalysisFreq1, filled(50), defaults()},
        ToolsCase{"CopyFromSynthesis", kAnalysisCopyFromSynthesis, kAnalysisFreq1, defaults(),
                  ladder()},
        ToolsCase{"OctaveUpClampsEachBand", kAnalysisOctaveUp, kAnalysisFreq1,
                  geometric(100, 12000), times(geometric(100, 12000), 2.0)},
        ToolsCase{"OctaveDownClampsEachBand", kSynthesisOctaveDown, kSynthesisFreq1,
                  geometric(20, 2000), times(geometric(20, 2000), 0.5)},
        ToolsCase{"SemitoneUp", kAnalysisSemitoneUp, kAnalysisFreq1, defaults(),
                  times(defaults(), kSemitone)},
        ToolsCase{"LevelsEqualToLevel1", kLevelsEqualToLevel1, kSynthesisLevel1, linear(0.3, 1.9),
                  filled(0.3)},
        ToolsCase{"LevelsPlus6dB", kLevelsPlus6dB, kSynthesisLevel1, linear(0.3, 1.9), filled(2)},
        ToolsCase{"LevelsMinusInfinity", kLevelsMinusInfinity, kSynthesisLevel1, linear(0.3, 1.9),
                  filled(0)},
        ToolsCase{"AllModulate", kAllModulate, kSynthesisFixed1, ends(filled(0), 1, 1), filled(0)},
        ToolsCase{"AllFixed", kAllFixed, kSynthesisFixed1, ends(filled(0), 1, 1), filled(1)},
        ToolsCase{"ResetAllLevels", kResetAll, kSynthesisLevel1, linear(0.3, 1.9), filled(1)},
        ToolsCase{"ResetAllFrequencies", kResetAll, kAnalysisFreq1, ladder(), defaults()},
        ToolsCase{"PastTheMenu", 32, kSynthesisLevel1, linear(0.3, 1.9), linear(0.3, 1.9)}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

}  // namespace
