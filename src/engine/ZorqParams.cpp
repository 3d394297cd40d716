// The parameter table: every parameter's name, range, default, step, shape and
// display text, in the index order that hosts and stored programs use.
#include "engine/ZORQ.h"

#include <cstdio>

#include "engine/ParamDisplay.h"

namespace {
const char* labelVocModes[] = {"VE-10 Standard", "VE-10 Full Bands"};
const char* labelInputMode[] = {"Signal", "File"};
const char* labelOctave[] = {"Normal", "Up"};
const char* labelMeterMode[] = {"Signal", "Mic"};

struct DoubleParam {
  int index;
  const char* name;
  double min, max, defaultValue, step, shape;
  IParam::DisplayFunction display;
  const char* label;
};

// The plain double parameters outside the band block.
const DoubleParam kDoubleParams[] = {
    {kFinalVolume, "Final Volume", 0, 1, 0.25, 0.01, 2, setDisplayTextForDB, ""},
    {kOutBalance, "Out Balance", 0, 1, 0, 0.01, 1, setDisplayTextForOutBalance, ""},
    {kTune, "Tune", -100, 100, 0, 1, 1, nullptr, ""},
    {kVelocity, "Velocity", 0, 1, 0, 0.01, 1, nullptr, ""},
    {kInBalance, "In Balance", 0, 1, 0, 0.01, 1, setDisplayTextForInBalance, ""},
    {kExtLevel, "Ext Level", 0, 2, 1, 0.01, 1, setDisplayTextForDB, ""},
    {kMicLevel, "Mic Level", 0, 2, 1, 0.01, 1, setDisplayTextForDB, ""},
    {kAccentBend, "Accent Bend", 0, 1, 0, 0.01, 1, nullptr, ""},
    {kPitchBend, "Pitch Bend", -12, 12, 2, 1, 1, nullptr, ""},
    {kVibratoSpeed, "Vibrato Speed", 0.001, 24.999, 5.5, 0.01, 2, nullptr, "Hz"},
    {kVibratoDepth, "Vibrato Depth", 0, 1, 0, 0.01, 3, setDisplayTextForPercent, ""},
    {kAttack, "Attack", 0, 1, 0, 0.01, 1, nullptr, ""},
    {kRelease, "Release", 0, 1, 0, 0.01, 1, nullptr, ""},
    {kEnsembleLeftRate1, "Ensemble (L) Rate 1", 0.001, 24.999, 0.65, 0.01, 2, nullptr, ""},
    {kEnsembleRightRate1, "Ensemble (R) Rate 1", 0.001, 24.999, 0.55, 0.01, 2, nullptr, ""},
    {kEnsembleLeftRate2, "Ensemble (L) Rate 2", 0.001, 24.999, 5.7, 0.01, 2, nullptr, ""},
    {kEnsembleRightRate2, "Ensemble (R) Rate 2", 0.001, 24.999, 6.3, 0.01, 2, nullptr, ""},
    {kBias, "Bias", -1, 1, 0, 0.01, 1, nullptr, ""},
    {kLimit, "Limit", 0, 1, 0, 0.01, 1, nullptr, ""},
    {kSpeed, "Speed", -1, 1, 0, 0.01, 1, nullptr, ""},
};
}  // namespace

void ZORQ::initParameters() {
  initListParameter(kVocoderMode, "Vocoder Mode", 0, 2, labelVocModes);
  GetParam(kKeyboard)->InitBool("Keyboard", true);
  initListParameter(kInputMode, "Input Mode", 0, 2, labelInputMode);
  GetParam(kSampleLegato)->InitBool("Sample Legato", true);
  initListParameter(kOctaveUp, "Octave Up", 0, 2, labelOctave);
  GetParam(kEnsemble)->InitBool("Ensemble", false);
  initListParameter(kMeterMode, "Meter Mode", 1, 2, labelMeterMode);

  for (const DoubleParam& p : kDoubleParams) {
    IParam* param = GetParam(p.index);
    param->InitDouble(p.name, p.defaultValue, p.min, p.max, p.step, p.label, "", p.shape);
    param->SetDisplayFunction(p.display);
    param->SetGain(p.display == setDisplayTextForDB);
  }

  char name[IParam::kMaxParamName];
  for (int band = 0; band < kNumBands; ++band) {
    const int number = band + 1;
    std::snprintf(name, sizeof name, "Analysis Freq %i", number);
    GetParam(kAnalysisFreq1 + band)->InitDouble(name, FREQUENCY[band], 16, 16000, 1, "", "", 4);
    std::snprintf(name, sizeof name, "Synthesis Freq %i", number);
    GetParam(kSynthesisFreq1 + band)->InitDouble(name, FREQUENCY[band], 16, 16000, 1, "", "", 4);
    std::snprintf(name, sizeof name, "Synthesis Level %i", number);
    IParam* level = GetParam(kSynthesisLevel1 + band);
    level->InitDouble(name, 1, 0, 2, 0.01, "", "", 1);
    level->SetDisplayFunction(setDisplayTextForDB);
    level->SetGain(true);
    std::snprintf(name, sizeof name, "Synthesis Fixed %i", number);
    GetParam(kSynthesisFixed1 + band)->InitBool(name, false);
  }
}
