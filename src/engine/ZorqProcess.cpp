// The block loop, the buffer loading of each slice, and the output mix.
#include "engine/ZORQ.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cmath>

#include "dsp/Noise.h"

namespace {
constexpr double kVocoderGain = 0.05;

double sumAbs(const double* x, int n) {
  double sum = 0.0;
  for (int i = 0; i < n; ++i) sum += std::fabs(x[i]);
  return sum;
}

void silence(double** outputs, int nOutputs, int nFrames) {
  for (int c = 0; c < nOutputs; ++c) std::fill(outputs[c], outputs[c] + nFrames, 0.0);
}
}  // namespace

void ZORQ::refreshInputConnections() {
  for (int i = 0; i < kNumInputs; ++i) inputConnected_[i] = IsInChannelConnected(i);
}

void ZORQ::refreshModulatorActive() {
  modulatorActive_[0] = inputFromFile_ || inputConnected_[0];
  modulatorActive_[1] = inputFromFile_ || inputConnected_[1];
}

void ZORQ::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  if (nFrames < 1) return;
  // No reset has sized the buffers yet: the grid stays where it is and the host
  // gets silence rather than stale buffers.
  if (allocatedLength_ == 0) {
    applyParamChanges(INT_MAX);
    silence(outputs, kNumOutputs, nFrames);
    return;
  }
  // A host's parameter change takes effect at the control tick whose window holds
  // its offset; one due in a window that began in an earlier block, at once.
  applyParamChanges(static_cast<int>(remainder_));
  refreshInputConnections();
  refreshModulatorActive();

  double* in[kNumInputs];
  std::copy(inputs, inputs + kNumInputs, in);
  double* outL = outputs[0];
  double* outR = outputs[1];

  int framesLeft = nFrames;
  while (framesLeft > 0) {
    int n;
    if (remainder_ != 0) {
      n = std::min(static_cast<int>(remainder_), framesLeft);
      remainder_ -= static_cast<uint32_t>(n);
    } else {
      const int64_t windowEnd = int64_t(nFrames - framesLeft) + subBlockLength_;
      applyParamChanges(static_cast<int>(std::min<int64_t>(windowEnd, INT_MAX)));
      refreshModulatorActive();
      handleMidiEvents();
      update();
      ++controlTicks_;
      if (static_cast<int>(subBlockLength_) > framesLeft) {
        n = framesLeft;
        remainder_ = subBlockLength_ - static_cast<uint32_t>(n);
      } else {
        n = static_cast<int>(subBlockLength_);
      }
    }

    assert(n > 0 && static_cast<uint32_t>(n) <= allocatedLength_);
    loadBuffers(in, n);
    for (int c = 0; c < kNumInputs; ++c)
      if (inputConnected_[c]) in[c] += n;
    vocode(n);

    const double micGainL = modulatorActive_[0] ? finalVolume_ * micMix_ * micLevel_ : 0.0;
    const double micGainR = modulatorActive_[1] ? finalVolume_ * micMix_ * micLevel_ : 0.0;
    const double vocoderGain = finalVolume_ * kVocoderGain * vocoderMix_;
    const double* modL = modulator_[0].get();
    const double* modR = modulator_[1].get();
    const double* vocL = vocoderOut_[0].get();
    const double* vocR = vocoderOut_[1].get();
    for (int i = 0; i < n; ++i) {
      outL[i] = modL[i] * micGainL + vocL[i] * vocoderGain;
      outR[i] = modR[i] * micGainR + vocR[i] * vocoderGain;
    }
    if (ensembleOn_) {
      ensembles_[0].process(outL, outL, n);
      ensembles_[1].process(outR, outR, n);
    }

    outL += n;
    outR += n;
    framesLeft -= n;
  }
  paramChanges_.advance(nFrames);
}

void ZORQ::loadBuffers(double** inputs, int n) {
  const size_t length = allocatedLength_;
  double* modL = modulator_[0].get();
  double* modR = modulator_[1].get();
  double* carL = carrier_[0].get();
  double* carR = carrier_[1].get();

  // Modulator: the microphone inputs, or the sample player in "File" mode.
  if (inputFromFile_) {
    double* modulators[2] = {modL, modR};
    sampler_.processSamples(modulators, n);
  } else {
    if (inputConnected_[0])
      std::copy(inputs[0], inputs[0] + n, modL);
    else
      std::fill(modL, modL + length, 0.0);
    if (inputConnected_[1])
      std::copy(inputs[1], inputs[1] + n, modR);
    else
      std::fill(modR, modR + length, 0.0);
  }

  // Keyboard carrier: the voices add into carrier L, scaled by the keyboard level
  // and copied to carrier R.
  std::fill(carL, carL + length, 0.0);
  if (keyboardOn_ && keyboardLevel_ > 0.0) {
    Voice::processAll(voiceList_, kNumVoices, carL, n);
    for (int i = 0; i < n; ++i) {
      carL[i] *= keyboardLevel_;
      carR[i] = carL[i];
    }
  } else {
    std::fill(carR, carR + length, 0.0);
  }

  // Noise carrier, the same in both channels; the noise buffers feed the top bands
  // of "VE-10 Standard".
  if (noiseLevel_ > 0.0) {
    double* noiseL = noise_[0].get();
    double* noiseR = noise_[1].get();
    for (int i = 0; i < n; ++i) {
      const double v = noiseLevel_ * getNoise();
      noiseL[i] = noiseR[i] = v;
      carL[i] += v;
      carR[i] += v;
    }
  }

  // External carrier.
  if (externalLevel_ > 0.0) {
    if (inputConnected_[2])
      for (int i = 0; i < n; ++i) carL[i] += externalLevel_ * inputs[2][i];
    if (inputConnected_[3])
      for (int i = 0; i < n; ++i) carR[i] += externalLevel_ * inputs[3][i];
  }

  // Meter: a level sum over the slice, peak-held in the accumulator.
  double level = 0.0;
  if (meterShowsSignal_) {
    if (externalLevel_ > 0.0) {
      double external = 0.0;
      for (int c = 2; c < 4; ++c) {
        if (!inputConnected_[c]) continue;
        for (int i = 0; i < n; ++i) external += std::fabs(externalLevel_ * inputs[c][i]);
      }
      if (inputConnected_[2] && inputConnected_[3]) external *= 0.5;
      level = external;
    }
    level += sumAbs(carL, n);
  } else {
    if (modulatorActive_[0]) level += sumAbs(modL, n);
    if (modulatorActive_[1]) level += sumAbs(modR, n);
    if (modulatorActive_[0] && modulatorActive_[1]) level *= micLevel_ * 0.5;
  }
  meterAccumulator_ = std::max(meterAccumulator_, level);
}
