#include "sampler/Sampler.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

#include "dsp/EnvelopeLaw.h"

void Sampler::init(double hostRate, unsigned subBlockCapacity) {
  hostRate_ = std::max(hostRate, 1.0);
  subBlockCapacity_ = subBlockCapacity;
  remaining_ = 0;
  inputLeft_.assign(subBlockCapacity, 0.0);
  inputRight_.assign(subBlockCapacity, 0.0);
  converterOutput_.assign(2 * static_cast<std::size_t>(subBlockCapacity), 0.0);
  if (length() > 0) fitToRates();
}

std::unique_ptr<SampleData> Sampler::install(std::unique_ptr<SampleData> data) {
  data_.swap(data);
  position_ = 0;
  outputLength_ = 0;
  remaining_ = 0;
  if (length() == 0) return data;
  fileRate_ = data_->sampleRate();
  configureConverter();
  // Files with more than two channels play their first two.
  stereo_ = data_->isStereo();
  fitToRates();
  return data;
}

int Sampler::openWAV(const char* path) {
  std::unique_ptr<SampleData> data = SampleData::load(path);
  const bool loaded = data != nullptr;
  install(std::move(data));
  return loaded ? 1 : 0;
}

void Sampler::closeWAV() { install(nullptr); }

// Output-driven linear interpolation with four low-pass sections: each
// sub-block asks the converter for exactly its n output frames, and the
// converter names the input it needs, whatever the ratio.
void Sampler::configureConverter() {
  converter_.Reset(0.0);
  converter_.SetMode(true, 32, false, 64, 32);
  converter_.setFilterPosition(0.693f);
  converter_.setFilterQ(0.707f);
  converter_.setFeedMode(false);
}

// Length at the host rate: floor(length x host rate / file rate).
void Sampler::fitToRates() {
  const double frames = std::floor(length() * hostRate_ / fileRate_);
  outputLength_ = static_cast<uint32_t>(
      std::min(frames, static_cast<double>(std::numeric_limits<uint32_t>::max())));
  convert_ = outputLength_ != length();
  converter_.SetRates(fileRate_, hostRate_);
  converter_.reserveInput(stereo_ ? 2 : 1, static_cast<int>(subBlockCapacity_));
}

// The voices' attack/release law, per output frame.
void Sampler::setEnvelope(double target, double setting) {
  envelopeTarget_ = target;
  envelopeCoefficient_ = envelope::coefficient(hostRate_, setting);
}

double Sampler::stepEnvelope() {
  envelopeLevel_ = envelope::step(envelopeLevel_, envelopeTarget_, envelopeCoefficient_);
  return envelopeLevel_;
}

void Sampler::restart() noexcept {
  remaining_ = outputLength_;
  position_ = 0;
  converter_.Reset(0.0);
  converter_.SetRates(fileRate_, hostRate_);
  setEnvelope(envelope::kAttackTarget, attack_);
}

void Sampler::stop() noexcept { setEnvelope(envelope::kReleaseTarget, release_); }

// Reads up to `frames` (at most one sub-block) into the input work buffers;
// frames the file cannot deliver are silence.
unsigned Sampler::readFrames(unsigned frames) {
  assert(frames <= inputLeft_.size() && frames <= inputRight_.size());
  const unsigned got = data_->read(position_, frames, inputLeft_.data(), inputRight_.data());
  position_ += got;
  std::fill(inputLeft_.begin() + got, inputLeft_.begin() + frames, 0.0);
  std::fill(inputRight_.begin() + got, inputRight_.begin() + frames, 0.0);
  return got;
}

unsigned Sampler::playDirect(double* left, double* right, unsigned frames) {
  readFrames(frames);
  const double* inRight = stereo_ ? inputRight_.data() : inputLeft_.data();
  for (unsigned i = 0; i < frames; ++i) {
    const double level = stepEnvelope();
    left[i] = level * inputLeft_[i];
    right[i] = level * inRight[i];
  }
  return frames;
}

unsigned Sampler::playConverted(double* left, double* right, unsigned frames) {
  const int channels = stereo_ ? 2 : 1;
  double* area = nullptr;
  const int needed = converter_.ResamplePrepare(static_cast<int>(frames), channels, &area);
  for (int done = 0; done < needed;) {
    const unsigned chunk = std::min(static_cast<unsigned>(needed - done), subBlockCapacity_);
    readFrames(chunk);
    double* to = area + static_cast<std::size_t>(done) * channels;
    for (unsigned k = 0; k < chunk; ++k) {
      to[k * channels] = inputLeft_[k];
      if (channels == 2) to[k * channels + 1] = inputRight_[k];
    }
    done += static_cast<int>(chunk);
  }
  const unsigned produced = static_cast<unsigned>(std::max(
      0,
      converter_.ResampleOut(converterOutput_.data(), needed, static_cast<int>(frames), channels)));
  assert(static_cast<size_t>(frames) * channels <= converterOutput_.size());
  const double* out = converterOutput_.data();
  for (unsigned i = 0; i < frames; ++i) {
    const double level = stepEnvelope();
    const bool have = i < produced;
    left[i] = have ? level * out[i * channels] : 0.0;
    right[i] = have ? level * out[i * channels + channels - 1] : 0.0;
  }
  return frames;
}

void Sampler::processChunk(double* left, double* right, unsigned n) {
  if (length() == 0 || subBlockCapacity_ == 0 || remaining_ == 0) {
    std::fill(left, left + n, 0.0);
    std::fill(right, right + n, 0.0);
    return;
  }
  const unsigned frames = std::min(n, remaining_);
  const unsigned written =
      convert_ ? playConverted(left, right, frames) : playDirect(left, right, frames);
  remaining_ -= written;
  for (unsigned i = written; i < n; ++i) {
    stepEnvelope();
    left[i] = 0.0;
    right[i] = 0.0;
  }
}

void Sampler::processSamples(double** bufs, int n) noexcept {
  if (!bufs || !bufs[0] || !bufs[1] || n <= 0) return;
  const unsigned total = static_cast<unsigned>(n);
  // Callers stay within the sub-block capacity; larger requests go in pieces.
  const unsigned step = std::max(subBlockCapacity_, 1u);
  for (unsigned done = 0; done < total; done += step) {
    const unsigned count = std::min(step, total - done);
    processChunk(bufs[0] + done, bufs[1] + done, count);
  }
}
