// Instrument shell: the layer between the host adapter and the vocoder engine. It
// fixes the plug-in's identity and channel layout and offers the program
// operations, activation and reset handling shared by the instrument.
#pragma once

#include "framework/IPlugVST.h"

class Synth : public IPlugVST {
 public:
  static constexpr int kNumParams = 107;
  static constexpr int kNumPresets = 64;
  static constexpr int kVersion = 0x00010103;
  static constexpr int kUniqueID = ('z' << 24) | ('o' << 16) | ('r' << 8) | 'q';

  Synth();

  // Plug-in mutex held by every caller of these hooks.
  void Reset() override;
  void OnParamChange(int paramIdx) override;
  void OnActivate(bool active) override;

  virtual void allNotesOff() {}
  virtual void initParameters() {}
  virtual void initPreset();

  // InitEnum on parameter `index`, then one display text per entry.
  void initListParameter(int index, const char* name, int defaultValue, int count,
                         const char** labels);
};
