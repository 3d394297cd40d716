#pragma once

#include <string>

struct sf_private_tag;

// Sample formats of the output file.
enum class SampleFormat { kPcm16, kPcm24, kFloat };

// Writes interleaved float frames to a WAV or FLAC file (chosen by the extension).
// The data goes to "<path>.part" and replaces the target only on commit(), so a
// failed render never leaves a half-written file under the requested name.
class AudioFileWriter {
 public:
  AudioFileWriter(const std::string& path, int channels, int sampleRate, SampleFormat format);
  ~AudioFileWriter();
  AudioFileWriter(const AudioFileWriter&) = delete;
  AudioFileWriter& operator=(const AudioFileWriter&) = delete;

  void write(const float* interleaved, size_t frames);
  void commit();

  // "16", "24" or "float"; RenderError otherwise.
  static SampleFormat parseFormat(const std::string& text);

 private:
  std::string path_;
  std::string partPath_;
  sf_private_tag* file_ = nullptr;
};
