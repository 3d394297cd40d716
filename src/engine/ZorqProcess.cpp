// The block loop (ZorqBlockLoop.h), the buffer loading of each slice, and the output mix.
#include "engine/ZorqBlockLoop.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cmath>

#include "dsp/Noise.h"

namespace {
constexpr double kVocoderGain = 0.05;

// Four sums side by side, so that the additions do not wait for each other (the meter
// shows the level, nothing else reads it).
double sumAbs(const double* x, int n) {
  double sum[4] = {0.0, 0.0, 0.0, 0.0};
  int i = 0;
  for (; i + 4 <= n; i += 4)
    for (int k = 0; k < 4; ++k) sum[k] += std::fabs(x[i + k]);
  for (; i < n; ++i) sum[0] += std::fabs(x[i]);
  return (sum[0] + sum[1]) + (sum[2] + sum[3]);
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
  NoStageMarks none;
  processBlock(inputs, outputs, nFrames, none);
}

void ZORQ::loadModulator(double** inputs, int at, int n) {
  double* modL = modulator_[0].get() + at;
  double* modR = modulator_[1].get() + at;
  // The microphone inputs, or the sample player in "File" mode.
  if (inputFromFile_) {
    double* modulators[2] = {modL, modR};
    sampler_.processSamples(modulators, n);
    return;
  }
  if (inputConnected_[0])
    std::copy(inputs[0], inputs[0] + n, modL);
  else
    std::fill(modL, modL + n, 0.0);
  if (inputConnected_[1])
    std::copy(inputs[1], inputs[1] + n, modR);
  else
    std::fill(modR, modR + n, 0.0);
}

void ZORQ::planKeyboard(int n) {
  if (keyboardOn_ && keyboardLevel_ > 0.0) voiceMixer_.plan(voiceList_, kNumVoices, n);
}

// The carriers of a run start at 0 and take the voices, the noise and the external
// inputs in that order. Each stage says whether the carriers hold anything yet; the first
// to write takes 0 + its value (which turns -0 into 0, as adding to a cleared buffer
// does), and a run with none of them clears them at the end.
//
// The voices add into carrier L, scaled by the keyboard level and copied to carrier R.
bool ZORQ::loadKeyboard(int n) {
  if (!(keyboardOn_ && keyboardLevel_ > 0.0)) {
    voiceMixer_.discard();
    return false;
  }
  double* carL = carrier_[0].get();
  double* carR = carrier_[1].get();
  std::fill(carL, carL + n, 0.0);
  assert(voiceMixer_.plannedFrames() == n);
  voiceMixer_.mix(carL);
  for (int i = 0; i < n; ++i) {
    carL[i] *= keyboardLevel_;
    carR[i] = carL[i];
  }
  return true;
}

// The noise carrier, the same in both channels; the noise buffers feed the top bands
// of "VE-10 Standard".
bool ZORQ::loadNoise(int n, bool carriersHold) {
  if (!(noiseLevel_ > 0.0)) return carriersHold;
  double* carL = carrier_[0].get();
  double* carR = carrier_[1].get();
  double* noiseL = noise_[0].get();
  double* noiseR = noise_[1].get();
  fillNoise(noiseL, n);
  for (int i = 0; i < n; ++i) {
    const double v = noiseLevel_ * noiseL[i];
    noiseL[i] = noiseR[i] = v;
    carL[i] = (carriersHold ? carL[i] : 0.0) + v;
    carR[i] = (carriersHold ? carR[i] : 0.0) + v;
  }
  return true;
}

void ZORQ::loadExternal(int n, bool carriersHold) {
  for (int c = 0; c < 2; ++c) {
    double* car = carrier_[c].get();
    if (!(externalLevel_ > 0.0) || !inputConnected_[2 + c]) {
      if (!carriersHold) std::fill(car, car + n, 0.0);
      continue;
    }
    const double* external = pendingExternal_[c];
    for (int i = 0; i < n; ++i)
      car[i] = (carriersHold ? car[i] : 0.0) + externalLevel_ * external[i];
  }
}

// A level sum over the slice at frame `at` of the run, peak-held in the meter accumulator.
void ZORQ::measureLevel(int at, int n) {
  double level = 0.0;
  if (meterShowsSignal_) {
    if (externalLevel_ > 0.0) {
      double external = 0.0;
      for (int c = 0; c < 2; ++c) {
        if (!inputConnected_[2 + c]) continue;
        const double* input = pendingExternal_[c] + at;
        for (int i = 0; i < n; ++i) external += std::fabs(externalLevel_ * input[i]);
      }
      if (inputConnected_[2] && inputConnected_[3]) external *= 0.5;
      level = external;
    }
    level += sumAbs(carrier_[0].get() + at, n);
  } else {
    if (modulatorActive_[0]) level += sumAbs(modulator_[0].get() + at, n);
    if (modulatorActive_[1]) level += sumAbs(modulator_[1].get() + at, n);
    if (modulatorActive_[0] && modulatorActive_[1]) level *= micLevel_ * 0.5;
  }
  meterAccumulator_ = std::max(meterAccumulator_, level);
}

bool ZORQ::runEndsAfterThisSlice() const {
  // The next tick's accent bend reads this slice's level sum.
  if (accentBends()) return true;
  if (pendingSliceCount_ == kMaxPendingSlices) return true;
  if (static_cast<uint32_t>(pendingFrames_) + subBlockLength_ > runCapacity()) return true;
  // This slice may put the engine to sleep, and the slices after it would then be asleep.
  return sleepEnabled_ &&
         quietFrames_ + static_cast<double>(pendingFrames_) >= quietFramesToSleep();
}

void ZORQ::mixOutputs(double* outL, double* outR, int n) {
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
}
