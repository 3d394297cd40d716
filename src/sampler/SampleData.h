#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// A WAV file read and converted completely, for the audio thread to play from memory
// (one or two channels: a file with more plays its first two). Samples are kept as
// float when every one of them converts exactly (8, 16 and 24-bit and float files),
// as double otherwise, so playback is the same as reading the file as it plays.
class SampleData {
 public:
  // Any thread, no lock needed: reads the whole file. Null when it is not a playable
  // WAV file or memory runs out.
  static std::unique_ptr<SampleData> load(const char* path) noexcept;

  // Frames the data chunk declares; fewer may have been read from a file cut short.
  uint32_t length() const { return length_; }
  uint32_t frames() const { return frames_; }
  uint32_t channelCount() const { return channelCount_; }
  uint32_t sampleRate() const { return sampleRate_; }
  bool isStereo() const { return channelCount_ >= 2; }

  // Audio thread: frames from `position` on, at most `count`, into left (and right
  // for a stereo file); returns the frames copied.
  unsigned read(uint32_t position, unsigned count, double* left, double* right) const noexcept;

 private:
  SampleData() = default;
  bool append(const double* const* chunk, unsigned frames);
  template <typename T>
  static void copy(const std::vector<T>& from, uint32_t position, unsigned count, double* to);

  uint32_t length_ = 0;
  uint32_t frames_ = 0;
  uint32_t channelCount_ = 0;
  uint32_t sampleRate_ = 0;
  bool wide_ = false;  // the samples live in doubles_
  std::vector<float> floats_[2];
  std::vector<double> doubles_[2];
};
