// The band bank: analysis filters, envelope followers with bias and limit, and
// the synthesis filters that impose the envelopes on the carrier.
#include "engine/ZORQ.h"

#include <algorithm>
#include <cmath>

void ZORQ::vocode(int n) {
  const size_t length = allocatedLength_;
  std::fill(vocoderOut_[0].get(), vocoderOut_[0].get() + length, 0.0);
  std::fill(vocoderOut_[1].get(), vocoderOut_[1].get() + length, 0.0);
  modulatorLevelSum_ = 0.0;
  if (!(vocoderMix_ > 0.0)) return;

  double* carriers[2] = {carrier_[0].get(), carrier_[1].get()};
  const int fullCarrierBands = vocoderMode_ != 0 ? kNumBands : kFirstNoiseBand;
  for (int band = 0; band < fullCarrierBands; ++band) {
    filter(modulator_[0].get(), carriers, 0, band, n);
    filter(modulator_[1].get(), carriers, 1, band, n);
  }
  // "VE-10 Standard": the top bands articulate the noise alone, and only while
  // there is noise in the carrier.
  if (vocoderMode_ == 0 && noiseLevel_ > 0.0) {
    double* noise[2] = {noise_[0].get(), noise_[1].get()};
    for (int band = kFirstNoiseBand; band < kNumBands; ++band) {
      filter(modulator_[0].get(), noise, 0, band, n);
      filter(modulator_[1].get(), noise, 1, band, n);
    }
  }
}

void ZORQ::filter(const double* modulator, double** carriers, int channel, int band, int n) {
  double* out = vocoderOut_[channel].get();
  Resonator& synthesis = synthesis_[channel][band];
  // A fixed band passes the main carrier at constant gain; its analysis side rests.
  if (fixed_[band]) {
    synthesis.processAdd(carrier_[channel].get(), out, n);
    return;
  }
  double* gains = bandScratch_[channel].get();
  analysis_[channel][band].process(modulator, gains, n);
  Lowpass& follower = followers_[channel][band];
  for (int i = 0; i < n; ++i) {
    const double envelope = micLevel_ * follower.process(std::fabs(gains[i]));
    const double v = bias_ + envelope;
    gains[i] = v >= limit_ ? limit_ : (v <= 0.0 ? 0.0 : v);
    modulatorLevelSum_ += envelope;
  }
  synthesis.processAdd(carriers[channel], out, gains, n);
}
