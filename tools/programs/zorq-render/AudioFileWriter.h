#pragma once

#include <string>

#include "framework/ReplacementFile.h"
#include "zorq-render/FrameSink.h"

struct sf_private_tag;

// Sample formats of the output file.
enum class SampleFormat { kPcm16, kPcm24, kFloat };

// Writes interleaved float frames to a WAV or FLAC file (chosen by the extension).
// The data goes to a new temporary file in the target's folder (ReplacementFile), which
// replaces the target only on commit() after it reached the disk; until then an existing file of
// that name is untouched, and a writer destroyed without commit (an error, Ctrl-C)
// removes its temporary file.
class AudioFileWriter : public FrameSink {
 public:
  AudioFileWriter(const std::string& path, int channels, int sampleRate, SampleFormat format);
  ~AudioFileWriter() override;
  AudioFileWriter(const AudioFileWriter&) = delete;
  AudioFileWriter& operator=(const AudioFileWriter&) = delete;

  void write(const float* interleaved, size_t frames) override;
  void commit();

  // "16", "24" or "float"; UsageError otherwise.
  static SampleFormat parseFormat(const std::string& text);
  // UsageError unless the path ends in .wav or .flac and the format fits the type.
  static void checkOutput(const std::string& path, SampleFormat format);
  static bool isInteger(SampleFormat format) { return format != SampleFormat::kFloat; }
  static const char* describe(SampleFormat format);

 private:
  void discard();

  std::string path_;
  ReplacementFile output_;
  sf_private_tag* file_ = nullptr;
};
