// The bank the format suites load: its first three programs differ audibly from the
// defaults and from each other (full bands, ensemble, levels, frequencies, balances,
// octave, envelope, pitch-bend range: the wheel is heard). Only the third uses the noise carrier,
// whose generator all instances of one plug-in file share: two instances rendered one after the
// other give the same samples only without it.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/ZORQ.h"
#include "framework/ByteChunk.h"

// The bank's bytes with program `current` selected; `copy`, when given, loads it too.
inline std::vector<uint8_t> testBank(int current = 0, ZORQ* copy = nullptr) {
  ZORQ zorq;
  zorq.EnsureDefaultPreset();
  struct Setting {
    int program, param;
    double value;
  };
  const int band9 = kAnalysisFreq1 + 8, level4 = kSynthesisLevel1 + 3;
  const Setting settings[] = {{0, kVocoderMode, 1}, {0, kFinalVolume, 0.5}, {0, kOutBalance, 0.2},
                              {0, kEnsemble, 1},    {0, band9, 150},        {0, kBias, 0.3},
                              {0, kPitchBend, 2},   {1, kVocoderMode, 1},   {1, kFinalVolume, 0.8},
                              {1, kPitchBend, -5},  {1, level4, 1.7},       {1, kOctaveUp, 1},
                              {1, kTune, 40},       {1, kAttack, 0.2},      {2, kEnsemble, 1},
                              {2, kTune, 30},       {2, kExtLevel, 0.3},    {2, kInBalance, 0.4}};
  const char* names[] = {"Plain", "Robot", "Choir"};
  for (int program = 0; program < 3; ++program) {
    zorq.RestorePreset(program);
    for (const Setting& s : settings)
      if (s.program == program) zorq.GetParam(s.param)->Set(s.value);
    zorq.OnParamReset();
    zorq.ModifyCurrentPreset(names[program]);
  }
  zorq.RestorePreset(current);
  ByteChunk bank;
  zorq.serializeBankChunk(&bank);
  if (copy) {
    copy->SelectPreset(current);
    copy->unserializeBankChunk(&bank);
  }
  return std::vector<uint8_t>(bank.GetBytes(), bank.GetBytes() + bank.Size());
}
