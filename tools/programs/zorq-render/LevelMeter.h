#pragma once

#include <string>
#include <vector>

#include "zorq-render/FrameSink.h"

// Measures the audio that passes through it on its way to the next sink: per channel
// the peak, the RMS and the number of samples beyond full scale (|x| > 1, which an
// integer file clips).
class LevelMeter : public FrameSink {
 public:
  LevelMeter(int channels, FrameSink* next);

  void write(const float* interleaved, size_t frames) override;

  double peak(int channel) const { return channels_[channel].peak; }
  double rms(int channel) const;
  long long clipped(int channel) const { return channels_[channel].clipped; }
  // The loudest channel's peak.
  double peak() const;
  long long clipped() const;
  // "peak -1.0 / -3.2 dBFS, RMS -20.1 / -22.0 dBFS, clipped 0 / 0 samples".
  std::string summary() const;

  // 20 log10(level), or -inf for 0.
  static double toDbfs(double level);

 private:
  struct Channel {
    double peak = 0.0;
    double sumOfSquares = 0.0;
    long long clipped = 0;
  };
  std::vector<Channel> channels_;
  FrameSink* next_;
  long long frames_ = 0;
};
