// The band bank's driver: one pass of the bank over a run of slices.
#include "engine/ZORQ.h"

#include <algorithm>

void ZORQ::vocode(int n, int lastSlice) {
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
  // Frames from `at` on: the bank's output is the same however the frames are cut.
  auto run = [&](int at, int frames) {
    const double* modulators[2] = {modulator_[0].get() + at, modulator_[1].get() + at};
    const double* carriers[2] = {carrier_[0].get() + at, carrier_[1].get() + at};
    const double* noise[2] = {noise_[0].get() + at, noise_[1].get() + at};
    double* outs[2] = {out[0] + at, out[1] + at};
    return bank_.process(modulators, carriers, noise, outs, frames, settings);
  };
  const int before = n - lastSlice;
  if (before > 0) run(0, before);
  modulatorLevelSum_ = run(before, lastSlice);
}
