#include "sampler/WDL_Resampler.h"

#include <algorithm>
#include <cassert>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {

constexpr std::size_t kGrowthStep = 4096 / sizeof(double);  // the input buffer grows in 4 KB steps
constexpr double kMaxRequest = 1 << 24;                     // frames; keeps the sizes in int range

}  // namespace

// Cascade of two-pole low-pass sections with one history per (section, channel).
// Per section: y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2, with the cutoff c given
// as a fraction of the Nyquist frequency: w = c pi, alpha = sin w / (2 Q),
// b1 = (1 - cos w) / (1 + alpha), b0 = b2 = b1 / 2, a1 = -2 cos w / (1 + alpha),
// a2 = (1 - alpha) / (1 + alpha).
struct WDL_Resampler::LowPass {
  double cutoff = -1.0;
  double a1 = 0, a2 = 0, b0 = 0, b1 = 0, b2 = 0;
  double history[kMaxFilterCount][kMaxChannels][4] = {};

  void tune(double c, double q) {
    if (std::fabs(c - cutoff) < 1e-6) return;
    cutoff = c;
    const double w = c * M_PI;
    const double alpha = std::sin(w) / (2.0 * q);
    const double scale = 1.0 / (1.0 + alpha);
    b1 = (1.0 - std::cos(w)) * scale;
    b0 = b2 = b1 * 0.5;
    a1 = -2.0 * std::cos(w) * scale;
    a2 = (1.0 - alpha) * scale;
  }

  void run(double* data, int frames, int stride, int channel, int section) {
    double* h = history[section][channel];
    for (int k = 0; k < frames; ++k) {
      double& sample = data[k * stride];
      const double x = sample;
      double y = b0 * x + b1 * h[0] + b2 * h[1] - a1 * h[2] - a2 * h[3];
      if (std::fabs(y) < DBL_MIN) y = 0.0;  // zero and denormal results
      h[1] = h[0];
      h[0] = x;
      h[3] = h[2];
      h[2] = y;
      sample = y;
    }
  }

  void runAll(double* data, int frames, int channels, int sections) {
    for (int c = 0; c < channels; ++c)
      for (int s = 0; s < sections; ++s) run(data + c, frames, channels, c, s);
  }

  void clear() { std::memset(history, 0, sizeof history); }
};

WDL_Resampler::WDL_Resampler() = default;
WDL_Resampler::~WDL_Resampler() = default;

void WDL_Resampler::SetMode(bool interpolate, int filterCount, bool sinc, int sincSize,
                            int sincOversampling) {
  sincSize_ = (sinc && sincSize >= 4) ? std::min(sincSize & ~1, kMaxSincSize) : 0;
  sincOversampling_ = (sincSize_ > 0 && sincOversampling >= 2)
                          ? std::min(sincOversampling, kMaxSincOversampling)
                          : 1;
  filterCount_ = (sincSize_ > 0 || filterCount < 1) ? 0 : std::min(filterCount, kMaxFilterCount);
  interpolate_ = interpolate && sincSize_ == 0;
  if (sincSize_ == 0) {
    std::vector<float>().swap(sincTable_);
    sincTableSize_ = 0;
    filterRatio_ = -1.0;
  } else {
    buildSincTable();
  }
  // The filter state is made here, not on first use, so the audio path never creates it.
  if (filterCount_ == 0)
    lowPass_.reset();
  else if (!lowPass_)
    lowPass_ = std::make_unique<LowPass>();
}

void WDL_Resampler::SetRates(double inputRate, double outputRate) {
  inputRate = std::max(inputRate, 1.0);
  outputRate = std::max(outputRate, 1.0);
  if (inputRate == inputRate_ && outputRate == outputRate_) return;
  inputRate_ = inputRate;
  outputRate_ = outputRate;
  ratio_ = inputRate / outputRate;
  if (sincSize_ > 0) buildSincTable();
}

void WDL_Resampler::Reset(double fraction) {
  lastRequested_ = 0;
  filterLatency_ = 0;
  fractionalPosition_ = fraction;
  framesBuffered_ = 0;
  if (lowPass_) lowPass_->clear();
}

double WDL_Resampler::GetCurrentLatency() const {
  return std::max(0.0, (framesBuffered_ - filterLatency_) / inputRate_);
}

