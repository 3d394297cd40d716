#include "dsp/Ensemble.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <initializer_list>

namespace {

constexpr double kInputCornerHz = 7000.0;
constexpr double kMaxDelaySeconds = 0.016;
constexpr double kSweepSeconds = 0.014;
constexpr double kMinDelaySeconds = 0.002;

// Limits x to lo..hi; NaN gives lo.
double limitTo(double x, double lo, double hi) { return !(x > lo) ? lo : (x > hi ? hi : x); }

double limitUnit(double t) { return limitTo(t, 0.0, 1.0); }

}  // namespace

void Ensemble::cleanUp() {
  tapA_.line.reset();
  tapB_.line.reset();
  length_ = 0;
}

void Ensemble::prepare(double sampleRate) {
  sampleRate_ = sampleRate;
  glideFactor_ = sampleRate > 0.0 ? 999.0 / sampleRate : 0.0;
  const double samples = kMaxDelaySeconds * sampleRate + 1.0;
  const int length = samples >= 1.0 && samples < 1e7 ? static_cast<int>(samples) : 0;
  // The same length again keeps the delay lines (reset clears them).
  if (length == length_ && (length == 0 || tapA_.line)) return;
  cleanUp();
  length_ = length;
  if (length_ > 0)
    for (Tap* tap : {&tapA_, &tapB_}) tap->line.reset(new double[length_]);
}

void Ensemble::reset() {
  for (Tap* tap : {&tapA_, &tapB_}) {
    if (tap->line) std::fill(tap->line.get(), tap->line.get() + length_, 0.0);
    tap->writePosition = 0;
    tap->delay = 0.0;
    tap->delayStep = 0.0;
  }
  inputFilter_.init(sampleRate_, kInputCornerHz);
  lfo1.setRate(rate1);
  lfo2.setRate(rate2);
}

void Ensemble::setSampleRate(double sampleRate) {
  prepare(sampleRate);
  reset();
}

void Ensemble::update() noexcept {
  if (length_ <= 0) return;
  inputFilter_.clearIfNotFinite();
  lfo1.update();
  lfo2.update();
  // Tap A follows LFO 1 mostly, tap B LFO 2; each delay stays within 13.9..16 ms.
  const double tA = limitUnit(1.0 - (0.12 * lfo1.getOutPos1() + 0.03 * lfo2.getOutPos2()));
  const double tB = limitUnit(1.0 - (0.03 * lfo1.getOutPos2() + 0.12 * lfo2.getOutPos1()));
  const double targetA = sampleRate_ * (kSweepSeconds * tA + kMinDelaySeconds);
  const double targetB = sampleRate_ * (kSweepSeconds * tB + kMinDelaySeconds);
  // Within one 1 ms tick each delay covers 99.9 % of the way to its target.
  tapA_.delayStep = glideFactor_ * (targetA - tapA_.delay);
  tapB_.delayStep = glideFactor_ * (targetB - tapB_.delay);
}

// Linear interpolation between the samples delay and delay - 1 behind the newest
// one (the newest being at writePosition after the write of this sample).
double Ensemble::readTap(const Tap& tap) const noexcept {
  const double delay = tap.delay;
  int j = tap.writePosition - static_cast<int>(delay);
  int k = j + 1;
  if (j < 0) {
    j += length_;
    k += length_;
  }
  if (k == length_) k = 0;
  assert(j >= 0 && j < length_ && k >= 0 && k < length_);
  const double fraction = delay - std::floor(delay);
  return (tap.line[j] - tap.line[k]) * fraction + tap.line[k];
}

inline double Ensemble::processSample(double x) noexcept {
  // Infinite or NaN input counts as silence, so it never reaches the delay lines.
  const double y = inputFilter_.process(std::isfinite(x) ? x : 0.0);
  assert(tapA_.writePosition >= 0 && tapA_.writePosition < length_);
  assert(tapB_.writePosition >= 0 && tapB_.writePosition < length_);
  tapA_.line[tapA_.writePosition] = y;
  tapB_.line[tapB_.writePosition] = y;
  const double out = (y + readTap(tapA_) + readTap(tapB_)) * 0.5;
  // The delays are kept inside the line whatever the tick spacing, so reads never leave it.
  const double maxDelay = length_ - 1;
  for (Tap* tap : {&tapA_, &tapB_}) {
    if (++tap->writePosition >= length_) tap->writePosition = 0;
    tap->delay = limitTo(tap->delay + tap->delayStep, 0.0, maxDelay);
  }
  return out;
}

double Ensemble::process(double x) noexcept { return length_ < 1 ? 0.0 : processSample(x); }

void Ensemble::process(const double* in, double* out, int n) noexcept {
  if (length_ < 1) {
    for (int i = 0; i < n; ++i) out[i] = 0.0;
    return;
  }
  for (int i = 0; i < n; ++i) out[i] = processSample(in[i]);
}
