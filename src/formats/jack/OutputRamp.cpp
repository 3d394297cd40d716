#include "formats/jack/OutputRamp.h"

#include <algorithm>

void OutputRamp::Restart(int frames) {
  length_ = std::max(frames, 0);
  done_ = 0;
}

// gain(k) = k / length for the k-th sample since the restart.
void OutputRamp::Apply(float* const* channels, int nChannels, int nFrames) {
  if (!Active() || nFrames <= 0) return;
  const int n = std::min(nFrames, length_ - done_);
  const float step = 1.0f / float(length_);
  for (int c = 0; c < nChannels; ++c) {
    float* out = channels[c];
    if (!out) continue;
    for (int i = 0; i < n; ++i) out[i] *= float(done_ + i) * step;
  }
  done_ += n;
}
