// The band bank's driver: one pass of the bank over a run of slices.
#include "engine/ZORQ.h"

#include <algorithm>

void ZORQ::vocode(int n, int sumFrom) {
  double* out[2] = {vocoderOut_[0].get(), vocoderOut_[1].get()};
  modulatorLevelSum_ = 0.0;
  if (!(vocoderMix_ > 0.0)) {
    for (double* channel : out) std::fill(channel, channel + n, 0.0);
    return;
  }
  BandBank::Settings settings;
  settings.fullBands = vocoderMode_ != 0;
  settings.noiseBandsRun = noiseLevel_ > 0.0;
  settings.bias = bias_;
  settings.limit = limit_;
  settings.micLevel = micLevel_;
  const double* modulators[2] = {modulator_[0].get(), modulator_[1].get()};
  const double* carriers[2] = {carrier_[0].get(), carrier_[1].get()};
  const double* noise[2] = {noise_[0].get(), noise_[1].get()};
  modulatorLevelSum_ = bank_.process(modulators, carriers, noise, out, n, settings, sumFrom);
}
