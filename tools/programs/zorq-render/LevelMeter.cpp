#include "zorq-render/LevelMeter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/NumberText.h"

LevelMeter::LevelMeter(int channels, FrameSink* next)
    : channels_(size_t(std::max(channels, 1))), next_(next) {}

void LevelMeter::write(const float* interleaved, size_t frames) {
  const size_t count = channels_.size();
  for (size_t frame = 0; frame < frames; ++frame) {
    for (size_t c = 0; c < count; ++c) {
      const double x = std::fabs(double(interleaved[frame * count + c]));
      Channel& channel = channels_[c];
      // NaN counts as beyond full scale: it is as broken as an over.
      if (!(x <= 1.0)) ++channel.clipped;
      if (std::isnan(x))
        channel.peak = INFINITY;
      else if (x > channel.peak)
        channel.peak = x;
      if (std::isfinite(x)) channel.sumOfSquares += x * x;
    }
  }
  frames_ += (long long)frames;
  if (next_) next_->write(interleaved, frames);
}

double LevelMeter::rms(int channel) const {
  return frames_ > 0 ? std::sqrt(channels_[channel].sumOfSquares / double(frames_)) : 0.0;
}

double LevelMeter::peak() const {
  double loudest = 0.0;
  for (const Channel& channel : channels_) loudest = std::max(loudest, channel.peak);
  return loudest;
}

long long LevelMeter::clipped() const {
  long long total = 0;
  for (const Channel& channel : channels_) total += channel.clipped;
  return total;
}

double LevelMeter::toDbfs(double level) {
  return level > 0.0 ? 20.0 * std::log10(level) : -INFINITY;
}

namespace {

// The values of every channel, separated by " / ".
template <typename Format>
std::string perChannel(size_t count, Format format) {
  std::string text;
  for (size_t c = 0; c < count; ++c) text += (c ? " / " : "") + format(int(c));
  return text;
}

std::string decibels(double dbfs) {
  if (std::isinf(dbfs)) return dbfs < 0 ? "-inf" : "+inf";
  return numbertext::Fixed(dbfs, 1);
}

}  // namespace

std::string LevelMeter::summary() const {
  const size_t count = channels_.size();
  return "peak " + perChannel(count, [&](int c) { return decibels(toDbfs(peak(c))); }) +
         " dBFS, RMS " + perChannel(count, [&](int c) { return decibels(toDbfs(rms(c))); }) +
         " dBFS, clipped " + perChannel(count, [&](int c) { return std::to_string(clipped(c)); }) +
         " samples";
}
