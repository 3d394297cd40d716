#pragma once

#include <string>
#include <vector>

// Audio held as separate channels of float samples at one sample rate.
struct AudioBuffer {
  double sampleRate = 0.0;
  std::vector<std::vector<float>> channels;

  size_t frames() const { return channels.empty() ? 0 : channels.front().size(); }
};

// Reading any file libsndfile knows (WAV, FLAC, AIFF, Ogg, ...) and converting the
// sample rate. Failures raise RenderError naming the file.
class AudioFile {
 public:
  static AudioBuffer read(const std::string& path);
  // Band-limited conversion to another sample rate (libsamplerate).
  static AudioBuffer resample(const AudioBuffer& audio, double sampleRate);
};