bool WDL_Resampler::growInput(std::size_t doubles) {
  if (doubles <= inputBuffer_.size()) return true;
  try {
    inputBuffer_.resize((doubles + kGrowthStep - 1) / kGrowthStep * kGrowthStep);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

void WDL_Resampler::reserveInput(int channels, int outputFrames) {
  if (channels < 1 || channels > kMaxChannels || outputFrames < 0) return;
  const double request = std::min(outputFrames * ratio_, kMaxRequest) + sincSize_ + 4;
  // Buffered leftovers, one block's request and the tail padding of a short block.
  const int halfSinc = sincSize_ / 2;
  const double frames = 3.0 * request + ratio_ + 8.0 + static_cast<double>(halfSinc);
  growInput(static_cast<std::size_t>(frames) * channels);
}

double WDL_Resampler::sincCutoff() const { return ratio_ > 1.0 ? 1.0 / (ratio_ * 1.03) : 1.0; }

// Windowed sinc: row r, tap x sits at t = x + r / oversampling and holds the
// Blackman-Harris window at t times sin(u) / u, u = (t - size / 2) pi cutoff.
void WDL_Resampler::buildSincTable() {
  const double cutoff = sincCutoff();
  if (cutoff == filterRatio_ && sincTableSize_ == sincSize_ &&
      tableOversamplingInUse_ == sincOversampling_ && !sincTable_.empty())
    return;
  const int size = sincSize_;
  const int rows = sincOversampling_;
  try {
    sincTable_.assign(static_cast<std::size_t>(size) * (rows + 1), 0.0f);
  } catch (const std::bad_alloc&) {
    sincTable_.clear();
    sincTableSize_ = 0;
    return;
  }
  const double omega = 2.0 * M_PI / size;
  const int half = size / 2;  // the centre tap of an even-sized table
  double sum = 0.0;
  for (int r = 0; r <= rows; ++r) {
    for (int x = 0; x < size; ++x) {
      const double t = x + static_cast<double>(r) / rows;
      const double u = (t - static_cast<double>(half)) * M_PI * cutoff;
      double value = 1.0;
      if (u != 0.0) {
        const double window = 0.35875 - 0.48829 * std::cos(omega * t) +
                              0.14128 * std::cos(2 * omega * t) - 0.01168 * std::cos(3 * omega * t);
        value = window * std::sin(u) / u;
      }
      sincTable_[static_cast<std::size_t>(r) * size + x] = static_cast<float>(value);
      if (r < rows) sum += value;
    }
  }
  const double scale = rows / sum;
  for (float& tap : sincTable_) tap = static_cast<float>(tap * scale);
  filterRatio_ = cutoff;
  sincTableSize_ = size;
  tableOversamplingInUse_ = rows;
}

int WDL_Resampler::ResamplePrepare(int count, int channels, double** inputArea) {
  if (channels < 1 || channels > kMaxChannels) return 0;
  if (sincSize_ > 0) {
    // Zero frames in front of the first input centre the sinc window on it.
    const int half = sincSize_ / 2;
    if (framesBuffered_ < half - 1) {
      filterLatency_ += half - 1 - framesBuffered_;
      framesBuffered_ = half - 1;
      if (!growInput(static_cast<std::size_t>(framesBuffered_) * channels)) framesBuffered_ = 0;
      std::fill_n(inputBuffer_.begin(), static_cast<std::size_t>(framesBuffered_) * channels, 0.0);
    }
  }
  double wanted = feedMode_ ? count
                            : std::floor(std::min(count * ratio_, kMaxRequest)) + sincSize_ + 4 -
                                  framesBuffered_;
  int request = static_cast<int>(std::clamp(wanted, 0.0, kMaxRequest));
  auto roomFor = [&](int frames) {
    return growInput((static_cast<std::size_t>(framesBuffered_) + frames) * channels);
  };
  if (!roomFor(request)) {
    while (request >= 5 && !roomFor(request)) request /= 2;
    const int room = static_cast<int>(inputBuffer_.size() / channels) - framesBuffered_;
    request = std::clamp(request, 0, std::max(room, 0));
  }
  if (inputArea)
    *inputArea = inputBuffer_.data() + static_cast<std::size_t>(framesBuffered_) * channels;
  lastRequested_ = request;
  return request;
}

int WDL_Resampler::produceInterpolated(double* output, int wanted, int channels, int available,
                                       double& p) {
  const double* in = inputBuffer_.data();
  int produced = 0;
  while (produced < wanted) {
    const int i = static_cast<int>(p);
    const double f = p - i;
    const double* frame = in + static_cast<std::size_t>(i) * channels;
    double* out = output + static_cast<std::size_t>(produced) * channels;
    if (interpolate_) {
      if (i >= available - 1) break;
      assert(i >= 0 && static_cast<size_t>(i + 2) * channels <= inputBuffer_.size());
      for (int c = 0; c < channels; ++c) out[c] = frame[c] * (1.0 - f) + frame[c + channels] * f;
    } else {
      if (i >= available) break;
      assert(i >= 0 && static_cast<size_t>(i + 1) * channels <= inputBuffer_.size());
      for (int c = 0; c < channels; ++c) out[c] = frame[c];
    }
    ++produced;
    p += ratio_;
  }
  return produced;
}

// Output at buffer position p weighs input frame i + x with the kernel at
// t = x + 1 - frac(p), interpolated between the two neighbouring table rows.
int WDL_Resampler::produceSinc(double* output, int wanted, int channels, int available, double& p) {
  const int size = sincTableSize_;
  const int rows = tableOversamplingInUse_;
  if (size == 0) return 0;
  const double* in = inputBuffer_.data();
  int produced = 0;
  while (produced < wanted) {
    const int i = static_cast<int>(p);
    if (i >= available - size) break;
    const double rowPosition = (1.0 - (p - i)) * rows;
    const int row = std::min(static_cast<int>(rowPosition), rows);
    const double blend = row < rows ? rowPosition - row : 0.0;
    const float* lower = sincTable_.data() + static_cast<std::size_t>(row) * size;
    const float* upper = row < rows ? lower + size : lower;
    assert(static_cast<size_t>(row + (row < rows)) * size + size <= sincTable_.size());
    assert(static_cast<size_t>(i + size) * channels <= inputBuffer_.size());
    const double* frames = in + static_cast<std::size_t>(i) * channels;
    double* out = output + static_cast<std::size_t>(produced) * channels;
    for (int c = 0; c < channels; ++c) {
      double sum = 0.0;
      for (int x = 0; x < size; ++x)
        sum += frames[x * channels + c] * (lower[x] * (1.0 - blend) + upper[x] * blend);
      out[c] = sum;
    }
    ++produced;
    p += ratio_;
  }
  return produced;
}

int WDL_Resampler::ResampleOut(double* output, int suppliedFrames, int wantedFrames, int channels) {
  if (channels < 1 || channels > kMaxChannels || !output) return 0;
  const int supplied = std::clamp(suppliedFrames, 0, lastRequested_);
  double* newInput = inputBuffer_.data() + static_cast<std::size_t>(framesBuffered_) * channels;
  if (ratio_ > 1.0 && filterCount_ >= 1 && supplied >= 1 && lowPass_) {
    lowPass_->tune(filterPosition_ / ratio_, filterQ_);
    lowPass_->runAll(newInput, supplied, channels, filterCount_);
  }
  framesBuffered_ += supplied;

  // A short block is followed by zeros so that its tail can be flushed.
  int available = framesBuffered_;
  bool padded = false;
  if (supplied < lastRequested_) {
    int padding = 2 * (lastRequested_ - supplied) + 2 * sincSize_;
    const std::size_t start = static_cast<std::size_t>(framesBuffered_) * channels;
    if (!growInput(start + static_cast<std::size_t>(padding) * channels))
      padding = static_cast<int>((inputBuffer_.size() - start) / channels);
    std::fill_n(inputBuffer_.begin() + start, static_cast<std::size_t>(padding) * channels, 0.0);
    available += padding;
    padded = padding > 0;
  }

  double p = fractionalPosition_;
  int produced = std::max(wantedFrames, 0);
  produced = sincSize_ > 0 ? produceSinc(output, produced, channels, available, p)
                           : produceInterpolated(output, produced, channels, available, p);

  if (ratio_ < 1.0 && filterCount_ >= 1 && produced > 0 && lowPass_) {
    lowPass_->tune(filterPosition_ * ratio_, filterQ_);
    lowPass_->runAll(output, produced, channels, filterCount_);
  }
  if (produced > 0 && padded) {
    // Frames that came from the padding alone are not reported.
    const double latency = sincSize_ > 0 ? sincSize_ / 2 - 1 : 0;
    const double excess = (p - framesBuffered_ + latency) / ratio_;
    if (excess > 0) produced = std::max(0, produced - static_cast<int>(std::lround(excess)));
  }

  const int consumed = static_cast<int>(std::floor(p));
  fractionalPosition_ = p - consumed;
  if (consumed >= framesBuffered_) {
    framesBuffered_ = 0;
  } else {
    framesBuffered_ -= consumed;
    std::memmove(inputBuffer_.data(),
                 inputBuffer_.data() + static_cast<std::size_t>(consumed) * channels,
                 static_cast<std::size_t>(framesBuffered_) * channels * sizeof(double));
  }
  return produced;
}
