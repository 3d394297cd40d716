// The tools menu's band commands: levels, fixed switches and the frequency chains.
#include <algorithm>
#include <cmath>

#include "engine/ZORQ.h"

namespace {

constexpr double kSemitone = 1.0594630943592953;        // 2^(1/12)
constexpr double kOneNineteenth = 0.05263157894736842;  // 19 steps from band 1 to band 20

// One of the frequency operations (the code's place in its submenu, 0..9, 5 being
// the separator) on the 20 values f of one kind. Every value written is clamped to
// lo..hi on its own, and the chains step from the already written previous band.
void applyFrequencyOp(int op, double* f, const double* source, const double* defaults, double lo,
                      double hi) {
  const auto clamp = [lo, hi](double v) { return std::min(std::max(v, lo), hi); };
  switch (op) {
    case 0:  // copy from the other kind
      for (int b = 0; b < kNumBands; ++b) f[b] = clamp(source[b]);
      break;
    case 1: {  // geometric spacing between the first and the last band
      const double ratio = std::pow(f[kNumBands - 1] / f[0], kOneNineteenth);
      for (int b = 1; b < kNumBands - 1; ++b) f[b] = clamp(f[b - 1] * ratio);
      break;
    }
    case 2: {  // arithmetic spacing
      const double step = (f[kNumBands - 1] - f[0]) / 19.0;
      for (int b = 1; b < kNumBands - 1; ++b) f[b] = clamp(f[b - 1] + step);
      break;
    }
    case 3:  // reverse
      for (int i = 0; i < kNumBands / 2; ++i) {
        const double t = f[i];
        f[i] = clamp(f[kNumBands - 1 - i]);
        f[kNumBands - 1 - i] = clamp(t);
      }
      break;
    case 4:
      for (int b = 0; b < kNumBands; ++b) f[b] = clamp(defaults[b]);
      break;
    case 6:
      for (int b = 0; b < kNumBands; ++b) f[b] = clamp(f[b] * 2.0);
      break;
    case 7:
      for (int b = 0; b < kNumBands; ++b) f[b] = clamp(f[b] * kSemitone);
      break;
    case 8:
      for (int b = 0; b < kNumBands; ++b) f[b] = clamp(f[b] / kSemitone);
      break;
    case 9:
      for (int b = 0; b < kNumBands; ++b) f[b] = clamp(f[b] * 0.5);
      break;
    default: break;
  }
}

}  // namespace

// Editor thread; takes the plug-in mutex. The values are written as plain values,
// clamped to each parameter's range but not rounded to its step.
void ZORQ::runToolsCommand(Properties::ToolsCmd command) {
  using namespace Properties;
  if (command < kLevelsEqualToLevel1 || command > kSynthesisOctaveDown) return;
  {
    // The plain values are shared with the host's and the audio thread's callers:
    // write them and rebuild the bands as one step under the plug-in mutex.
    IMutexLock lock(Mutex());
    const auto setBlock = [this](int first, double value) {
      for (int band = 0; band < kNumBands; ++band) setParamClamped(first + band, value);
    };
    switch (command) {
      case kLevelsEqualToLevel1: {
        const double level = GetParam(kSynthesisLevel1)->Value();
        for (int band = 1; band < kNumBands; ++band)
          setParamClamped(kSynthesisLevel1 + band, level);
        break;
      }
      case kLevelsPlus6dB: setBlock(kSynthesisLevel1, 2.0); break;
      case kLevels0dB: setBlock(kSynthesisLevel1, 1.0); break;
      case kLevelsMinusInfinity: setBlock(kSynthesisLevel1, 0.0); break;
      case kAllModulate: setBlock(kSynthesisFixed1, 0.0); break;
      case kAllFixed: setBlock(kSynthesisFixed1, 1.0); break;
      case kResetAll:
        for (int i = kAnalysisFreq1; i < kBias; ++i) setParamClamped(i, GetParam(i)->GetDefault());
        break;
      default: {
        if (command < kAnalysisCopyFromSynthesis) return;  // separators of the main menu
        const int offset = command - kAnalysisCopyFromSynthesis;
        const int op = offset % 10;
        if (op == 5) return;  // separator of a submenu
        const int first = offset < 10 ? kAnalysisFreq1 : kSynthesisFreq1;
        const int other = offset < 10 ? kSynthesisFreq1 : kAnalysisFreq1;
        double f[kNumBands], source[kNumBands], defaults[kNumBands];
        for (int b = 0; b < kNumBands; ++b) {
          f[b] = GetParam(first + b)->Value();
          source[b] = GetParam(other + b)->Value();
          defaults[b] = GetParam(first + b)->GetDefault();
        }
        const IParam* target = GetParam(first);
        applyFrequencyOp(op, f, source, defaults, target->GetMin(), target->GetMax());
        for (int b = 0; b < kNumBands; ++b) setParamClamped(first + b, f[b]);
        break;
      }
    }
    for (int i = kAnalysisFreq1; i < kBias; ++i) OnParamChange(i);
  }
  DirtyParameters();
  RedrawParamControls();
}
