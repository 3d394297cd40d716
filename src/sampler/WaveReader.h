#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Opens a WAV file, finds its audio data and hands out frames converted to
// doubles in separate per-channel arrays. The file stays open between reads.
class WaveReader {
 public:
  static constexpr unsigned kMaxChannels = 64;
  static constexpr unsigned kMinSampleRate = 1000;
  static constexpr unsigned kMaxSampleRate = 768000;

  WaveReader() = default;
  virtual ~WaveReader();
  WaveReader(const WaveReader&) = delete;
  WaveReader& operator=(const WaveReader&) = delete;

  // Opens `path` and walks its chunks up to the first playable data chunk.
  // Returns true with the stream at the first audio byte; false (file closed)
  // for anything that is not a playable WAV file.
  bool Open(const char* path);
  void Close();

  // Reads up to `count` frames into dest[c][offset + i]. `channels` is the
  // number of destination arrays (below 1: as many as the file has); a file
  // with fewer channels repeats its channels over the extra arrays. Never
  // reads past the end of the data chunk. Returns the frames delivered.
  unsigned ReadDoublesNI(double** dest, unsigned offset, unsigned count, int channels);

  // Sets the stream back to the first audio frame. False when closed.
  bool rewindToData();

  bool isOpen() const { return file_ != nullptr; }
  const std::string& fileName() const { return fileName_; }
  uint32_t length() const { return length_; }
  uint32_t channelCount() const { return channels_; }
  uint32_t bitsPerSample() const { return bits_; }
  uint32_t sampleRate() const { return sampleRate_; }

 private:
  void clearFormat();
  void readFormat(const unsigned char* body, size_t size);
  bool skip(uint64_t bytes);

  std::string fileName_;
  FILE* file_ = nullptr;
  uint32_t length_ = 0;
  fpos_t dataPosition_{};
  bool hasDataPosition_ = false;
  uint32_t bits_ = 0;
  uint32_t channels_ = 0;
  uint32_t sampleRate_ = 0;
  bool floatSamples_ = false;
  uint32_t framesLeft_ = 0;  // frames of the data chunk not yet delivered
};
