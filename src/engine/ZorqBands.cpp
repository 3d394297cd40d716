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

  const double* modulators[2] = {modulator_[0].get(), modulator_[1].get()};
  double* carriers[2] = {carrier_[0].get(), carrier_[1].get()};
  const int fullCarrierBands = vocoderMode_ != 0 ? kNumBands : kFirstNoiseBand;
  for (int band = 0; band < fullCarrierBands; ++band) filter(modulators, carriers, band, n);
  // "VE-10 Standard": the top bands articulate the noise alone, and only while
  // there is noise in the carrier.
  if (vocoderMode_ == 0 && noiseLevel_ > 0.0) {
    double* noise[2] = {noise_[0].get(), noise_[1].get()};
    for (int band = kFirstNoiseBand; band < kNumBands; ++band) filter(modulators, noise, band, n);
  }
}

// One band, left and right channel interleaved sample by sample: the two
// recursions are independent, so the processor overlaps them. Each channel's
// output and filter state are exactly what running the channels one after the
// other would give.
void ZORQ::filter(const double* const* modulators, double* const* carriers, int band, int n) {
  // Filters run on local copies: the compiler can then keep their state in
  // registers instead of re-reading it after every store to an output buffer.
  Resonator synthesisL = synthesis_[0][band];
  Resonator synthesisR = synthesis_[1][band];
  double* outL = vocoderOut_[0].get();
  double* outR = vocoderOut_[1].get();
  if (fixed_[band]) {
    // A fixed band passes the main carrier at constant gain; its analysis side rests.
    const double* mainL = carrier_[0].get();
    const double* mainR = carrier_[1].get();
    for (int i = 0; i < n; ++i) {
      outL[i] += synthesisL.process(mainL[i]);
      outR[i] += synthesisR.process(mainR[i]);
    }
  } else {
    Resonator analysisL = analysis_[0][band];
    Resonator analysisR = analysis_[1][band];
    Lowpass followerL = followers_[0][band];
    Lowpass followerR = followers_[1][band];
    double* gainsL = bandScratch_[0].get();
    double* gainsR = bandScratch_[1].get();
    const double* modL = modulators[0];
    const double* modR = modulators[1];
    for (int i = 0; i < n; ++i) {
      gainsL[i] = analysisL.process(modL[i]);
      gainsR[i] = analysisR.process(modR[i]);
    }
    double levelSum = 0.0;
    for (int i = 0; i < n; ++i) {
      const double envelopeL = micLevel_ * followerL.process(std::fabs(gainsL[i]));
      const double envelopeR = micLevel_ * followerR.process(std::fabs(gainsR[i]));
      gainsL[i] = bandGain(envelopeL);
      gainsR[i] = bandGain(envelopeR);
      levelSum += envelopeL + envelopeR;
    }
    modulatorLevelSum_ += levelSum;
    const double* carrierL = carriers[0];
    const double* carrierR = carriers[1];
    for (int i = 0; i < n; ++i) {
      outL[i] += synthesisL.process(carrierL[i]) * gainsL[i];
      outR[i] += synthesisR.process(carrierR[i]) * gainsR[i];
    }
    analysisL.clearIfNotFinite();
    analysisR.clearIfNotFinite();
    followerL.clearIfNotFinite();
    followerR.clearIfNotFinite();
    analysis_[0][band] = analysisL;
    analysis_[1][band] = analysisR;
    followers_[0][band] = followerL;
    followers_[1][band] = followerR;
  }
  synthesisL.clearIfNotFinite();
  synthesisR.clearIfNotFinite();
  synthesis_[0][band] = synthesisL;
  synthesis_[1][band] = synthesisR;
}
