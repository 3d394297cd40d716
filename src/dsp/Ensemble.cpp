#include "dsp/Ensemble.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "dsp/EnsembleLanes.h"

namespace {

constexpr double kInputCornerHz = 7000.0;
constexpr double kMaxDelaySeconds = 0.016;
constexpr double kSweepSeconds = 0.014;
constexpr double kMinDelaySeconds = 0.002;

// Limits x to lo..hi; NaN gives lo.
double limitTo(double x, double lo, double hi) { return !(x > lo) ? lo : (x > hi ? hi : x); }

double limitUnit(double t) { return limitTo(t, 0.0, 1.0); }

double fromBits(uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// x + step, n times over, each sum rounded. While every sum lies in x's binade, each
// addition rounds step to the same multiple of that binade's unit in the last place
// (unless step falls exactly halfway between two, where the rounding alternates), so
// one multiplication gives the same result; otherwise the additions run one by one.
double addedInTurn(double x, double step, int n) {
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  const uint64_t exponent = bits >> 52;  // x >= 0: no sign bit
  if (exponent > 60 && exponent < 2000) {
    const double low = fromBits(exponent << 52), high = fromBits((exponent + 1) << 52);
    const double unit = fromBits((exponent - 52) << 52);
    const double units = step / unit;  // exact: a power of two
    if (std::fabs(units) * n < 0x1p51) {
      // Rounded to the nearest whole number, halves to even, as the additions round.
      constexpr double kShift = 0x1p52;
      const double whole = units >= 0.0 ? (units + kShift) - kShift : (units - kShift) + kShift;
      const double end = x + whole * n * unit;  // exact: on the binade's grid
      if (std::fabs(units - whole) != 0.5 && end >= low && end < high) return end;
    }
  }
  for (int i = 0; i < n; ++i) x += step;
  return x;
}

}  // namespace

void Ensemble::cleanUp() {
  line_.reset();
  length_ = 0;
}

void Ensemble::prepare(double sampleRate) {
  sampleRate_ = sampleRate;
  glideFactor_ = sampleRate > 0.0 ? 999.0 / sampleRate : 0.0;
  const double samples = kMaxDelaySeconds * sampleRate + 1.0;
  const int length = samples >= 1.0 && samples < 1e7 ? static_cast<int>(samples) : 0;
  // The same length again keeps the delay line (reset clears it).
  if (length == length_ && (length == 0 || line_)) return;
  cleanUp();
  length_ = length;
  if (length_ > 0) line_.reset(new double[length_]);
}

void Ensemble::reset() {
  if (line_) std::fill(line_.get(), line_.get() + length_, 0.0);
  writePosition_ = 0;
  for (int tap = 0; tap < 2; ++tap) delay_[tap] = delayStep_[tap] = 0.0;
  coasting_ = false;
  inputFilter_.init(sampleRate_, kInputCornerHz);
  lfo1.setRate(rate1);
  lfo2.setRate(rate2);
}

void Ensemble::setSampleRate(double sampleRate) {
  prepare(sampleRate);
  reset();
}

// The LFOs advance, and their outputs are those of the phases they left.
void Ensemble::update() noexcept {
  coast();
  catchUp();
}

void Ensemble::coast() noexcept {
  if (length_ <= 0) return;
  coasting_ = true;
  lfo1.advance();
  lfo2.advance();
}

void Ensemble::catchUp() noexcept {
  if (length_ <= 0 || !coasting_) return;
  coasting_ = false;
  // While off the filter has not run, so clearing it now clears what the tick would have.
  inputFilter_.clearIfNotFinite();
  lfo1.catchUpOutput();
  lfo2.catchUpOutput();
  sweep();
}

// The delays' steps toward the targets the LFOs set (their outputs as update leaves them).
void Ensemble::sweep() noexcept {
  // Tap A follows LFO 1 mostly, tap B LFO 2; each delay stays within 13.9..16 ms.
  const double tA = limitUnit(1.0 - (0.12 * lfo1.getOutPos1() + 0.03 * lfo2.getOutPos2()));
  const double tB = limitUnit(1.0 - (0.03 * lfo1.getOutPos2() + 0.12 * lfo2.getOutPos1()));
  const double targetA = sampleRate_ * (kSweepSeconds * tA + kMinDelaySeconds);
  const double targetB = sampleRate_ * (kSweepSeconds * tB + kMinDelaySeconds);
  // Within one 1 ms tick each delay covers 99.9 % of the way to its target.
  delayStep_[0] = glideFactor_ * (targetA - delay_[0]);
  delayStep_[1] = glideFactor_ * (targetB - delay_[1]);
}

// The delays move monotonically within a slice (the step is constant): when none leaves
// the line unlimited, no sample's limit acted, so the additions alone give the same
// delays; otherwise the slice runs again with the limits.
void Ensemble::skipPair(Ensemble& left, Ensemble& right, int n) noexcept {
  Ensemble* const both[2] = {&left, &right};
  if (n < 1 || left.length_ < 1 || right.length_ < 1) return;
  for (int k = 0; k < 4; ++k) {
    Ensemble& e = *both[k / 2];
    double& current = e.delay_[k % 2];
    const double step = e.delayStep_[k % 2];
    const double maxDelay = e.length_ - 1;
    const double delay = addedInTurn(current, step, n);
    if (current > 0.0 && delay > 0.0 && current <= maxDelay && delay <= maxDelay) {
      current = delay;
    } else {
      for (int i = 0; i < n; ++i) current = limitTo(current + step, 0.0, maxDelay);
    }
  }
  for (Ensemble* e : both)
    e->writePosition_ =
        static_cast<int>((e->writePosition_ + static_cast<int64_t>(n)) % e->length_);
}

bool Ensemble::isAtRest(double level) const noexcept {
  const Filter::History& h = inputFilter_.history();
  for (double v : {h.x1, h.x2, h.y1, h.y2})
    if (!(std::fabs(v) <= level)) return false;
  for (int i = 0; i < length_; ++i)
    if (!(std::fabs(line_[i]) <= level)) return false;
  return true;
}

// Linear interpolation between the samples delay and delay - 1 behind the newest
// one (the newest being at writePosition after the write of this sample).
// The delay is never negative: its whole samples are its truncation.
double Ensemble::readTap(double delay) const noexcept {
  const int whole = static_cast<int>(delay);
  int j = writePosition_ - whole;
  int k = j + 1;
  if (j < 0) {
    j += length_;
    k += length_;
  }
  if (k == length_) k = 0;
  assert(j >= 0 && j < length_ && k >= 0 && k < length_);
  const double fraction = delay - whole;
  return (line_[j] - line_[k]) * fraction + line_[k];
}

inline double Ensemble::processSample(double x) noexcept {
  // Infinite or NaN input counts as silence, so it never reaches the delay line.
  const double y = inputFilter_.process(std::isfinite(x) ? x : 0.0);
  assert(writePosition_ >= 0 && writePosition_ < length_);
  line_[writePosition_] = y;
  const double out = (y + readTap(delay_[0]) + readTap(delay_[1])) * 0.5;
  if (++writePosition_ >= length_) writePosition_ = 0;
  // The delays are kept inside the line whatever the tick spacing, so reads never leave it.
  const double maxDelay = length_ - 1;
  for (int tap = 0; tap < 2; ++tap)
    delay_[tap] = limitTo(delay_[tap] + delayStep_[tap], 0.0, maxDelay);
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

EnsembleLane Ensemble::lane() noexcept {
  const Filter::Coefficients& c = inputFilter_.coefficients();
  const Filter::History& h = inputFilter_.history();
  return {c.a1,
          c.a2,
          c.b0,
          c.b1,
          h.x1,
          h.x2,
          h.y1,
          h.y2,
          inputFilter_.offset(),
          line_.get(),
          length_,
          writePosition_,
          {delay_[0], delay_[1]},
          {delayStep_[0], delayStep_[1]}};
}

void Ensemble::takeBack(const EnsembleLane& lane) noexcept {
  inputFilter_.setState({lane.x1, lane.x2, lane.y1, lane.y2}, lane.offset);
  writePosition_ = lane.writePosition;
  for (int tap = 0; tap < 2; ++tap) delay_[tap] = lane.delay[tap];
}

void Ensemble::processPair(Ensemble& left, Ensemble& right, double* leftOut, double* rightOut,
                           int n, SimdKernel kernel) noexcept {
  void (*run)(EnsembleLane(&)[2], double* const[2], int) noexcept =
      kernel == SimdKernel::kAvx512 ? runEnsemblesAvx512
      : kernel == SimdKernel::kAvx2 ? runEnsemblesAvx2
      : kernel == SimdKernel::kSse2 ? runEnsemblesSse2
                                    : nullptr;
  if (run == nullptr || left.length_ < 1 || left.length_ != right.length_) {
    left.process(leftOut, leftOut, n);
    right.process(rightOut, rightOut, n);
    return;
  }
  EnsembleLane lanes[2] = {left.lane(), right.lane()};
  double* const out[2] = {leftOut, rightOut};
  run(lanes, out, n);
  left.takeBack(lanes[0]);
  right.takeBack(lanes[1]);
}
