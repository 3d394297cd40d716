#pragma once

// The commands of the editor's tools menu, which rewrite the 20 bands' analysis and
// synthesis frequencies, synthesis levels and fixed switches in one step
// (ZORQ::runToolsCommand). A code is the item's position in the tools menu, plus 12
// in its "Analysis frequencies..." submenu and plus 22 in its "Synthesis
// frequencies..." submenu; separator positions (7, 10, 17, 27) and codes outside
// 3..31 do nothing.
namespace Properties {
enum ToolsCmd {
  kLevelsEqualToLevel1 = 3,
  kLevelsPlus6dB = 4,
  kLevels0dB = 5,
  kLevelsMinusInfinity = 6,
  kAllModulate = 8,
  kAllFixed = 9,
  kResetAll = 11,
  // Analysis frequencies.
  kAnalysisCopyFromSynthesis = 12,
  kAnalysisDistributeLogarithmic = 13,
  kAnalysisDistributeLinear = 14,
  kAnalysisReverse = 15,
  kAnalysisReset = 16,
  kAnalysisOctaveUp = 18,
  kAnalysisSemitoneUp = 19,
  kAnalysisSemitoneDown = 20,
  kAnalysisOctaveDown = 21,
  // Synthesis frequencies: the same operations, ten codes further on.
  kSynthesisCopyFromAnalysis = 22,
  kSynthesisDistributeLogarithmic = 23,
  kSynthesisDistributeLinear = 24,
  kSynthesisReverse = 25,
  kSynthesisReset = 26,
  kSynthesisOctaveUp = 28,
  kSynthesisSemitoneUp = 29,
  kSynthesisSemitoneDown = 30,
  kSynthesisOctaveDown = 31
};
}  // namespace Properties
