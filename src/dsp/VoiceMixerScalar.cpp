// The voice mixer's reference kernel: each run, frame by frame.
#include "dsp/VoiceRun.h"

void mixVoicesScalar(const VoiceRun* runs, int count, double* out) noexcept {
  for (int r = 0; r < count; ++r) {
    const VoiceRun& run = runs[r];
    uint32_t phase = run.phase;
    for (int i = 0; i < run.frames; ++i) {
      const double sample = run.table[phase >> kVoiceTableShift];
      out[run.at + i] += sample * run.levels[i] * run.amplitude;
      phase = (phase + run.increment) & kVoicePhaseMask;
    }
  }
}
