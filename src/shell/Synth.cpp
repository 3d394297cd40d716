#include "shell/Synth.h"

#include <cmath>

namespace {
const char* const kInputLabels[] = {"MIC Left ", "MIC Right ", "EXT Left ", "EXT Right "};
const char* const kOutputLabels[] = {"ZORQ Left ", "ZORQ Right "};
}  // namespace

Synth::Synth()
    : IPlugVST(kNumParams, "2-2 4-2", kNumPresets, "ZORQ", "", "Zander Volt Music", kVersion,
               kUniqueID, kUniqueID, 0, true, true, false) {
  for (int i = 0; i < 4; ++i) SetInputLabel(i, kInputLabels[i]);
  for (int i = 0; i < 2; ++i) SetOutputLabel(i, kOutputLabels[i]);
}

void Synth::Reset() { IMutexLock lock(Mutex()); }

void Synth::OnParamChange(int) { IMutexLock lock(Mutex()); }

void Synth::OnActivate(bool active) {
  IMutexLock lock(Mutex());
  if (active) OnParamReset();
}

void Synth::initPreset() {
  IMutexLock lock(Mutex());
  for (int i = 0; i < NParams(); ++i) {
    const IParam* param = GetParam(i);
    SetParameterFromGUI(i, param->GetNormalized(param->GetDefault()));
  }
}

void Synth::initListParameter(int index, const char* name, int defaultValue, int count,
                              const char** labels) {
  IParam* param = GetParam(index);
  if (!param) return;
  param->InitEnum(name, defaultValue, count, "", "");
  for (int i = 0; i < count; ++i) param->SetDisplayText(i, labels[i]);
}
