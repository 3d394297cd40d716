#pragma once

#include <memory>
#include <string>
#include <vector>

struct sf_private_tag;
struct SRC_STATE_tag;

// One input file (WAV, FLAC, AIFF, Ogg, ... through libsndfile) read block by block
// while the render runs, converted to the render's sample rate on the way
// (libsamplerate), so memory stays the same for any length.
class AudioInput {
 public:
  // Opens the file and reads its header; RenderError when it cannot be used.
  explicit AudioInput(const std::string& path);
  ~AudioInput();
  AudioInput(const AudioInput&) = delete;
  AudioInput& operator=(const AudioInput&) = delete;

  double fileRate() const { return fileRate_; }
  int fileChannels() const { return fileChannels_; }

  // Reads at this rate from now on; call once, before read().
  void convertTo(double sampleRate);
  // The length at the render rate.
  size_t frames() const { return frames_; }
  // The next `count` frames of the first two channels (a mono file feeds both);
  // silence once the file has ended.
  void read(float* left, float* right, size_t count);

  // Damage the reader recovered from since the last call: chunk sizes the reader had
  // to correct, and a file that ended before its header said.
  std::vector<std::string> takeWarnings();

 private:
  static long supplyInput(void* self, float** data);
  size_t readFile(float* interleaved, size_t frames);

  std::string path_;
  sf_private_tag* file_ = nullptr;
  SRC_STATE_tag* converter_ = nullptr;
  double fileRate_ = 0.0;
  int fileChannels_ = 0;
  long long fileFrames_ = 0;  // what the header says
  long long framesRead_ = 0;  // from the file so far
  double ratio_ = 1.0;
  size_t frames_ = 0;
  size_t delivered_ = 0;
  bool ended_ = false;
  std::vector<float> fileBlock_;    // interleaved, straight from the file
  std::vector<float> renderBlock_;  // interleaved, at the render rate
  std::vector<std::string> warnings_;
};
