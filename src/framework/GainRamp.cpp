#include "framework/GainRamp.h"

#include <algorithm>

void GainRamp::SetSampleRate(double sampleRate) {
  step_ = 1.0 / std::max(1.0, kRampSeconds * sampleRate);
}

// g(k) = gain + k * step toward the target, never beyond it.
double GainRamp::gainAfter(int steps) const {
  const double moved = steps * step_;
  return target_ > gain_ ? std::min(target_, gain_ + moved) : std::max(target_, gain_ - moved);
}

void GainRamp::advance(int nFrames) { gain_ = gainAfter(std::max(nFrames, 0)); }

void GainRamp::Scale(float* const* channels, int nChannels, int nFrames) {
  if (!Moving() && gain_ == 1.0) return;
  for (int c = 0; c < nChannels; ++c) {
    float* samples = channels[c];
    if (!samples) continue;
    for (int i = 0; i < nFrames; ++i)
      samples[i] = static_cast<float>(gainAfter(i + 1) * samples[i]);
  }
  advance(nFrames);
}

template <typename Sample>
void GainRamp::crossfade(Sample* const* out, int nOut, const Sample* const* dry, int nDry,
                         int nFrames) {
  if (!Moving() && gain_ == 1.0) return;
  for (int c = 0; c < nOut; ++c) {
    Sample* samples = out[c];
    if (!samples) continue;
    for (int i = 0; i < nFrames; ++i) {
      const double g = gainAfter(i + 1);
      const double through = c < nDry && dry[c] ? dry[c][i] : 0.0;
      samples[i] = static_cast<Sample>(g * samples[i] + (1.0 - g) * through);
    }
  }
  advance(nFrames);
}

void GainRamp::Crossfade(float* const* out, int nOut, const float* const* dry, int nDry,
                         int nFrames) {
  crossfade(out, nOut, dry, nDry, nFrames);
}

void GainRamp::Crossfade(double* const* out, int nOut, const double* const* dry, int nDry,
                         int nFrames) {
  crossfade(out, nOut, dry, nDry, nFrames);
}
