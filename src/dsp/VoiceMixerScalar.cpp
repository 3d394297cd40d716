// The voice mixer's reference kernel: each run, frame by frame.
#include "dsp/VoiceRun.h"

void mixVoicesScalar(const VoiceRun* runs, int count, double* out, int n) noexcept {
  for (int r = 0; r < count; ++r) {
    const VoiceRun& run = runs[r];
    uint32_t phase = run.phase;
    for (int i = 0; i < n; ++i) {
      const double sample = run.table[phase >> kVoiceTableShift];
      out[i] += sample * run.levels[i] * run.amplitude;
      phase = (phase + run.increment) & kVoicePhaseMask;
    }
  }
}
