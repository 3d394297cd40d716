#pragma once

// The instrument's parameter indices: the one list that the parameter table, the
// engine, the voices and the instrument shell all use, in the order hosts and stored
// programs see them.

#include "dsp/BandTables.h"

enum EParams {
  kVocoderMode = 0,
  kKeyboard,
  kInputMode,
  kSampleLegato,
  kFinalVolume,
  kOutBalance,
  kTune,
  kVelocity,
  kOctaveUp,
  kInBalance,
  kExtLevel,
  kMicLevel,
  kAccentBend,
  kPitchBend,
  kVibratoSpeed,
  kVibratoDepth,
  kEnsemble,
  kMeterMode,
  kAttack,
  kRelease,
  kEnsembleLeftRate1,
  kEnsembleRightRate1,
  kEnsembleLeftRate2,
  kEnsembleRightRate2,
  kAnalysisFreq1 = 24,
  kSynthesisFreq1 = 44,
  kSynthesisLevel1 = 64,
  kSynthesisFixed1 = 84,
  kBias = 104,
  kLimit,
  kSpeed,
  kNumParams
};

// Four blocks of per-band parameters, one parameter per band in each.
static_assert(kSynthesisFreq1 == kAnalysisFreq1 + kNumBands);
static_assert(kSynthesisLevel1 == kSynthesisFreq1 + kNumBands);
static_assert(kSynthesisFixed1 == kSynthesisLevel1 + kNumBands);
static_assert(kBias == kSynthesisFixed1 + kNumBands);
static_assert(kNumParams == 107, "stored programs hold exactly 107 values");
